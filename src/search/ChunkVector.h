#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace quillfen::chunk_vector {

// Sixteen bytes handled at once through the compilers' portable vector extension, so the same
// code becomes SSE2 on x86 and NEON on ARM. Comparisons give 0 or -1 in every byte.
using Bytes16 = signed char __attribute__((vector_size(16)));
// The same bytes for arithmetic that must wrap around.
using UnsignedBytes16 = unsigned char __attribute__((vector_size(16)));

inline constexpr std::int32_t kWidth = 16;

inline Bytes16 load(const char* at) {
    Bytes16 value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

inline void store(char* at, Bytes16 value) {
    std::memcpy(at, &value, sizeof value);
}

inline Bytes16 repeat(unsigned char byte) {
    Bytes16 value = {};
    return value + static_cast<signed char>(byte);
}

inline bool anySet(Bytes16 mask) {
    std::uint64_t halves[2];
    std::memcpy(halves, &mask, sizeof halves);
    return (halves[0] | halves[1]) != 0;
}

inline std::uint64_t inMemoryOrder(std::uint64_t word) {
    if constexpr (std::endian::native == std::endian::big) {
        std::uint64_t reversed = 0;
        for (int byte = 0; byte < 8; ++byte) {
            reversed = (reversed << 8) | ((word >> (8 * byte)) & 0xFF);
        }
        return reversed;
    }
    return word;
}

// One bit per byte of a comparison result, bit i for the byte at offset i.
inline std::uint32_t maskBits(Bytes16 mask) {
    std::uint64_t halves[2];
    std::memcpy(halves, &mask, sizeof halves);
    // Multiplying gathers the top bit of every byte into the highest byte without carries.
    const auto gather = [](std::uint64_t word) {
        return static_cast<std::uint32_t>(
            ((inMemoryOrder(word) & 0x8080808080808080ULL) * 0x0002040810204081ULL) >> 56);
    };
    return gather(halves[0]) | (gather(halves[1]) << 8);
}

// Adding 0x3F carries exactly 'A'..'Z' to 0x80..0x99, the 26 lowest values when read as signed,
// so one comparison finds the capitals, which then take their small letters.
inline Bytes16 foldAsciiCapitals(Bytes16 value) {
    const auto moved = std::bit_cast<Bytes16>(static_cast<UnsignedBytes16>(
        std::bit_cast<UnsignedBytes16>(value) + static_cast<unsigned char>(0x3F)));
    const Bytes16 isCapital = moved < static_cast<signed char>(-128 + 26);
    return value | (isCapital & static_cast<signed char>(0x20));
}

}  // namespace quillfen::chunk_vector
