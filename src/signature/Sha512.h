#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace quillfen::signature {

// The SHA-512 digest (FIPS 180-4) of bytes given in pieces, which Ed25519 hashes its signed
// message with.
class Sha512 {
public:
    using Digest = std::array<std::uint8_t, 64>;

    Sha512();

    void add(std::span<const unsigned char> bytes);
    // The digest of everything added; the object is spent afterwards.
    Digest finish();

    static Digest of(std::span<const unsigned char> bytes);

private:
    static constexpr std::size_t kBlockSize = 128;

    void compressBlock(const unsigned char* block);

    std::array<std::uint64_t, 8> state_;
    std::array<unsigned char, kBlockSize> pending_{};
    std::size_t pendingSize_ = 0;
    std::uint64_t totalSize_ = 0;
};

}  // namespace quillfen::signature
