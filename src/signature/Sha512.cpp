#include "signature/Sha512.h"

#include <algorithm>
#include <bit>

namespace quillfen::signature {

namespace {

// The first 64 bits of the fractional parts of the cube roots of the first eighty primes.
constexpr std::array<std::uint64_t, 80> kRoundConstants = {
    0x428a2f98d728ae22, 0x7137449123ef65cd, 0xb5c0fbcfec4d3b2f, 0xe9b5dba58189dbbc,
    0x3956c25bf348b538, 0x59f111f1b605d019, 0x923f82a4af194f9b, 0xab1c5ed5da6d8118,
    0xd807aa98a3030242, 0x12835b0145706fbe, 0x243185be4ee4b28c, 0x550c7dc3d5ffb4e2,
    0x72be5d74f27b896f, 0x80deb1fe3b1696b1, 0x9bdc06a725c71235, 0xc19bf174cf692694,
    0xe49b69c19ef14ad2, 0xefbe4786384f25e3, 0x0fc19dc68b8cd5b5, 0x240ca1cc77ac9c65,
    0x2de92c6f592b0275, 0x4a7484aa6ea6e483, 0x5cb0a9dcbd41fbd4, 0x76f988da831153b5,
    0x983e5152ee66dfab, 0xa831c66d2db43210, 0xb00327c898fb213f, 0xbf597fc7beef0ee4,
    0xc6e00bf33da88fc2, 0xd5a79147930aa725, 0x06ca6351e003826f, 0x142929670a0e6e70,
    0x27b70a8546d22ffc, 0x2e1b21385c26c926, 0x4d2c6dfc5ac42aed, 0x53380d139d95b3df,
    0x650a73548baf63de, 0x766a0abb3c77b2a8, 0x81c2c92e47edaee6, 0x92722c851482353b,
    0xa2bfe8a14cf10364, 0xa81a664bbc423001, 0xc24b8b70d0f89791, 0xc76c51a30654be30,
    0xd192e819d6ef5218, 0xd69906245565a910, 0xf40e35855771202a, 0x106aa07032bbd1b8,
    0x19a4c116b8d2d0c8, 0x1e376c085141ab53, 0x2748774cdf8eeb99, 0x34b0bcb5e19b48a8,
    0x391c0cb3c5c95a63, 0x4ed8aa4ae3418acb, 0x5b9cca4f7763e373, 0x682e6ff3d6b2b8a3,
    0x748f82ee5defb2fc, 0x78a5636f43172f60, 0x84c87814a1f0ab72, 0x8cc702081a6439ec,
    0x90befffa23631e28, 0xa4506cebde82bde9, 0xbef9a3f7b2c67915, 0xc67178f2e372532b,
    0xca273eceea26619c, 0xd186b8c721c0c207, 0xeada7dd6cde0eb1e, 0xf57d4f7fee6ed178,
    0x06f067aa72176fba, 0x0a637dc5a2c898a6, 0x113f9804bef90dae, 0x1b710b35131c471b,
    0x28db77f523047d84, 0x32caab7b40c72493, 0x3c9ebe0a15c9bebc, 0x431d67c49c100d4c,
    0x4cc5d4becb3e42b6, 0x597f299cfc657e2a, 0x5fcb6fab3ad6faec, 0x6c44198c4a475817,
};

// The first 64 bits of the fractional parts of the square roots of the first eight primes.
constexpr std::array<std::uint64_t, 8> kInitialState = {
    0x6a09e667f3bcc908, 0xbb67ae8584caa73b, 0x3c6ef372fe94f82b, 0xa54ff53a5f1d36f1,
    0x510e527fade682d1, 0x9b05688c2b3e6c1f, 0x1f83d9abfb41bd6b, 0x5be0cd19137e2179,
};

std::uint64_t readBigEndian(const unsigned char* bytes) {
    std::uint64_t value = 0;
    for (int i = 0; i < 8; ++i) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

void writeBigEndian(std::uint64_t value, unsigned char* bytes) {
    for (int i = 7; i >= 0; --i) {
        bytes[i] = static_cast<unsigned char>(value & 0xFF);
        value >>= 8;
    }
}

}  // namespace

Sha512::Sha512() : state_(kInitialState) {}

Sha512::Digest Sha512::of(std::span<const unsigned char> bytes) {
    Sha512 hash;
    hash.add(bytes);
    return hash.finish();
}

void Sha512::add(std::span<const unsigned char> bytes) {
    totalSize_ += bytes.size();
    if (pendingSize_ > 0) {
        const std::size_t taken = std::min(bytes.size(), kBlockSize - pendingSize_);
        std::copy_n(bytes.begin(), taken,
                    pending_.begin() + static_cast<std::ptrdiff_t>(pendingSize_));
        pendingSize_ += taken;
        bytes = bytes.subspan(taken);
        if (pendingSize_ < kBlockSize) {
            return;
        }
        compressBlock(pending_.data());
        pendingSize_ = 0;
    }
    while (bytes.size() >= kBlockSize) {
        compressBlock(bytes.data());
        bytes = bytes.subspan(kBlockSize);
    }
    std::copy(bytes.begin(), bytes.end(), pending_.begin());
    pendingSize_ = bytes.size();
}

Sha512::Digest Sha512::finish() {
    // The padding: a one bit, zeros up to 16 bytes before a block's end, then the message's
    // length in bits as a 128-bit number, whose upper half no message held in memory reaches.
    const std::uint64_t bitCount = totalSize_ * 8;
    pending_[pendingSize_++] = 0x80;
    if (pendingSize_ > kBlockSize - 16) {
        std::fill(pending_.begin() + static_cast<std::ptrdiff_t>(pendingSize_), pending_.end(), 0);
        compressBlock(pending_.data());
        pendingSize_ = 0;
    }
    std::fill(pending_.begin() + static_cast<std::ptrdiff_t>(pendingSize_), pending_.end() - 8, 0);
    writeBigEndian(bitCount, pending_.data() + kBlockSize - 8);
    compressBlock(pending_.data());

    Digest digest{};
    for (std::size_t i = 0; i < state_.size(); ++i) {
        writeBigEndian(state_[i], digest.data() + 8 * i);
    }
    return digest;
}

void Sha512::compressBlock(const unsigned char* block) {
    std::array<std::uint64_t, 80> schedule{};
    for (std::size_t t = 0; t < 16; ++t) {
        schedule[t] = readBigEndian(block + 8 * t);
    }
    for (std::size_t t = 16; t < 80; ++t) {
        const std::uint64_t early = schedule[t - 15];
        const std::uint64_t late = schedule[t - 2];
        const std::uint64_t sigma0 = std::rotr(early, 1) ^ std::rotr(early, 8) ^ (early >> 7);
        const std::uint64_t sigma1 = std::rotr(late, 19) ^ std::rotr(late, 61) ^ (late >> 6);
        schedule[t] = sigma1 + schedule[t - 7] + sigma0 + schedule[t - 16];
    }

    auto [a, b, c, d, e, f, g, h] = state_;
    for (std::size_t t = 0; t < 80; ++t) {
        const std::uint64_t sum1 = std::rotr(e, 14) ^ std::rotr(e, 18) ^ std::rotr(e, 41);
        const std::uint64_t choice = (e & f) ^ (~e & g);
        const std::uint64_t first = h + sum1 + choice + kRoundConstants[t] + schedule[t];
        const std::uint64_t sum0 = std::rotr(a, 28) ^ std::rotr(a, 34) ^ std::rotr(a, 39);
        const std::uint64_t majority = (a & b) ^ (a & c) ^ (b & c);
        const std::uint64_t second = sum0 + majority;
        h = g;
        g = f;
        f = e;
        e = d + first;
        d = c;
        c = b;
        b = a;
        a = first + second;
    }
    const std::array<std::uint64_t, 8> working = {a, b, c, d, e, f, g, h};
    for (std::size_t i = 0; i < state_.size(); ++i) {
        state_[i] += working[i];
    }
}

}  // namespace quillfen::signature
