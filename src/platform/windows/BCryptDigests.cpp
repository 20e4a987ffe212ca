#include "platform/windows/BCryptDigests.h"

// clang-format off
#include <windows.h>
#include <bcrypt.h>
// clang-format on

#include <limits>

namespace quillfen::platform {

namespace {

bool succeeded(NTSTATUS status) {
    return status >= 0;
}

// An algorithm provider, closed when it goes out of scope.
class AlgorithmProvider {
public:
    explicit AlgorithmProvider(LPCWSTR algorithm) {
        if (!succeeded(BCryptOpenAlgorithmProvider(&handle_, algorithm, nullptr, 0))) {
            handle_ = nullptr;
        }
    }
    ~AlgorithmProvider() {
        if (handle_ != nullptr) {
            BCryptCloseAlgorithmProvider(handle_, 0);
        }
    }
    AlgorithmProvider(const AlgorithmProvider&) = delete;
    AlgorithmProvider& operator=(const AlgorithmProvider&) = delete;

    BCRYPT_ALG_HANDLE handle() const { return handle_; }

private:
    BCRYPT_ALG_HANDLE handle_ = nullptr;
};

// A hash object of a provider, destroyed when it goes out of scope.
class HashObject {
public:
    explicit HashObject(BCRYPT_ALG_HANDLE provider) {
        if (!succeeded(BCryptCreateHash(provider, &handle_, nullptr, 0, nullptr, 0, 0))) {
            handle_ = nullptr;
        }
    }
    ~HashObject() {
        if (handle_ != nullptr) {
            BCryptDestroyHash(handle_);
        }
    }
    HashObject(const HashObject&) = delete;
    HashObject& operator=(const HashObject&) = delete;

    BCRYPT_HASH_HANDLE handle() const { return handle_; }

private:
    BCRYPT_HASH_HANDLE handle_ = nullptr;
};

// BCryptHashData takes at most a ULONG of bytes per call.
bool hashData(BCRYPT_HASH_HANDLE hash, std::string_view bytes) {
    constexpr std::size_t kLargestPiece = std::numeric_limits<ULONG>::max();
    while (!bytes.empty()) {
        const std::size_t length = bytes.size() < kLargestPiece ? bytes.size() : kLargestPiece;
        // BCryptHashData only reads its input, though its parameter is not const.
        auto* input = reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data()));
        if (!succeeded(BCryptHashData(hash, input, static_cast<ULONG>(length), 0))) {
            return false;
        }
        bytes.remove_prefix(length);
    }
    return true;
}

}  // namespace

std::optional<Digests::Md5Digest> BCryptDigests::md5(std::string_view bytes) const {
    const AlgorithmProvider provider(BCRYPT_MD5_ALGORITHM);
    if (provider.handle() == nullptr) {
        return std::nullopt;
    }
    const HashObject hash(provider.handle());
    if (hash.handle() == nullptr || !hashData(hash.handle(), bytes)) {
        return std::nullopt;
    }
    Md5Digest digest{};
    if (!succeeded(
            BCryptFinishHash(hash.handle(), digest.data(), static_cast<ULONG>(digest.size()), 0))) {
        return std::nullopt;
    }
    return digest;
}

}  // namespace quillfen::platform
