#include "downloader/Download.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string_view>

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

std::string lastSegment(const std::string& link) {
    std::string_view view = link;
    view = view.substr(0, view.find_first_of("?#"));
    const auto slash = view.rfind('/');
    const std::string_view segment =
        slash == std::string_view::npos ? view : view.substr(slash + 1);
    if (segment.empty() || segment == "." || segment == "..") {
        return {};
    }
    return std::string(segment);
}

bool parseSize(std::string_view text, std::uint64_t& size) {
    if (text.empty() || text.size() > 19) {
        return false;
    }
    size = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        size = size * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return true;
}

CURLcode transfer(const std::string& link, PartFile& part, long& status) {
    const std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(),
                                                                   curl_easy_cleanup);
    if (!curl) {
        return CURLE_FAILED_INIT;
    }
    curl_easy_setopt(curl.get(), CURLOPT_URL, link.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl.get(), CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl.get(), CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(curl.get(), CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_LOW_SPEED_TIME, kStallSeconds);
    curl_easy_setopt(curl.get(), CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(part.limit));
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, writePart);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &part);
    const CURLcode result = curl_easy_perform(curl.get());
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
    return result;
}

}  // namespace

std::string destinationOf(const DownloadRequest& request) {
    if (!isFolder(request.target)) {
        return request.target;
    }
    const std::string name = lastSegment(request.link);
    if (name.empty()) {
        return {};
    }
    const bool endsWithSlash = request.target.back() == '/';
    return request.target + (endsWithSlash ? "" : "/") + name;
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

DownloadResult download(const DownloadRequest& request) {
    const std::string destination = destinationOf(request);
    if (destination.empty()) {
        return DownloadResult::BadRequest;
    }
    PartFile part;
    part.limit = request.size;
    part.path = destination + ".part-XXXXXX";
    part.fd = ::mkostemp(part.path.data(), O_CLOEXEC);
    if (part.fd < 0) {
        return DownloadResult::Failed;
    }
    long status = 0;
    const CURLcode result = transfer(request.link, part, status);
    const bool synced = ::fsync(part.fd) == 0;
    ::close(part.fd);
    const bool complete = result == CURLE_OK && synced && !part.overflow && !part.writeError;
    if (!complete || ::rename(part.path.c_str(), destination.c_str()) != 0) {
        ::unlink(part.path.c_str());
        return DownloadResult::Failed;
    }
    ::chmod(destination.c_str(), 0644);
    return part.written == request.size ? DownloadResult::Complete : DownloadResult::WrongSize;
}

}  // namespace quillfen::downloader
