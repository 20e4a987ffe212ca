#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace quillfen::signature {

// Scalars modulo the order L = 2^252 + 27742317777372353535851937790883648493 of the group that
// Ed25519 signs in, as 32-byte little-endian numbers.
class GroupOrder {
public:
    using Scalar = std::array<std::uint8_t, 32>;

    // Whether the number is below L, as the S half of a signature must be.
    static bool isReduced(std::span<const std::uint8_t, 32> number);
    // A 512-bit little-endian number (a SHA-512 digest) modulo L.
    static Scalar reduce(std::span<const std::uint8_t, 64> number);
};

}  // namespace quillfen::signature
