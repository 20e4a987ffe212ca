#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace quillfen::platform {

// Message digests from the system's cryptography library.
class Digests {
public:
    using Md5Digest = std::array<std::uint8_t, 16>;

    virtual ~Digests() = default;

    // The MD5 digest (RFC 1321) of the bytes; nullopt when the library cannot give one.
    virtual std::optional<Md5Digest> md5(std::string_view bytes) const = 0;
};

}  // namespace quillfen::platform
