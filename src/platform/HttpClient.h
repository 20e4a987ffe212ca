#pragma once

#include <cstddef>
#include <string>

namespace quillfen::platform {

struct HttpResponse {
    // The HTTP status, or 0 when the transfer failed (no connection, time-out, refused body).
    int status = 0;
    std::string body;
};

// One GET at a time with the update check's time-outs: 5 s to connect (with retries), 7 s of
// silence while receiving. Proxies come from the environment.
class HttpClient {
public:
    virtual ~HttpClient() = default;

    // A body longer than `maxBodyBytes` fails the transfer.
    virtual HttpResponse get(const std::string& url, const std::string& userAgent,
                             const std::string& proxy, std::size_t maxBodyBytes) = 0;
};

}  // namespace quillfen::platform
