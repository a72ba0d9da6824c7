#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace storage {

// A set of page numbers, for the sets a writer asks about at every insert: membership is
// a flag by page number (no hashing), and the members are listed for walking them.
class PageSet {
public:
    bool contains(uint32_t number) const { return number < m_flags.size() && (m_flags[number] & kMember); }
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }

    // True when the page was not a member.
    bool insert(uint32_t number) {
        if (number >= m_flags.size())
            m_flags.resize(std::max<std::size_t>(number + 1, m_flags.size() * 2), 0);
        uint8_t& flags = m_flags[number];
        if (flags & kMember)
            return false;
        if (!(flags & kListed))
            m_listed.push_back(number);
        flags |= kMember | kListed;
        ++m_size;
        return true;
    }
    void erase(uint32_t number) {
        if (contains(number)) {
            m_flags[number] &= static_cast<uint8_t>(~kMember);
            --m_size;
        }
    }
    void clear() {
        for (uint32_t number : m_listed)
            m_flags[number] = 0;
        m_listed.clear();
        m_size = 0;
    }
    // The members, in the order they first joined.
    std::vector<uint32_t> members() const {
        std::vector<uint32_t> out;
        out.reserve(m_size);
        for (uint32_t number : m_listed)
            if (m_flags[number] & kMember)
                out.push_back(number);
        return out;
    }

private:
    static constexpr uint8_t kMember = 1;
    static constexpr uint8_t kListed = 2; // in m_listed, which keeps members that left until clear()
    std::vector<uint8_t> m_flags;
    std::vector<uint32_t> m_listed;
    std::size_t m_size = 0;
};

} // namespace storage
