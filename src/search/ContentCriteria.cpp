#include "search/ContentCriteria.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "app/TextUtilities.h"
#include "platform/Platform.h"
#include "search/ChunkSearch.h"
#include "search/ContentEncoding.h"
#include "search/HexText.h"
#include "search/NamePattern.h"

namespace quillfen {

namespace {

bool hasAsciiLetter(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); });
}

std::vector<std::string> nonEmptyPieces(std::string_view text) {
    std::vector<std::string> pieces = splitText(text, "*");
    std::erase_if(pieces, [](const std::string& piece) { return piece.empty(); });
    return pieces;
}

const platform::TextServices& textServices() {
    return platform::currentPlatform().text();
}

std::u16string toUtf16(std::string_view text) {
    return textServices().toUtf16(text);
}

unsigned ansiCodePageOf(const ContentInputs& inputs) {
    return inputs.ansiCodePage != 0 ? inputs.ansiCodePage : textServices().ansiCodePage();
}

// Every piece in the code page, or nothing when one of them cannot be written in it: the pieces
// must all occur, so a file cannot hold the text in that form.
std::optional<std::vector<std::string>> ansiPieces(const std::vector<std::string>& pieces,
                                                   unsigned codePage) {
    std::vector<std::string> encoded;
    for (const std::string& piece : pieces) {
        std::optional<std::string> bytes = textServices().toCodePage(piece, codePage);
        if (!bytes || bytes->empty()) {
            return std::nullopt;
        }
        encoded.push_back(std::move(*bytes));
    }
    return encoded;
}

// Converts every piece; a piece the conversion loses entirely is left out rather than becoming
// an empty piece, which would match anywhere.
template <typename Convert>
std::vector<std::string> convertedPieces(const std::vector<std::string>& pieces, Convert convert) {
    std::vector<std::string> converted;
    for (const std::string& piece : pieces) {
        std::string bytes = convert(toUtf16(piece));
        if (!bytes.empty()) {
            converted.push_back(std::move(bytes));
        }
    }
    return converted;
}

// Searching UTF-8 separately is wasted when the 8-bit pieces already are the UTF-8 bytes, as they
// always are where the 8-bit code page is UTF-8 and, elsewhere, for plain ASCII.
bool utf8EqualsAnsi(const std::string& typed, unsigned codePage) {
    return utf8FromUtf16(toUtf16(typed)) == textServices().toCodePage(typed, codePage);
}

ContentCriteria compileHex(const ContentInputs& inputs) {
    ContentCriteria criteria;
    criteria.ansiPieces = hexPieces(inputs.hexText);
    criteria.ansiOn = !criteria.ansiPieces.empty();
    return criteria;
}

void chooseEncodings(ContentInputs& inputs, ContentCriteria& criteria) {
    criteria.ansiOn = inputs.matchAnsi;
    criteria.unicodeOn = inputs.matchUnicode;
    criteria.utf8On = inputs.matchUtf8;
    if (!criteria.active()) {
        inputs.matchAnsi = true;
        criteria.ansiOn = true;
    }
    if (criteria.utf8On && criteria.ansiOn && utf8EqualsAnsi(inputs.text, ansiCodePageOf(inputs))) {
        criteria.utf8On = false;
    }
}

// The file's bytes can only be folded byte by byte, whatever their encoding, so each piece is
// folded by the same rule after it has been encoded: a file that holds the text exactly as typed
// then always holds the folded piece once it is folded too.
void foldPieces(std::vector<std::string>& pieces, const CodePageFolding& folding) {
    for (std::string& piece : pieces) {
        piece = folding.folded(piece);
    }
}

bool ansiHasLetterBeyondAscii(const ContentCriteria& criteria) {
    return std::any_of(criteria.ansiPieces.begin(), criteria.ansiPieces.end(),
                       [&criteria](const std::string& piece) {
                           return criteria.ansiFolding.hasLetterBeyondAscii(piece);
                       });
}

// Folding changes nothing for a text without letters; beyond ASCII only the ANSI form's code
// page folds letters, byte by byte.
void chooseFolding(const ContentInputs& inputs, ContentCriteria& criteria) {
    if (criteria.ansiOn) {
        criteria.ansiFolding = CodePageFolding(textServices(), ansiCodePageOf(inputs));
    }
    criteria.matchCase =
        inputs.matchCase || (!hasAsciiLetter(inputs.text) && !ansiHasLetterBeyondAscii(criteria));
    if (criteria.matchCase || criteria.ansiFolding.agreesWithAsciiOn(criteria.ansiPieces)) {
        criteria.ansiFolding = CodePageFolding();
    }
    if (!criteria.matchCase) {
        foldPieces(criteria.ansiPieces, criteria.ansiFolding);
        foldPieces(criteria.unicodePieces, CodePageFolding());
        foldPieces(criteria.utf8Pieces, CodePageFolding());
    }
}

ContentCriteria compileText(ContentInputs& inputs) {
    ContentCriteria criteria;
    std::vector<std::string> pieces = nonEmptyPieces(inputs.text);
    if (pieces.empty()) {
        return criteria;
    }
    chooseEncodings(inputs, criteria);
    if (criteria.unicodeOn) {
        criteria.unicodePieces = convertedPieces(pieces, utf16LittleEndianBytes);
        criteria.unicodeOn = !criteria.unicodePieces.empty();
    }
    if (criteria.utf8On) {
        criteria.utf8Pieces = convertedPieces(pieces, utf8FromUtf16);
        criteria.utf8On = !criteria.utf8Pieces.empty();
    }
    if (criteria.ansiOn) {
        std::optional<std::vector<std::string>> encoded =
            ansiPieces(pieces, ansiCodePageOf(inputs));
        criteria.ansiOn = encoded.has_value();
        criteria.ansiPieces = std::move(encoded).value_or(std::vector<std::string>());
    }
    criteria.unmatchable = !criteria.active();
    chooseFolding(inputs, criteria);
    return criteria;
}

}  // namespace

ContentCriteria compileContent(ContentInputs& inputs) {
    return inputs.hexMode ? compileHex(inputs) : compileText(inputs);
}

std::vector<const std::vector<std::string>*> ContentCriteria::enabledPieceLists() const {
    std::vector<const std::vector<std::string>*> lists;
    if (ansiOn) {
        lists.push_back(&ansiPieces);
    }
    if (unicodeOn) {
        lists.push_back(&unicodePieces);
    }
    if (utf8On) {
        lists.push_back(&utf8Pieces);
    }
    return lists;
}

}  // namespace quillfen
