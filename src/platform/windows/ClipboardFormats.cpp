#include "platform/windows/ClipboardFormats.h"

#include <windows.h>

#include "platform/windows/WideText.h"

namespace quillfen::platform {

namespace {

constexpr std::uint32_t kDropFilesHeaderBytes = 20;
constexpr std::size_t kTrailingZeroBytes = 8;

void appendUint32(std::string& bytes, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
}

void appendWide(std::string& bytes, std::wstring_view text) {
    for (const wchar_t unit : text) {
        const auto value = static_cast<std::uint16_t>(unit);
        bytes.push_back(static_cast<char>(value & 0xFF));
        bytes.push_back(static_cast<char>(value >> 8));
    }
}

std::string dropFilesHeader() {
    std::string header;
    appendUint32(header, kDropFilesHeaderBytes);
    appendUint32(header, 0);
    appendUint32(header, 0);
    appendUint32(header, 0);
    appendUint32(header, 1);
    return header;
}

// The length of the list in the engine's bytes: each path and its zero, then the final zero.
std::size_t narrowListLength(const std::vector<std::string>& paths) {
    std::size_t length = 1;
    for (const std::string& path : paths) {
        length += path.size() + 1;
    }
    return length;
}

}  // namespace

// Each UTF-8 or WTF-8 sequence gives at most as many UTF-16 units as it has bytes, so the wide
// list always fits the block and is never cut short. Appending to one text reserved up front
// copies no row twice, however many rows are selected.
std::string ClipboardFormats::dropFiles(const std::vector<std::string>& paths) {
    const std::size_t narrowLength = narrowListLength(paths);
    const std::size_t blockBytes = 2 * narrowLength + kDropFilesHeaderBytes + kTrailingZeroBytes;
    std::string block = dropFilesHeader();
    block.reserve(blockBytes);
    for (const std::string& path : paths) {
        appendWide(block, toWide(path));
        appendWide(block, std::wstring_view(L"\0", 1));
    }
    appendWide(block, std::wstring_view(L"\0", 1));
    block.resize(blockBytes, '\0');
    return block;
}

std::string ClipboardFormats::preferredDropEffect(FileTransfer transfer) {
    std::string bytes;
    appendUint32(bytes, transfer == FileTransfer::Cut ? kDropEffectMove : kDropEffectCopy);
    return bytes;
}

std::string ClipboardFormats::unicodeText(std::string_view text) {
    std::string bytes;
    appendWide(bytes, toWide(text));
    appendWide(bytes, std::wstring_view(L"\0", 1));
    return bytes;
}

std::string ClipboardFormats::ansiText(std::string_view text, unsigned codePage) {
    const std::wstring wide = toWide(text);
    std::string bytes;
    if (!wide.empty()) {
        // UTF-8 and UTF-7 take no flags and no default character.
        const bool utf = codePage == CP_UTF8 || codePage == CP_UTF7;
        const DWORD flags = utf ? 0 : WC_NO_BEST_FIT_CHARS;
        const char* missing = utf ? nullptr : "?";
        const auto units = static_cast<int>(wide.size());
        const int length =
            WideCharToMultiByte(codePage, flags, wide.data(), units, nullptr, 0, missing, nullptr);
        bytes.resize(static_cast<std::size_t>(length > 0 ? length : 0));
        if (length > 0) {
            WideCharToMultiByte(codePage, flags, wide.data(), units, bytes.data(), length, missing,
                                nullptr);
        }
    }
    bytes.push_back('\0');
    return bytes;
}

}  // namespace quillfen::platform
