#include "platform/windows/WinInetRequest.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <memory>
#include <utility>

#include "platform/windows/WideText.h"

namespace quillfen::platform {

namespace {

using Clock = std::chrono::steady_clock;

struct InternetHandleCloser {
    void operator()(HINTERNET handle) const { InternetCloseHandle(handle); }
};
using InternetHandle = std::unique_ptr<void, InternetHandleCloser>;

DWORD milliseconds(std::chrono::milliseconds value) {
    return static_cast<DWORD>(
        std::clamp<std::chrono::milliseconds::rep>(value.count(), 1, MAXDWORD));
}

std::chrono::milliseconds timeLeft(Clock::time_point deadline) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
}

void setNumber(HINTERNET handle, DWORD option, DWORD value) {
    InternetSetOptionW(handle, option, &value, sizeof value);
}

INTERNET_SCHEME schemeOf(const std::wstring& url) {
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwSchemeLength = 1;
    parts.dwHostNameLength = 1;
    if (!InternetCrackUrlW(url.c_str(), 0, 0, &parts)) {
        return INTERNET_SCHEME_UNKNOWN;
    }
    return parts.nScheme;
}

// A redirect stays on https once there; from http it may go up to https.
bool mayFollow(INTERNET_SCHEME from, INTERNET_SCHEME to) {
    return (from == INTERNET_SCHEME_HTTP || from == INTERNET_SCHEME_HTTPS) &&
           (to == INTERNET_SCHEME_HTTPS ||
            (from == INTERNET_SCHEME_HTTP && to == INTERNET_SCHEME_HTTP));
}

bool isRedirect(DWORD status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

DWORD statusOf(HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                        nullptr)) {
        return 0;
    }
    return status;
}

std::wstring headerText(HINTERNET request, DWORD query) {
    DWORD size = 0;
    HttpQueryInfoW(request, query, nullptr, &size, nullptr);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) {
        return {};
    }
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (!HttpQueryInfoW(request, query, text.data(), &size, nullptr)) {
        return {};
    }
    text.resize(size / sizeof(wchar_t));
    return text;
}

// The Location header resolved against the address that answered with it.
std::wstring redirectTarget(HINTERNET request, const std::wstring& from) {
    const std::wstring location = headerText(request, HTTP_QUERY_LOCATION);
    if (location.empty()) {
        return {};
    }
    DWORD length = 0;
    InternetCombineUrlW(from.c_str(), location.c_str(), nullptr, &length, 0);
    if (length == 0) {
        return {};
    }
    std::wstring combined(length + 1, L'\0');
    length = static_cast<DWORD>(combined.size());
    if (!InternetCombineUrlW(from.c_str(), location.c_str(), combined.data(), &length, 0)) {
        return {};
    }
    combined.resize(length);
    return combined;
}

InternetHandle openSession(const WinInetRequest::Settings& settings) {
    // WinInet may believe itself offline (a setting of the user's); the check asks regardless.
    INTERNET_CONNECTED_INFO online{INTERNET_STATE_CONNECTED, 0};
    InternetSetOptionW(nullptr, INTERNET_OPTION_CONNECTED_STATE, &online, sizeof online);
    const std::wstring agent = toWide(settings.userAgent);
    const std::wstring proxy = toWide(settings.proxy);
    InternetHandle session(InternetOpenW(
        agent.c_str(), proxy.empty() ? INTERNET_OPEN_TYPE_PRECONFIG : INTERNET_OPEN_TYPE_PROXY,
        proxy.empty() ? nullptr : proxy.c_str(), nullptr, INTERNET_FLAG_DONT_CACHE));
    if (!session) {
        return session;
    }
    setNumber(session.get(), INTERNET_OPTION_CONNECT_TIMEOUT,
              milliseconds(settings.connectTimeout));
    setNumber(session.get(), INTERNET_OPTION_SEND_TIMEOUT, milliseconds(settings.sendTimeout));
    setNumber(session.get(), INTERNET_OPTION_RECEIVE_TIMEOUT,
              milliseconds(settings.receiveTimeout));
    setNumber(session.get(), INTERNET_OPTION_DATA_SEND_TIMEOUT, milliseconds(settings.sendTimeout));
    setNumber(session.get(), INTERNET_OPTION_DATA_RECEIVE_TIMEOUT,
              milliseconds(settings.receiveTimeout));
    setNumber(session.get(), INTERNET_OPTION_CONNECT_RETRIES, settings.connectRetries);
    return session;
}

// Waits for the next piece of the body no longer than the deadline allows; false at the end of
// the body as well as on failure, told apart by `failed`.
bool readPiece(HINTERNET request, const WinInetRequest::Settings& settings, std::string& piece,
               bool& failed) {
    const auto left = timeLeft(settings.deadline);
    failed = left <= std::chrono::milliseconds::zero();
    if (failed) {
        return false;
    }
    const DWORD wait = milliseconds(std::min(settings.receiveTimeout, left));
    setNumber(request, INTERNET_OPTION_RECEIVE_TIMEOUT, wait);
    setNumber(request, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, wait);
    // Asking what is there first returns as soon as anything arrived; a plain read could wait
    // to fill its whole buffer from a server that trickles.
    DWORD available = 0;
    if (!InternetQueryDataAvailable(request, &available, 0, 0)) {
        failed = true;
        return false;
    }
    piece.resize(std::clamp<DWORD>(available, 1, 64 * 1024));
    DWORD got = 0;
    if (!InternetReadFile(request, piece.data(), static_cast<DWORD>(piece.size()), &got)) {
        failed = true;
        return false;
    }
    piece.resize(got);
    failed = timeLeft(settings.deadline) <= std::chrono::milliseconds::zero();
    return got != 0 && !failed;
}

}  // namespace

bool WinInetRequest::mayRedirect(const std::string& from, const std::string& to) {
    return mayFollow(schemeOf(toWide(from)), schemeOf(toWide(to)));
}

WinInetRequest::WinInetRequest(Settings settings) : settings_(std::move(settings)) {}

int WinInetRequest::get(const std::string& url, const Receiver& receive) const {
    std::wstring address = toWide(url);
    INTERNET_SCHEME scheme = schemeOf(address);
    if (scheme != INTERNET_SCHEME_HTTP && scheme != INTERNET_SCHEME_HTTPS) {
        return 0;
    }
    const InternetHandle session = openSession(settings_);
    if (!session) {
        return 0;
    }
    const DWORD flags =
        INTERNET_FLAG_RELOAD | INTERNET_FLAG_DONT_CACHE | INTERNET_FLAG_NO_AUTO_REDIRECT |
        INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI |
        (settings_.textTransfer ? INTERNET_FLAG_TRANSFER_ASCII : INTERNET_FLAG_TRANSFER_BINARY);
    for (int hop = 0; hop <= kMaxRedirects; ++hop) {
        const auto left = timeLeft(settings_.deadline);
        if (left <= std::chrono::milliseconds::zero()) {
            return 0;
        }
        // No single wait of the connection (the TLS handshake included) outlasts the deadline.
        setNumber(session.get(), INTERNET_OPTION_CONNECT_TIMEOUT,
                  milliseconds(std::min(settings_.connectTimeout, left)));
        setNumber(session.get(), INTERNET_OPTION_SEND_TIMEOUT,
                  milliseconds(std::min(settings_.sendTimeout, left)));
        setNumber(session.get(), INTERNET_OPTION_RECEIVE_TIMEOUT,
                  milliseconds(std::min(settings_.receiveTimeout, left)));
        const InternetHandle request(
            InternetOpenUrlW(session.get(), address.c_str(), nullptr, 0, flags, 0));
        if (!request || timeLeft(settings_.deadline) <= std::chrono::milliseconds::zero()) {
            return 0;
        }
        const DWORD status = statusOf(request.get());
        if (status == 0) {
            return 0;
        }
        // A redirect without a target is an answer like any other.
        std::wstring next = isRedirect(status) ? redirectTarget(request.get(), address) : L"";
        if (!next.empty()) {
            const INTERNET_SCHEME nextScheme = schemeOf(next);
            if (!mayFollow(scheme, nextScheme)) {
                return 0;
            }
            address = std::move(next);
            scheme = nextScheme;
            continue;
        }
        std::string piece;
        bool failed = false;
        while (readPiece(request.get(), settings_, piece, failed)) {
            if (!receive(piece)) {
                return 0;
            }
        }
        return failed ? 0 : static_cast<int>(status);
    }
    return 0;
}

}  // namespace quillfen::platform
