#include <curl/curl.h>

#include <memory>

#include "downloader/Transfer.h"

namespace quillfen::downloader {

namespace {

constexpr long kConnectTimeoutSeconds = 15;
constexpr long kStallSeconds = 30;
constexpr long kMaxRedirects = 5;

extern "C" size_t receivePiece(char* data, size_t size, size_t count, void* context) {
    const auto& receive = *static_cast<const Receiver*>(context);
    const size_t bytes = size * count;
    return receive(std::string_view(data, bytes)) ? bytes : 0;
}

// The downloader makes one transfer per run.
class CurlLibrary {
public:
    CurlLibrary() { curl_global_init(CURL_GLOBAL_DEFAULT); }
    ~CurlLibrary() { curl_global_cleanup(); }
    CurlLibrary(const CurlLibrary&) = delete;
    CurlLibrary& operator=(const CurlLibrary&) = delete;
};

}  // namespace

int transfer(const std::string& link, std::uint64_t maxBytes, std::chrono::seconds timeLimit,
             const Receiver& receive) {
    const CurlLibrary library;
    const std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(),
                                                                   curl_easy_cleanup);
    if (!curl) {
        return 0;
    }
    curl_easy_setopt(curl.get(), CURLOPT_URL, link.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_PROTOCOLS_STR, "http,https");
    // A redirect may raise http to https, never lower https to http.
    curl_easy_setopt(curl.get(), CURLOPT_REDIR_PROTOCOLS_STR,
                     link.starts_with("https:") ? "https" : "http,https");
    curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(curl.get(), CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(curl.get(), CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_LOW_SPEED_TIME, kStallSeconds);
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, static_cast<long>(timeLimit.count()));
    curl_easy_setopt(curl.get(), CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maxBytes));
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, receivePiece);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &receive);
    if (curl_easy_perform(curl.get()) != CURLE_OK) {
        return 0;
    }
    long status = 0;
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
    return static_cast<int>(status);
}

}  // namespace quillfen::downloader
