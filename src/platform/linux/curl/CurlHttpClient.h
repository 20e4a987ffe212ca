#pragma once

#include "platform/HttpClient.h"

namespace quillfen::platform {

// HTTP and HTTPS through libcurl; libcurl takes proxies from the environment (http_proxy,
// https_proxy, no_proxy).
class CurlHttpClient final : public HttpClient {
public:
    CurlHttpClient();
    ~CurlHttpClient() override;
    CurlHttpClient(const CurlHttpClient&) = delete;
    CurlHttpClient& operator=(const CurlHttpClient&) = delete;

    HttpResponse get(const std::string& url, const std::string& userAgent, const std::string& proxy,
                     std::size_t maxBodyBytes, std::chrono::milliseconds timeLimit) override;
};

}  // namespace quillfen::platform
