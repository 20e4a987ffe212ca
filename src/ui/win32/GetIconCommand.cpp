#include "ui/win32/GetIconCommand.h"

#include "platform/windows/ShellIcons.h"
#include "ui/IconExtraction.h"

namespace quillfen::win32 {

int runGetIcon(const std::string& remainder) {
    const IconExtraction::Request request = IconExtraction::parseRequest(remainder);
    const std::string output = IconExtraction::prepareOutputFile(request.name);
    if (output.empty()) {
        return 0;
    }
    if (const auto icon = platform::ShellIcons::extract(request.source, 0)) {
        IconExtraction::writeIconFile(output, *icon);
    }
    return 0;
}

}  // namespace quillfen::win32
