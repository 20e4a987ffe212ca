#include "downloader/Transfer.h"
#include "platform/windows/WinInetRequest.h"

namespace quillfen::downloader {

namespace {

constexpr std::chrono::milliseconds kConnectTimeout = std::chrono::seconds(15);
constexpr std::chrono::milliseconds kStallTimeout = std::chrono::seconds(30);

}  // namespace

int transfer(const std::string& link, std::uint64_t maxBytes, std::chrono::seconds timeLimit,
             const Receiver& receive) {
    platform::WinInetRequest::Settings settings;
    settings.connectTimeout = kConnectTimeout;
    settings.sendTimeout = kStallTimeout;
    settings.receiveTimeout = kStallTimeout;
    settings.deadline = std::chrono::steady_clock::now() + timeLimit;
    std::uint64_t received = 0;
    const int status = platform::WinInetRequest(settings).get(link, [&](std::string_view piece) {
        received += piece.size();
        return received <= maxBytes && receive(piece);
    });
    // An error answer is no download, whatever its body.
    return status >= 400 ? 0 : status;
}

}  // namespace quillfen::downloader
