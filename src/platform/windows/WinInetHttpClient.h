#pragma once

#include "platform/HttpClient.h"

namespace quillfen::platform {

// HTTP and HTTPS through WinInet with the system's proxy settings (or the given proxy) and the
// update check's time-outs; WinInet's own TLS for https. Nothing is taken from or put into the
// cache: an update check must see the server's current word.
class WinInetHttpClient final : public HttpClient {
public:
    HttpResponse get(const std::string& url, const std::string& userAgent, const std::string& proxy,
                     std::size_t maxBodyBytes, std::chrono::milliseconds timeLimit) override;
};

}  // namespace quillfen::platform
