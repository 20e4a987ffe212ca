#include "support/SystemHttpClient.h"

#include "platform/windows/WinInetHttpClient.h"

namespace quillfen::test {

// WinInet sends requests for 127.0.0.1 past any proxy of the system's settings.
std::unique_ptr<platform::HttpClient> makeSystemHttpClient() {
    return std::make_unique<platform::WinInetHttpClient>();
}

}  // namespace quillfen::test
