#include "platform/windows/WinInetHttpClient.h"

#include "platform/windows/WinInetRequest.h"

namespace quillfen::platform {

HttpResponse WinInetHttpClient::get(const std::string& url, const std::string& userAgent,
                                    const std::string& proxy, std::size_t maxBodyBytes,
                                    std::chrono::milliseconds timeLimit) {
    WinInetRequest::Settings settings;
    settings.userAgent = userAgent;
    settings.proxy = proxy;
    settings.textTransfer = true;
    settings.deadline = std::chrono::steady_clock::now() + timeLimit;
    HttpResponse response;
    response.status = WinInetRequest(settings).get(url, [&](std::string_view piece) {
        if (piece.size() > maxBodyBytes - response.body.size()) {
            return false;
        }
        response.body.append(piece);
        return true;
    });
    if (response.status == 0) {
        response.body.clear();
    }
    return response;
}

}  // namespace quillfen::platform
