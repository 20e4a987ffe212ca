#include "ui/win32/ProgramChooser.h"

// clang-format off
#include <commdlg.h>
// clang-format on

#include <vector>

#include "platform/windows/WideText.h"

namespace quillfen::win32 {

namespace {

// Long enough for a path beyond MAX_PATH.
constexpr DWORD kPathCapacity = 32768;

// "Exe Files(*.exe)|*.exe||" in the dialog's own form: pairs ended by zeros, the list by two.
constexpr wchar_t kProgramFilter[] = L"Exe Files(*.exe)\0*.exe\0";

}  // namespace

std::optional<std::string> chooseProgramFile(HWND owner) {
    std::vector<wchar_t> path(kPathCapacity, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kProgramFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = kPathCapacity;
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                   OFN_NOCHANGEDIR | OFN_LONGNAMES;
    if (!GetOpenFileNameW(&dialog)) {
        return std::nullopt;
    }
    return platform::fromWide(path.data());
}

}  // namespace quillfen::win32
