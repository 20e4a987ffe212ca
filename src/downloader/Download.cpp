#include "downloader/Download.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "downloadlink/DownloadLink.h"

namespace quillfen::downloader {

namespace {

constexpr long kConnectTimeoutSeconds = 15;
constexpr long kStallSeconds = 30;

struct PartFile {
    int fd = -1;
    std::string path;
    std::uint64_t written = 0;
    std::uint64_t limit = 0;
    bool overflow = false;
    bool writeError = false;
};

extern "C" size_t writePart(char* data, size_t size, size_t count, void* context) {
    auto* part = static_cast<PartFile*>(context);
    const size_t bytes = size * count;
    if (part->written + bytes > part->limit) {
        part->overflow = true;
        return 0;
    }
    size_t done = 0;
    while (done < bytes) {
        const ssize_t result = ::write(part->fd, data + done, bytes - done);
        if (result < 0) {
            if (errno == EINTR) {
                continue;
            }
            part->writeError = true;
            return 0;
        }
        done += static_cast<size_t>(result);
    }
    part->written += bytes;
    return bytes;
}

bool isFolder(const std::string& path) {
    struct stat info {};
    return !path.empty() &&
           (path.back() == '/' || (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)));
}

// Nothing there yet, or a plain file; never a link, a folder or a device.
bool mayBeReplaced(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return errno == ENOENT;
    }
    return S_ISREG(info.st_mode);
}

bool parsePositive(std::string_view text, std::uint64_t& value) {
    if (text.empty() || text.size() > 19) {
        return false;
    }
    value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return true;
}

bool parseSize(std::string_view text, std::uint64_t& size) {
    return parsePositive(text, size) && size <= kMaxDownloadBytes;
}

CURLcode transfer(const std::string& link, PartFile& part, std::chrono::seconds timeLimit) {
    const std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(),
                                                                   curl_easy_cleanup);
    if (!curl) {
        return CURLE_FAILED_INIT;
    }
    curl_easy_setopt(curl.get(), CURLOPT_URL, link.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_PROTOCOLS_STR, "http,https");
    // A redirect may raise http to https, never lower https to http.
    curl_easy_setopt(curl.get(), CURLOPT_REDIR_PROTOCOLS_STR,
                     link.starts_with("https:") ? "https" : "http,https");
    curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl.get(), CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(curl.get(), CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_LOW_SPEED_TIME, kStallSeconds);
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, static_cast<long>(timeLimit.count()));
    curl_easy_setopt(curl.get(), CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(part.limit));
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, writePart);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &part);
    return curl_easy_perform(curl.get());
}

}  // namespace

std::string destinationOf(const DownloadRequest& request) {
    std::string destination = request.target;
    if (isFolder(request.target)) {
        const std::string name = downloadlink::linkFileName(request.link);
        if (!downloadlink::isArchiveFileName(name)) {
            return {};
        }
        destination += (request.target.back() == '/' ? "" : "/") + name;
    }
    return mayBeReplaced(destination) ? destination : std::string();
}

bool parseArguments(int argc, const char* const* argv, DownloadRequest& request) {
    if (argc != 6) {
        return false;
    }
    const std::string_view mode = argv[1];
    if (mode != "/d" && mode != "/u") {
        return false;
    }
    request.link = argv[2];
    request.target = argv[3];
    return !request.link.empty() && !request.target.empty() && parseSize(argv[4], request.size);
}

std::chrono::seconds timeLimitFromEnvironment() {
    const char* configured = std::getenv("QUILLDOWN_TIME_LIMIT");
    std::uint64_t seconds = 0;
    if (configured == nullptr || !parsePositive(configured, seconds) || seconds == 0 ||
        seconds > static_cast<std::uint64_t>(kDefaultTimeLimit.count())) {
        return kDefaultTimeLimit;
    }
    return std::chrono::seconds(seconds);
}

DownloadResult download(const DownloadRequest& request, std::chrono::seconds timeLimit) {
    const std::string destination = destinationOf(request);
    if (destination.empty() || request.size > kMaxDownloadBytes) {
        return DownloadResult::BadRequest;
    }
    PartFile part;
    part.limit = request.size;
    part.path = destination + ".part-XXXXXX";
    part.fd = ::mkostemp(part.path.data(), O_CLOEXEC);
    if (part.fd < 0) {
        return DownloadResult::Failed;
    }
    const CURLcode result = transfer(request.link, part, timeLimit);
    const bool synced = ::fsync(part.fd) == 0;
    ::close(part.fd);
    const bool complete = result == CURLE_OK && synced && !part.overflow && !part.writeError &&
                          part.written == request.size;
    if (!complete || !mayBeReplaced(destination) ||
        ::rename(part.path.c_str(), destination.c_str()) != 0) {
        ::unlink(part.path.c_str());
        return DownloadResult::Failed;
    }
    ::chmod(destination.c_str(), 0644);
    return DownloadResult::Complete;
}

}  // namespace quillfen::downloader
