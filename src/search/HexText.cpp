#include "search/HexText.h"

#include <algorithm>

#include "app/TextUtilities.h"

namespace quillfen {

namespace {

// What remains between the '*' characters once blanks are gone, upper-cased, empty pieces left
// out.
std::vector<std::string> digitPieces(std::string_view text) {
    std::string compact;
    compact.reserve(text.size());
    std::copy_if(text.begin(), text.end(), std::back_inserter(compact),
                 [](char c) { return c != ' '; });
    std::vector<std::string> pieces = splitText(upperAscii(compact), "*");
    std::erase_if(pieces, [](const std::string& piece) { return piece.empty(); });
    return pieces;
}

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

int digitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return 0;
}

bool isWellFormed(const std::string& piece) {
    return piece.size() % 2 == 0 && std::all_of(piece.begin(), piece.end(), isHexDigit);
}

}  // namespace

std::optional<std::string> checkHex(std::string_view text) {
    const std::vector<std::string> pieces = digitPieces(text);
    if (!std::all_of(pieces.begin(), pieces.end(), isWellFormed)) {
        return std::nullopt;
    }
    std::string normal;
    for (const std::string& piece : pieces) {
        for (std::size_t index = 0; index < piece.size(); index += 2) {
            normal.append(piece, index, 2);
            normal.push_back(' ');
        }
        normal.append("* ");
    }
    // Every piece left a blank, '*' and a blank behind it; the last three are not separators.
    normal.resize(normal.size() >= 3 ? normal.size() - 3 : 0);
    return normal;
}

std::vector<std::string> hexPieces(std::string_view text) {
    std::vector<std::string> bytePieces;
    for (const std::string& piece : digitPieces(text)) {
        std::string bytes;
        for (std::size_t index = 0; index + 1 < piece.size(); index += 2) {
            bytes.push_back(
                static_cast<char>(16 * digitValue(piece[index]) + digitValue(piece[index + 1])));
        }
        if (!bytes.empty()) {
            bytePieces.push_back(std::move(bytes));
        }
    }
    return bytePieces;
}

}  // namespace quillfen
