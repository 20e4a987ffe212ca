// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <string>
#include <vector>

#include "cli/CliRunner.h"
#include "platform/windows/WideText.h"
#include "platform/windows/WindowsPlatform.h"

namespace {

// The arguments as the program received them, in UTF-8 (WTF-8 for names that are not valid
// UTF-16), whatever the code pages: the runtime's own split would pass them through the ANSI
// code page and lose every character it lacks.
std::vector<std::string> utf8Arguments() {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; wide != nullptr && i < count; ++i) {
        arguments.push_back(quillfen::platform::fromWide(wide[i]));
    }
    LocalFree(wide);
    return arguments;
}

}  // namespace

int main() {
    const std::vector<std::string> arguments = utf8Arguments();
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) {
        pointers.push_back(argument.c_str());
    }
    pointers.push_back(nullptr);
    quillfen::platform::WindowsPlatform platform;
    quillfen::platform::installPlatform(&platform);
    return quillfen::cli::runCli(static_cast<int>(arguments.size()), pointers.data());
}
