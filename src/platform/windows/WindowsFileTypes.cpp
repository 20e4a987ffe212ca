#include "platform/windows/WindowsFileTypes.h"

// clang-format off
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
// clang-format on

#include <cwchar>
#include <iterator>

#include "platform/windows/WideText.h"

namespace quillfen::platform {

namespace {

// Shell extensions that answer for some types are COM objects, which need an apartment on the
// calling thread. The scope joins the thread's apartment when it has one and otherwise opens one
// for the call only: the lookups run on search threads the shell knows nothing about, and each
// extension is asked once per window, so the cost stays small. A thread already in the
// multithreaded apartment keeps it.
class ComScope {
public:
    ComScope()
        : initialized_(SUCCEEDED(
              CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (initialized_) {
            CoUninitialize();
        }
    }

private:
    bool initialized_;
};

// The shell's type name for the path; empty when the shell gives none.
std::string shellTypeName(const std::wstring& path, DWORD attributes, UINT flags) {
    const ComScope com;
    SHFILEINFOW info{};
    if (SHGetFileInfoW(path.c_str(), attributes, &info, sizeof info, flags | SHGFI_TYPENAME) == 0) {
        return {};
    }
    return fromWide(
        std::wstring_view(info.szTypeName, wcsnlen(info.szTypeName, std::size(info.szTypeName))));
}

}  // namespace

std::string WindowsFileTypes::typeNameForExtension(const std::string& extension) const {
    return shellTypeName(toWide("1" + extension), 0, SHGFI_USEFILEATTRIBUTES);
}

std::string WindowsFileTypes::iconNameForExtension(const std::string&) const {
    return {};
}

std::string WindowsFileTypes::genericIconNameForExtension(const std::string&) const {
    return {};
}

std::string WindowsFileTypes::folderTypeName(const std::string& folderPath) const {
    return shellTypeName(toWide(folderPath), 0, 0);
}

}  // namespace quillfen::platform
