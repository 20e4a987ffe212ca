// clang-format off
#include <windows.h>
// clang-format on

#include <memory>

#include "platform/windows/ProgramArguments.h"
#include "platform/windows/WinInetHttpClient.h"
#include "platform/windows/WindowsPlatform.h"
#include "ui/ProgramStart.h"
#include "ui/win32/Win32Program.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const quillfen::platform::ProgramArguments arguments;
    quillfen::platform::WindowsPlatform platform(
        std::make_unique<quillfen::platform::WinInetHttpClient>());
    quillfen::platform::installPlatform(&platform);
    return quillfen::startProgram(arguments.count(), arguments.vector(),
                                  quillfen::win32::Win32Program::courses());
}
