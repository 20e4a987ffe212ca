#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace quillfen::downloader {

enum class DownloadResult { Complete, Failed, BadRequest };

// No update is larger; an announced size beyond it is refused before anything is fetched.
inline constexpr std::uint64_t kMaxDownloadBytes = std::uint64_t{1} << 30;
// A whole download ends after this long, however steadily the bytes trickle in.
inline constexpr std::chrono::seconds kDefaultTimeLimit = std::chrono::hours(1);

struct DownloadRequest {
    std::string link;
    // A file, or a folder (ending with a separator or existing) that receives an archive named
    // after the last segment of the link's path.
    std::string target;
    // The announced size in bytes; the download never writes more, and keeps nothing of another
    // size.
    std::uint64_t size = 0;
};

// Downloads over http or https into a temporary file beside the destination and renames it over
// the destination once exactly the announced size has arrived within the time limit; anything
// else leaves no file behind. Redirects never lead from https to http. Nothing downloaded is ever
// run.
DownloadResult download(const DownloadRequest& request, std::chrono::seconds timeLimit);

// The file a request writes: the target itself, or inside a target folder the archive that the
// link's path names. Empty when the link names no archive with a plain file name, or when what
// stands at the destination is not a plain file that may be replaced.
std::string destinationOf(const DownloadRequest& request);

// Removes the part files that killed downloaders left beside the destination: its own, and those
// of any archive in the same folder. A part file that a running downloader still writes stays.
void removeLeftoverParts(const std::string& destination);

// Parses "/d LINK TARGET SIZE PROGRAM" ("/u" works as "/d"); returns false for anything else,
// sizes beyond kMaxDownloadBytes included.
bool parseArguments(int argc, const char* const* argv, DownloadRequest& request);

// The time limit the environment variable QUILLDOWN_TIME_LIMIT gives in whole seconds, when it
// holds a positive number; kDefaultTimeLimit otherwise.
std::chrono::seconds timeLimitFromEnvironment();

// The whole program over its UTF-8 arguments: 0 for a complete download, 2 for a request it
// refuses, 1 for a download that failed.
int runDownloader(int argc, const char* const* argv);

}  // namespace quillfen::downloader
