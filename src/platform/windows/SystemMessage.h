#pragma once

#include <windows.h>

#include <string>

namespace quillfen::platform {

// The system's own words for an error code ("Access is denied."), without the line end the
// system adds; "error N" when the system has no text for it.
std::string systemMessage(DWORD error);

}  // namespace quillfen::platform
