#include "platform/linux/curl/CurlHttpClient.h"

#include <curl/curl.h>

#include <cstdlib>
#include <memory>

namespace quillfen::platform {

namespace {

constexpr long kConnectTimeoutSeconds = 5;
constexpr long kReceiveSilenceSeconds = 7;
constexpr int kConnectAttempts = 6;  // the first try and five retries
constexpr long kMaxRedirects = 5;

struct BodySink {
    std::string body;
    std::size_t limit = 0;
    bool tooLong = false;
};

extern "C" size_t appendBody(char* data, size_t size, size_t count, void* context) {
    auto* sink = static_cast<BodySink*>(context);
    const size_t bytes = size * count;
    if (sink->body.size() + bytes > sink->limit) {
        sink->tooLong = true;
        return 0;  // makes libcurl end the transfer with an error
    }
    sink->body.append(data, bytes);
    return bytes;
}

using CurlHandle = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;

using Clock = std::chrono::steady_clock;

CURLcode perform(CURL* curl, const std::string& url, const std::string& userAgent,
                 const std::string& proxy, BodySink& sink, std::chrono::milliseconds timeLeft) {
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kReceiveSilenceSeconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(timeLeft.count()));
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
    // A redirect may raise http to https, never lower https to http or leave the web.
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR,
                     url.starts_with("https:") ? "https" : "http,https");
    curl_easy_setopt(curl, CURLOPT_USERAGENT, userAgent.c_str());
    // A certificate bundle named the way OpenSSL programs name it replaces the system's, for
    // networks that inspect TLS with a certificate authority of their own.
    if (const char* bundle = std::getenv("SSL_CERT_FILE"); bundle != nullptr && *bundle != '\0') {
        curl_easy_setopt(curl, CURLOPT_CAINFO, bundle);
    }
    if (!proxy.empty()) {
        curl_easy_setopt(curl, CURLOPT_PROXY, proxy.c_str());
    }
    // Answers are never cached on the way: an update check must see the server's current word.
    curl_slist* headers = curl_slist_append(nullptr, "Cache-Control: no-cache");
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    const CURLcode result = curl_easy_perform(curl);
    curl_slist_free_all(headers);
    return result;
}

}  // namespace

CurlHttpClient::CurlHttpClient() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
}

CurlHttpClient::~CurlHttpClient() {
    curl_global_cleanup();
}

HttpResponse CurlHttpClient::get(const std::string& url, const std::string& userAgent,
                                 const std::string& proxy, std::size_t maxBodyBytes,
                                 std::chrono::milliseconds timeLimit) {
    HttpResponse response;
    const Clock::time_point deadline = Clock::now() + timeLimit;
    for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
        const auto timeLeft =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (timeLeft <= std::chrono::milliseconds::zero()) {
            return response;
        }
        const CurlHandle curl(curl_easy_init(), curl_easy_cleanup);
        if (!curl) {
            return response;
        }
        BodySink sink;
        sink.limit = maxBodyBytes;
        const CURLcode result = perform(curl.get(), url, userAgent, proxy, sink, timeLeft);
        if (result == CURLE_COULDNT_CONNECT || result == CURLE_OPERATION_TIMEDOUT) {
            curl_off_t connected = 0;
            curl_easy_getinfo(curl.get(), CURLINFO_CONNECT_TIME_T, &connected);
            if (connected == 0) {
                continue;
            }
        }
        if (result != CURLE_OK) {
            return response;
        }
        long status = 0;
        curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
        response.status = static_cast<int>(status);
        response.body = std::move(sink.body);
        return response;
    }
    return response;
}

}  // namespace quillfen::platform
