#include "signature/GroupOrder.h"

namespace quillfen::signature {

namespace {

constexpr GroupOrder::Scalar kOrder = {
    0xed, 0xd3, 0xf5, 0x5c, 0x1a, 0x63, 0x12, 0x58, 0xd6, 0x9c, 0xf7, 0xa2, 0xde, 0xf9, 0xde, 0x14,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10,
};

bool atLeastOrder(std::span<const std::uint8_t, 32> number) {
    for (int i = 31; i >= 0; --i) {
        if (number[i] != kOrder[i]) {
            return number[i] > kOrder[i];
        }
    }
    return true;
}

void subtractOrder(GroupOrder::Scalar& number) {
    int borrow = 0;
    for (std::size_t i = 0; i < number.size(); ++i) {
        const int difference = number[i] - kOrder[i] - borrow;
        borrow = difference < 0 ? 1 : 0;
        number[i] = static_cast<std::uint8_t>(difference + 256 * borrow);
    }
}

}  // namespace

bool GroupOrder::isReduced(std::span<const std::uint8_t, 32> number) {
    return !atLeastOrder(number);
}

GroupOrder::Scalar GroupOrder::reduce(std::span<const std::uint8_t, 64> number) {
    // Long division one bit at a time, from the most significant bit: the remainder stays below
    // L < 2^253, so doubling it plus one bit still fits 32 bytes.
    Scalar remainder{};
    for (int bit = 511; bit >= 0; --bit) {
        int carried = (number[bit / 8] >> (bit % 8)) & 1;
        for (std::uint8_t& byte : remainder) {
            const int doubled = 2 * byte + carried;
            byte = static_cast<std::uint8_t>(doubled & 0xff);
            carried = doubled >> 8;
        }
        if (atLeastOrder(remainder)) {
            subtractOrder(remainder);
        }
    }
    return remainder;
}

}  // namespace quillfen::signature
