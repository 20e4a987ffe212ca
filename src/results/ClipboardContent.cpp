#include "results/ClipboardContent.h"

#include <functional>

#include "app/PathHelpers.h"

namespace quillfen {

namespace {

constexpr std::size_t kRowsPerBatch = 100;

bool isUnreserved(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' || byte == '~';
}

void appendPercentEncoded(std::string& text, unsigned char byte) {
    constexpr char kHexDigits[] = "0123456789ABCDEF";
    text.push_back('%');
    text.push_back(kHexDigits[byte >> 4]);
    text.push_back(kHexDigits[byte & 0x0F]);
}

// Rows are gathered a hundred at a time before they join the result, so a selection of many
// thousands of rows grows the long text a hundred times less often.
std::string inBatches(std::size_t rows,
                      const std::function<void(std::string&, std::size_t)>& appendRow) {
    std::string result;
    std::string batch;
    for (std::size_t row = 0; row < rows; ++row) {
        appendRow(batch, row);
        if ((row + 1) % kRowsPerBatch == 0) {
            result += batch;
            batch.clear();
        }
    }
    result += batch;
    return result;
}

std::vector<std::string> fileUris(const std::vector<std::string>& paths) {
    std::vector<std::string> uris;
    uris.reserve(paths.size());
    for (const std::string& path : paths) {
        uris.push_back(fileUri(path));
    }
    return uris;
}

// Text lists end every line with CR LF, the last one included.
std::string uriList(const std::vector<std::string>& uris) {
    return inBatches(uris.size(), [&](std::string& text, std::size_t row) {
        text += uris[row];
        text += "\r\n";
    });
}

// The verb on the first line, then one URI per line, with no line end after the last.
std::string copiedFilesList(const std::vector<std::string>& uris, FileTransfer transfer) {
    return (transfer == FileTransfer::Cut ? "cut" : "copy") +
           inBatches(uris.size(), [&](std::string& text, std::size_t row) {
               text += '\n';
               text += uris[row];
           });
}

// No line end after the last path, so pasting one path into a terminal does not run it.
std::string pathLines(const std::vector<std::string>& paths) {
    return inBatches(paths.size(), [&](std::string& text, std::size_t row) {
        if (row > 0) {
            text += '\n';
        }
        text += paths[row];
    });
}

}  // namespace

std::string fileUri(std::string_view path) {
    std::string uri = "file://";
    uri.reserve(uri.size() + path.size() * 3);
    for (const char character : path) {
        const auto byte = static_cast<unsigned char>(character);
        if (character == '/' || character == pathSeparator()) {
            uri.push_back('/');
        } else if (isUnreserved(byte)) {
            uri.push_back(character);
        } else {
            appendPercentEncoded(uri, byte);
        }
    }
    return uri;
}

platform::ClipboardContent fileListContent(const std::vector<std::string>& paths,
                                           FileTransfer transfer) {
    const std::vector<std::string> uris = fileUris(paths);
    const std::string copiedFiles = copiedFilesList(uris, transfer);
    platform::ClipboardContent content;
    content.formats = {
        {"text/uri-list", uriList(uris)},
        {"x-special/gnome-copied-files", copiedFiles},
        {"x-special/mate-copied-files", copiedFiles},
        {"application/x-kde-cutselection", transfer == FileTransfer::Cut ? "1" : "0"},
    };
    content.plainText = pathLines(paths);
    return content;
}

platform::ClipboardContent fileNameContent(const std::vector<std::string>& paths) {
    platform::ClipboardContent content;
    content.plainText = inBatches(paths.size(), [&](std::string& text, std::size_t row) {
        text += '"';
        text += paths[row];
        text += "\"\r\n";
    });
    return content;
}

}  // namespace quillfen
