#pragma once

#include "platform/Digests.h"

namespace quillfen::platform {

// The digests of a program that never goes online, which alone needs them: none, so the program
// loads no cryptography library.
class NoDigests final : public Digests {
public:
    std::optional<Md5Digest> md5(std::string_view /*bytes*/) const override { return std::nullopt; }
};

}  // namespace quillfen::platform
