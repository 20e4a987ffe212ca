#include "platform/windows/ComScope.h"

// clang-format off
#include <windows.h>
#include <objbase.h>
// clang-format on

namespace quillfen::platform {

ComScope::ComScope()
    : initialized_(
          SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}

ComScope::~ComScope() {
    if (initialized_) {
        CoUninitialize();
    }
}

}  // namespace quillfen::platform
