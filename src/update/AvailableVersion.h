#pragma once

#include <optional>
#include <string>

namespace quillfen {

// A copy of the program that the system's package manager updates is never written to: the
// version check records here, in the user's update folder, that a newer version exists, and the
// main window tells the user once per version.

// Records the newer version; a version already recorded keeps its mark of having been told.
void recordAvailableVersion(const std::string& version);
// The server announces nothing newer (the package manager has updated the program).
void forgetAvailableVersion();
// The recorded version when it is newer than the running one and the user has not been told of
// it yet, which marks it told; nothing otherwise.
std::optional<std::string> takeAvailableVersionNotice(const std::string& runningVersion);

}  // namespace quillfen
