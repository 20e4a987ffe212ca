#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace quillfen::platform {

struct HttpResponse {
    // The HTTP status, or 0 when the transfer failed (no connection, time-out, refused body).
    int status = 0;
    std::string body;
};

// One GET at a time with the update check's time-outs: 5 s to connect (with retries), 7 s of
// silence while receiving, and a limit on the whole request. Proxies come from the system's
// settings (on Linux, the environment), unless a proxy is given.
// Up to five redirects are followed, on the same scheme or from http to https, never elsewhere.
class HttpClient {
public:
    virtual ~HttpClient() = default;

    // A body longer than `maxBodyBytes`, or a request that takes longer than `timeLimit` in all,
    // retries included, fails the transfer.
    virtual HttpResponse get(const std::string& url, const std::string& userAgent,
                             const std::string& proxy, std::size_t maxBodyBytes,
                             std::chrono::milliseconds timeLimit) = 0;
};

}  // namespace quillfen::platform
