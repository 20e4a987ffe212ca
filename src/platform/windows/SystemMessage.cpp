#include "platform/windows/SystemMessage.h"

#include <iterator>
#include <string_view>

#include "platform/windows/WideText.h"

namespace quillfen::platform {

std::string systemMessage(DWORD error) {
    wchar_t text[512] = {};
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                       0, text, static_cast<DWORD>(std::size(text)), nullptr);
    std::wstring_view message(text, length);
    while (!message.empty() &&
           (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' ')) {
        message.remove_suffix(1);
    }
    if (message.empty()) {
        return "error " + std::to_string(error);
    }
    return fromWide(message);
}

}  // namespace quillfen::platform
