#include "WindowsTestSystemInfo.h"

namespace quillfen::test {

std::string WindowsTestSystemInfo::executablePath() const {
    return fixedExecutablePath ? *fixedExecutablePath : real_.executablePath();
}

std::string WindowsTestSystemInfo::userCacheDirectory() const {
    return fixedUserCacheDirectory ? *fixedUserCacheDirectory : real_.userCacheDirectory();
}

}  // namespace quillfen::test
