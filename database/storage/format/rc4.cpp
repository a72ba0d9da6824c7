#include "database/storage/format/rc4.h"

#include <utility>

namespace storage {

Rc4::Rc4(std::span<const uint8_t> key) {
    for (std::size_t i = 0; i < m_state.size(); ++i)
        m_state[i] = static_cast<uint8_t>(i);
    if (key.empty())
        return;
    uint8_t j = 0;
    for (std::size_t i = 0; i < m_state.size(); ++i) {
        j = static_cast<uint8_t>(j + m_state[i] + key[i % key.size()]);
        std::swap(m_state[i], m_state[j]);
    }
}

void Rc4::apply(std::span<uint8_t> data) {
    for (uint8_t& byte : data) {
        m_i = static_cast<uint8_t>(m_i + 1);
        m_j = static_cast<uint8_t>(m_j + m_state[m_i]);
        std::swap(m_state[m_i], m_state[m_j]);
        byte ^= m_state[static_cast<uint8_t>(m_state[m_i] + m_state[m_j])];
    }
}

} // namespace storage
