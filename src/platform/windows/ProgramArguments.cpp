#include "platform/windows/ProgramArguments.h"

// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include "platform/windows/WideText.h"

namespace quillfen::platform {

ProgramArguments::ProgramArguments() {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 0; wide != nullptr && i < count; ++i) {
        arguments_.push_back(fromWide(wide[i]));
    }
    LocalFree(wide);
    for (const std::string& argument : arguments_) {
        pointers_.push_back(argument.c_str());
    }
    pointers_.push_back(nullptr);
}

}  // namespace quillfen::platform
