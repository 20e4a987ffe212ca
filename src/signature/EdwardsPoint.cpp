#include "signature/EdwardsPoint.h"

namespace quillfen::signature {

namespace {

const FieldElement& curveConstant() {
    static const FieldElement d =
        FieldElement::fromInteger(0) -
        FieldElement::fromInteger(121665) * FieldElement::fromInteger(121666).inverted();
    return d;
}

// 2^((p-1)/4), a square root of -1.
const FieldElement& rootOfMinusOne() {
    static const FieldElement root = [] {
        FieldElement::Encoding exponent{};  // (p - 1) / 4 = 2^253 - 5
        exponent.fill(0xff);
        exponent[0] = 0xfb;
        exponent[31] = 0x1f;
        return FieldElement::fromInteger(2).power(exponent);
    }();
    return root;
}

// A square root of u/v, if there is one: RFC 8032's candidate x = u v^3 (u v^7)^((p-5)/8), which
// is the root itself or the root divided by the square root of -1.
std::optional<FieldElement> squareRootOfRatio(const FieldElement& u, const FieldElement& v) {
    FieldElement::Encoding exponent{};  // (p - 5) / 8 = 2^252 - 3
    exponent.fill(0xff);
    exponent[0] = 0xfd;
    exponent[31] = 0x0f;
    const FieldElement v3 = v.squared() * v;
    const FieldElement v7 = v3.squared() * v;
    const FieldElement candidate = u * v3 * (u * v7).power(exponent);
    const FieldElement check = v * candidate.squared();
    if (check == u) {
        return candidate;
    }
    if (check == FieldElement::fromInteger(0) - u) {
        return candidate * rootOfMinusOne();
    }
    return std::nullopt;
}

}  // namespace

EdwardsPoint EdwardsPoint::identity() {
    const FieldElement zero = FieldElement::fromInteger(0);
    const FieldElement one = FieldElement::fromInteger(1);
    return EdwardsPoint(zero, one, one, zero);
}

const EdwardsPoint& EdwardsPoint::base() {
    // y = 4/5 with x even: the encoding 0x58 followed by 31 bytes 0x66.
    static const EdwardsPoint point = [] {
        Encoding bytes{};
        bytes.fill(0x66);
        bytes[0] = 0x58;
        return *decode(bytes);
    }();
    return point;
}

std::optional<EdwardsPoint> EdwardsPoint::decode(std::span<const std::uint8_t, 32> bytes) {
    const std::optional<FieldElement> y = FieldElement::fromCanonicalBytes(bytes);
    if (!y) {
        return std::nullopt;
    }
    const bool wantsNegativeX = (bytes[31] & 0x80) != 0;
    const FieldElement one = FieldElement::fromInteger(1);
    const FieldElement ySquared = y->squared();
    std::optional<FieldElement> x =
        squareRootOfRatio(ySquared - one, curveConstant() * ySquared + one);
    if (!x || (x->isZero() && wantsNegativeX)) {
        return std::nullopt;
    }
    if (x->isNegative() != wantsNegativeX) {
        x = FieldElement::fromInteger(0) - *x;
    }
    return EdwardsPoint(*x, *y, one, *x * *y);
}

EdwardsPoint::Encoding EdwardsPoint::encode() const {
    const FieldElement inverse = z_.inverted();
    const FieldElement x = x_ * inverse;
    Encoding bytes = (y_ * inverse).toBytes();
    if (x.isNegative()) {
        bytes[31] |= 0x80;
    }
    return bytes;
}

EdwardsPoint operator+(const EdwardsPoint& left, const EdwardsPoint& right) {
    // RFC 8032's addition for a = -1; complete, so it also doubles a point.
    static const FieldElement twiceD = curveConstant() + curveConstant();
    const FieldElement a = (left.y_ - left.x_) * (right.y_ - right.x_);
    const FieldElement b = (left.y_ + left.x_) * (right.y_ + right.x_);
    const FieldElement c = left.t_ * twiceD * right.t_;
    const FieldElement d = left.z_ * (right.z_ + right.z_);
    const FieldElement e = b - a;
    const FieldElement f = d - c;
    const FieldElement g = d + c;
    const FieldElement h = b + a;
    return EdwardsPoint(e * f, g * h, f * g, e * h);
}

EdwardsPoint EdwardsPoint::times(std::span<const std::uint8_t, 32> scalar) const {
    EdwardsPoint result = identity();
    for (int bit = 255; bit >= 0; --bit) {
        result = result + result;
        if (((scalar[bit / 8] >> (bit % 8)) & 1) != 0) {
            result = result + *this;
        }
    }
    return result;
}

}  // namespace quillfen::signature
