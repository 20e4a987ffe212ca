#include "platform/linux/crypto/OpenSslDigests.h"

#include <openssl/evp.h>

#include <memory>

namespace quillfen::platform {

std::optional<Digests::Md5Digest> OpenSslDigests::md5(std::string_view bytes) const {
    Md5Digest digest{};
    unsigned int length = 0;
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(),
                                                                          EVP_MD_CTX_free);
    if (!context || EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) != 1 ||
        EVP_DigestUpdate(context.get(), bytes.data(), bytes.size()) != 1 ||
        EVP_MD_CTX_get_size(context.get()) != static_cast<int>(digest.size()) ||
        EVP_DigestFinal_ex(context.get(), digest.data(), &length) != 1 || length != digest.size()) {
        return std::nullopt;
    }
    return digest;
}

}  // namespace quillfen::platform
