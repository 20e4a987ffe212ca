#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace quillfen::little_endian {

// Numbers in the index file are little-endian whatever the machine; on the machines that are
// themselves little-endian both come down to one copy.
template <typename Number>
Number load(const char* at) {
    if constexpr (std::endian::native == std::endian::little) {
        Number value;
        std::memcpy(&value, at, sizeof value);
        return value;
    }
    std::uint64_t gathered = 0;
    for (std::size_t byte = 0; byte < sizeof(Number); ++byte) {
        gathered |= std::uint64_t{static_cast<unsigned char>(at[byte])} << (8 * byte);
    }
    return static_cast<Number>(gathered);
}

template <typename Number>
void store(char* at, Number value) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(at, &value, sizeof value);
        return;
    }
    for (std::size_t byte = 0; byte < sizeof(Number); ++byte) {
        at[byte] = static_cast<char>(static_cast<std::uint64_t>(value) >> (8 * byte));
    }
}

}  // namespace quillfen::little_endian
