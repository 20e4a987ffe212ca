#pragma once

#include <cstdint>
#include <string>

namespace quillfen::downloader {

enum class DownloadResult { Complete, WrongSize, Failed, BadRequest };

struct DownloadRequest {
    std::string link;
    // A file, or a folder (ending with '/' or existing) that receives the link's last segment.
    std::string target;
    // The announced size in bytes; the download never writes more.
    std::uint64_t size = 0;
};

// Downloads over http or https into a temporary file beside the target and renames it over the
// target once the transfer is complete and no larger than announced. Nothing downloaded is ever
// run.
DownloadResult download(const DownloadRequest& request);

// The file a request writes: the target itself, or the link's last path segment inside it when
// it names a folder. Empty when no safe file name can be had.
std::string destinationOf(const DownloadRequest& request);

// Parses "/d LINK TARGET SIZE PROGRAM" ("/u" works as "/d"); returns false for anything else.
bool parseArguments(int argc, const char* const* argv, DownloadRequest& request);

}  // namespace quillfen::downloader
