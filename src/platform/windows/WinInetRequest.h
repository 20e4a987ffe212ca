#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace quillfen::platform {

// One GET through WinInet, shared by the program's update check and the downloader (which links
// this file and WideText, nothing else of the platform layer). WinInet's own redirects are off:
// they would lead from https to http. Redirects are followed here instead, at most five, each
// on the scheme it came from or from http up to https, never to another scheme.
class WinInetRequest {
public:
    struct Settings {
        std::string userAgent;
        // Empty: the system's proxy settings.
        std::string proxy;
        // Bytes as they come; text transfers are what the version check asks for.
        bool textTransfer = false;
        std::chrono::milliseconds connectTimeout{5000};
        std::chrono::milliseconds sendTimeout{1000};
        std::chrono::milliseconds receiveTimeout{7000};
        unsigned long connectRetries = 5;
        // The whole request, redirects and reads included, ends by then.
        std::chrono::steady_clock::time_point deadline;
    };
    // Gets the body piece by piece; returning false ends the transfer as failed.
    using Receiver = std::function<bool(std::string_view piece)>;

    explicit WinInetRequest(Settings settings);

    // The final HTTP status with its body handed to `receive`, or 0 when the transfer failed:
    // no connection, a time-out, the deadline, a redirect that breaks the rules, a refused piece.
    int get(const std::string& url, const Receiver& receive) const;

    // Whether a redirect from the absolute address `from` to the absolute address `to` is
    // followed.
    static bool mayRedirect(const std::string& from, const std::string& to);

    static constexpr int kMaxRedirects = 5;

private:
    Settings settings_;
};

}  // namespace quillfen::platform
