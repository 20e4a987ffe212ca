#pragma once

#include <chrono>
#include <string>

namespace quillfen {

// The update server's scheme and host, such as "https://update.example.org": the build's choice,
// overridden by the environment variable QUILLFEN_UPDATE_BASE. Empty means there is no server.
std::string updateServerBase();

// The version request: base, path and query keys in their fixed order, the machine key being the
// MD5 of the trimmed machine identifier. Characters that cannot stand in a URL (blanks, control
// characters, bytes beyond ASCII) are percent-encoded; everything else goes as it is.
std::string buildVersionRequestUrl(const std::string& base, const std::string& version,
                                   const std::string& languageName, int languageId,
                                   const std::string& machineIdentifierText);

// However slowly a server answers, the check is over after this long.
inline constexpr std::chrono::milliseconds kAnswerTimeLimit = std::chrono::minutes(2);

// Fetches a URL: 0 with the body (each line ended by CR LF, CR bytes of the answer dropped) for
// status 200, the negated status for any other, -1 when the transfer failed. Bodies over 64 KiB
// are refused as failed transfers: no answer of the update server is that long; so is an answer
// that has not arrived whole within `timeLimit`.
int fetchUrlText(const std::string& url, const std::string& userAgent, const std::string& proxy,
                 std::string& body, std::chrono::milliseconds timeLimit = kAnswerTimeLimit);

// This user's own folder for the downloader and the downloads it brings, the same for every run
// so that nothing piles up: under the user's cache folder, created when missing, open to this
// user alone. Empty when it cannot be had. Ends with a separator.
std::string privateUpdateFolder();
// Where that folder is, without making it; empty when the user has no cache folder.
std::string updateFolderPath();

// Asks the update server for the newest version and, when it is newer than this program, brings
// it onto this copy (UpdateDelivery), one run at a time for each user. Shows nothing; every
// failure ends it silently.
void runVersionCheck(const std::string& machineIdentifierText);

}  // namespace quillfen
