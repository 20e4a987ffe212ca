#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen {

namespace platform {
class TextServices;
}

// How a case-insensitive content search folds bytes: every single-byte capital of a code page
// becomes its single-byte small letter, and the second byte of a two-byte character is never
// taken for a letter, however it looks. Pieces and file bytes are folded by the same rule, so a
// file that holds the text exactly as typed is always found.
class CodePageFolding {
public:
    // ASCII A-Z only, byte by byte: the rule for forms whose bytes are not single-byte
    // characters of one code page (UTF-16LE and UTF-8).
    CodePageFolding();
    // The capitals of the code page as the platform's case rules lower them.
    CodePageFolding(const platform::TextServices& text, unsigned codePage);

    // Whether the rule is the ASCII one.
    bool foldsAsciiOnly() const;
    // Whether folding by the ASCII rule finds the pieces in the same places: the pieces are
    // ASCII, no character of two bytes exists, and no byte beyond ASCII folds into ASCII.
    bool agreesWithAsciiOn(const std::vector<std::string>& pieces) const;
    // Whether the bytes hold a letter beyond ASCII that the rule folds or folds into.
    bool hasLetterBeyondAscii(std::string_view bytes) const;

    std::string folded(std::string_view bytes) const;
    // Folds bytes in place that continue those of the previous call on the same stream;
    // afterLeadByte carries whether that call ended inside a two-byte character.
    void fold(char* bytes, std::size_t count, bool& afterLeadByte) const;
    // The same from one buffer into another of at least count bytes.
    void foldInto(const char* from, char* to, std::size_t count, bool& afterLeadByte) const;

private:
    // Bytes from `low` to `low + span` that fold by adding `delta` (modulo 256).
    struct Shift {
        unsigned char low = 0;
        unsigned char span = 0;
        unsigned char delta = 0;
    };
    // Code pages of one byte a character fold their capitals in a few such ranges, which a vector
    // fold can apply to sixteen bytes at once.
    static constexpr std::size_t kMaxShifts = 16;

    std::array<unsigned char, 256> lower_{};
    std::array<bool, 256> leadByte_{};
    std::array<bool, 256> letterBeyondAscii_{};
    bool hasLeadBytes_ = false;
    // ASCII bytes are single characters folded by the ASCII rule, so runs of them can take the
    // vectorised fold.
    bool asciiByAsciiRule_ = true;
    std::array<Shift, kMaxShifts> shifts_{};
    std::size_t shiftCount_ = 0;
    bool byShifts_ = false;

    void findShifts();
    void foldByShifts(const char* from, char* to, std::size_t count) const;

    bool foldsIntoAscii() const;
    void foldByByte(char* bytes, std::size_t count, bool& afterLeadByte) const;
};

}  // namespace quillfen
