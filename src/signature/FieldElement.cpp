#include "signature/FieldElement.h"

#include <algorithm>

namespace quillfen::signature {

namespace {

constexpr std::int64_t kLimbBase = 1 << 16;

// p = 2^255 - 19 in 16-bit limbs, least significant first.
constexpr std::array<std::int64_t, 16> kPrimeLimbs = {
    0xffed, 0xffff, 0xffff, 0xffff, 0xffff, 0xffff, 0xffff, 0xffff,
    0xffff, 0xffff, 0xffff, 0xffff, 0xffff, 0xffff, 0xffff, 0x7fff,
};

bool limbsInRange(const std::array<std::int64_t, 16>& limbs) {
    return std::all_of(limbs.begin(), limbs.end(),
                       [](std::int64_t limb) { return limb >= 0 && limb < kLimbBase; });
}

// Compares two numbers of limbs in [0, 2^16) from the most significant limb down.
bool atLeast(const std::array<std::int64_t, 16>& number,
             const std::array<std::int64_t, 16>& bound) {
    for (int i = 15; i >= 0; --i) {
        if (number[i] != bound[i]) {
            return number[i] > bound[i];
        }
    }
    return true;
}

void subtractPrime(std::array<std::int64_t, 16>& limbs) {
    std::int64_t borrow = 0;
    for (int i = 0; i < 16; ++i) {
        limbs[i] -= kPrimeLimbs[i] + borrow;
        borrow = limbs[i] < 0 ? 1 : 0;
        limbs[i] += borrow * kLimbBase;
    }
}

}  // namespace

FieldElement FieldElement::fromInteger(std::int64_t value) {
    FieldElement element;
    element.limbs_[0] = value;
    element.carry();
    return element;
}

std::optional<FieldElement> FieldElement::fromCanonicalBytes(
    std::span<const std::uint8_t, 32> bytes) {
    Limbs limbs{};
    for (int i = 0; i < kLimbs; ++i) {
        limbs[i] = bytes[2 * i] | (bytes[2 * i + 1] << 8);
    }
    limbs[15] &= 0x7fff;
    if (atLeast(limbs, kPrimeLimbs)) {
        return std::nullopt;
    }
    return FieldElement(limbs);
}

void FieldElement::carry() {
    for (int i = 0; i < kLimbs; ++i) {
        // Division rounding towards minus infinity, so that the remainder is never negative.
        const std::int64_t overflow =
            limbs_[i] >= 0 ? limbs_[i] / kLimbBase : -((-limbs_[i] + kLimbBase - 1) / kLimbBase);
        limbs_[i] -= overflow * kLimbBase;
        if (i + 1 < kLimbs) {
            limbs_[i + 1] += overflow;
        } else {
            limbs_[0] += 38 * overflow;
        }
    }
}

FieldElement::Limbs FieldElement::reduced() const {
    FieldElement copy = *this;
    // Each round leaves all limbs but the first in range; a wrap into the first one is smaller
    // each time, so a few rounds settle every limb and the value below 2^256 < 3p.
    do {
        copy.carry();
    } while (!limbsInRange(copy.limbs_));
    while (atLeast(copy.limbs_, kPrimeLimbs)) {
        subtractPrime(copy.limbs_);
    }
    return copy.limbs_;
}

FieldElement::Encoding FieldElement::toBytes() const {
    const Limbs limbs = reduced();
    Encoding bytes{};
    for (int i = 0; i < kLimbs; ++i) {
        bytes[2 * i] = static_cast<std::uint8_t>(limbs[i] & 0xff);
        bytes[2 * i + 1] = static_cast<std::uint8_t>(limbs[i] >> 8);
    }
    return bytes;
}

bool FieldElement::isZero() const {
    const Limbs limbs = reduced();
    return std::all_of(limbs.begin(), limbs.end(), [](std::int64_t limb) { return limb == 0; });
}

bool FieldElement::isNegative() const {
    return (reduced()[0] & 1) != 0;
}

FieldElement operator+(const FieldElement& left, const FieldElement& right) {
    FieldElement sum;
    for (int i = 0; i < FieldElement::kLimbs; ++i) {
        sum.limbs_[i] = left.limbs_[i] + right.limbs_[i];
    }
    sum.carry();
    return sum;
}

FieldElement operator-(const FieldElement& left, const FieldElement& right) {
    FieldElement difference;
    for (int i = 0; i < FieldElement::kLimbs; ++i) {
        difference.limbs_[i] = left.limbs_[i] - right.limbs_[i];
    }
    difference.carry();
    return difference;
}

FieldElement operator*(const FieldElement& left, const FieldElement& right) {
    // The schoolbook product has 31 limbs; the ones from 2^256 up fold back as 2^256 = 38.
    std::array<std::int64_t, 2 * FieldElement::kLimbs - 1> product{};
    for (int i = 0; i < FieldElement::kLimbs; ++i) {
        for (int j = 0; j < FieldElement::kLimbs; ++j) {
            product[i + j] += left.limbs_[i] * right.limbs_[j];
        }
    }
    FieldElement result;
    for (int i = 0; i < FieldElement::kLimbs; ++i) {
        result.limbs_[i] =
            product[i] +
            (i + FieldElement::kLimbs < 31 ? 38 * product[i + FieldElement::kLimbs] : 0);
    }
    result.carry();
    result.carry();
    return result;
}

bool operator==(const FieldElement& left, const FieldElement& right) {
    return left.reduced() == right.reduced();
}

FieldElement FieldElement::power(const Encoding& exponent) const {
    FieldElement result = fromInteger(1);
    for (int bit = 254; bit >= 0; --bit) {
        result = result.squared();
        if (((exponent[bit / 8] >> (bit % 8)) & 1) != 0) {
            result = result * *this;
        }
    }
    return result;
}

FieldElement FieldElement::inverted() const {
    // p - 2 = 2^255 - 21.
    Encoding primeMinusTwo{};
    primeMinusTwo.fill(0xff);
    primeMinusTwo[0] = 0xeb;
    primeMinusTwo[31] = 0x7f;
    return power(primeMinusTwo);
}

}  // namespace quillfen::signature
