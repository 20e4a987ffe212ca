#include "platform/linux/MimeClipboard.h"

#include <functional>

#include "platform/linux/FileUri.h"

namespace quillfen::platform {

namespace {

constexpr std::size_t kRowsPerBatch = 100;

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

MimeClipboard MimeClipboard::ofFiles(const std::vector<std::string>& paths, FileTransfer transfer) {
    const std::vector<std::string> uris = fileUris(paths);
    const std::string copiedFiles = copiedFilesList(uris, transfer);
    MimeClipboard content;
    content.formats = {
        {"text/uri-list", uriList(uris)},
        {"x-special/gnome-copied-files", copiedFiles},
        {"x-special/mate-copied-files", copiedFiles},
        {"application/x-kde-cutselection", transfer == FileTransfer::Cut ? "1" : "0"},
    };
    content.plainText = pathLines(paths);
    return content;
}

MimeClipboard MimeClipboard::ofText(std::string text) {
    MimeClipboard content;
    content.plainText = std::move(text);
    return content;
}

}  // namespace quillfen::platform
