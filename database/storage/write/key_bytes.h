#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

namespace storage {

// The bytes of one index key. Most keys are short (a number, a word), and an index page
// holds hundreds of them: keys of up to kInlineCapacity bytes live inside the object,
// so that searching a page reads one array and copying or moving entries allocates nothing.
class KeyBytes {
public:
    static constexpr std::size_t kInlineCapacity = 28;

    KeyBytes() = default;
    KeyBytes(std::span<const uint8_t> bytes) { assign(bytes.data(), bytes.data() + bytes.size()); }
    KeyBytes(const std::vector<uint8_t>& bytes) : KeyBytes(std::span<const uint8_t>(bytes)) {}
    KeyBytes(std::initializer_list<uint8_t> bytes) { assign(bytes.begin(), bytes.end()); }
    KeyBytes(const KeyBytes& other) { assign(other.begin(), other.end()); }
    KeyBytes(KeyBytes&& other) noexcept { take(other); }
    KeyBytes& operator=(const KeyBytes& other) {
        if (this != &other)
            assign(other.begin(), other.end());
        return *this;
    }
    KeyBytes& operator=(KeyBytes&& other) noexcept {
        if (this != &other) {
            release();
            take(other);
        }
        return *this;
    }
    ~KeyBytes() { release(); }

    void assign(const uint8_t* first, const uint8_t* last) {
        const auto size = static_cast<std::size_t>(last - first);
        if (size <= kInlineCapacity) {
            uint8_t copy[kInlineCapacity]; // the source may be this key's own bytes
            std::copy(first, last, copy);
            release();
            std::copy(copy, copy + size, m_bytes);
        } else {
            auto heap = std::make_unique<uint8_t[]>(size);
            std::copy(first, last, heap.get());
            release();
            setHeap(heap.release());
        }
        m_size = static_cast<uint32_t>(size);
    }

    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    const uint8_t* data() const { return onHeap() ? heap() : m_bytes; }
    uint8_t* data() { return onHeap() ? heap() : m_bytes; }
    const uint8_t* begin() const { return data(); }
    const uint8_t* end() const { return data() + m_size; }
    uint8_t* begin() { return data(); }
    uint8_t* end() { return data() + m_size; }
    uint8_t operator[](std::size_t at) const { return data()[at]; }
    uint8_t& operator[](std::size_t at) { return data()[at]; }
    uint8_t& back() { return data()[m_size - 1]; }
    std::span<const uint8_t> bytes() const { return {data(), m_size}; }
    operator std::span<const uint8_t>() const { return bytes(); }
    std::vector<uint8_t> toVector() const { return {begin(), end()}; }

    friend bool operator==(const KeyBytes& a, const KeyBytes& b) {
        return a.m_size == b.m_size && std::equal(a.begin(), a.end(), b.begin());
    }
    friend bool operator==(const KeyBytes& a, const std::vector<uint8_t>& b) {
        return a.m_size == b.size() && std::equal(a.begin(), a.end(), b.begin());
    }

private:
    bool onHeap() const { return m_size > kInlineCapacity; }
    uint8_t* heap() const {
        uint8_t* pointer;
        std::memcpy(&pointer, m_bytes, sizeof pointer);
        return pointer;
    }
    void setHeap(uint8_t* pointer) { std::memcpy(m_bytes, &pointer, sizeof pointer); }
    void release() {
        if (onHeap())
            delete[] heap();
        m_size = 0;
    }
    // Takes the other's bytes, leaving it empty; this key holds nothing.
    void take(KeyBytes& other) {
        std::memcpy(m_bytes, other.m_bytes, sizeof m_bytes);
        m_size = other.m_size;
        other.m_size = 0;
    }

    uint32_t m_size = 0;
    uint8_t m_bytes[kInlineCapacity] = {}; // the bytes, or a pointer to them on the heap
};

} // namespace storage
