#pragma once

#include "platform/HttpClient.h"

namespace quillfen::platform {

// The HTTP client of a program that never goes online, such as the command line: every request
// fails as it would without a network, and the program loads no network library.
class OfflineHttpClient final : public HttpClient {
public:
    HttpResponse get(const std::string& /*url*/, const std::string& /*userAgent*/,
                     const std::string& /*proxy*/, std::size_t /*maxBodyBytes*/,
                     std::chrono::milliseconds /*timeLimit*/) override {
        return {};
    }
};

}  // namespace quillfen::platform
