#pragma once

#include "platform/Digests.h"

namespace quillfen::platform {

// Digests through the system's Cryptography API: Next Generation.
class BCryptDigests final : public Digests {
public:
    std::optional<Md5Digest> md5(std::string_view bytes) const override;
};

}  // namespace quillfen::platform
