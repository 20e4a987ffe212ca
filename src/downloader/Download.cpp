#include "downloader/Download.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "downloader/Destination.h"
#include "downloader/PartFile.h"
#include "downloader/Transfer.h"
#include "downloadlink/DownloadLink.h"

namespace quillfen::downloader {

namespace {

constexpr int kStatusOk = 200;

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

// A part file is named after its destination, ".part-" and six to eight letters or digits.
bool isPartFileName(std::string_view name, std::string_view destinationName) {
    constexpr std::string_view kPartMark = ".part-";
    const auto mark = name.rfind(kPartMark);
    if (mark == std::string_view::npos || mark == 0) {
        return false;
    }
    const std::string_view of = name.substr(0, mark);
    const std::string_view unique = name.substr(mark + kPartMark.size());
    const bool uniqueForm =
        unique.size() >= 6 && unique.size() <= 8 &&
        std::all_of(unique.begin(), unique.end(), [](char c) {
            return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        });
    return uniqueForm && (of == destinationName || downloadlink::isArchiveFileName(of));
}

}  // namespace

void removeLeftoverParts(const std::string& destination) {
    const std::string folder = folderOf(destination);
    const std::string destinationName = destination.substr(folder.size());
    for (const std::string& name : plainFileNamesIn(folder)) {
        if (isPartFileName(name, destinationName)) {
            removeUnlessInUse(folder + name);
        }
    }
}

std::string destinationOf(const DownloadRequest& request) {
    std::string destination = request.target;
    if (isFolder(request.target)) {
        const std::string name = downloadlink::linkFileName(request.link);
        if (!downloadlink::isArchiveFileName(name)) {
            return {};
        }
        destination = pathInFolder(request.target, name);
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
    removeLeftoverParts(destination);
    const std::unique_ptr<PartFile> part = PartFile::createBeside(destination);
    if (!part) {
        return DownloadResult::Failed;
    }
    std::uint64_t received = 0;
    const int status = transfer(request.link, request.size, timeLimit, [&](std::string_view piece) {
        if (piece.size() > request.size - received || !part->write(piece)) {
            return false;
        }
        received += piece.size();
        return true;
    });
    const bool complete = status == kStatusOk && received == request.size && part->finish();
    if (!complete || !mayBeReplaced(destination) || !part->replace(destination)) {
        return DownloadResult::Failed;
    }
    return DownloadResult::Complete;
}

int runDownloader(int argc, const char* const* argv) {
    DownloadRequest request;
    if (!parseArguments(argc, argv, request)) {
        std::fputs("usage: quilldown /d LINK TARGET SIZE PROGRAM\n", stderr);
        return 2;
    }
    switch (download(request, timeLimitFromEnvironment())) {
        case DownloadResult::Complete:
            return 0;
        case DownloadResult::BadRequest:
            std::fprintf(stderr, "quilldown: refusing to write %s from %s\n",
                         request.target.c_str(), request.link.c_str());
            return 2;
        case DownloadResult::Failed:
            break;
    }
    return 1;
}

}  // namespace quillfen::downloader
