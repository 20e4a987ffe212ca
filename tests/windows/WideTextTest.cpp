#include "platform/windows/WideText.h"

#include <gtest/gtest.h>

namespace quillfen::platform {
namespace {

struct Conversion {
    const char* what;
    std::string narrow;
    std::wstring wide;
};

// Text that both forms can carry converts both ways unchanged.
TEST(WideText, ValidTextRoundTrips) {
    const std::vector<Conversion> cases{
        {"empty", "", L""},
        {"ASCII", "abc.TXT", L"abc.TXT"},
        {"two bytes",
         "gr\xC3\xBC\xC3\x9F"
         "e",
         L"gr\u00FC\u00DFe"},
        {"three bytes", "\xE4\xB8\xAD", L"\u4E2D"},
        {"beyond the plane", "\xF0\x9F\x98\x80", std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}},
        {"highest", "\xF4\x8F\xBF\xBF", std::wstring{wchar_t(0xDBFF), wchar_t(0xDFFF)}},
        {"lone high surrogate", "a\xED\xA0\x80z", std::wstring{L'a', wchar_t(0xD800), L'z'}},
        {"lone low surrogate at the end", "\xED\xBF\xBF", std::wstring{wchar_t(0xDFFF)}},
        {"low before high", "\xED\xB0\x80\xED\xA0\x80",
         std::wstring{wchar_t(0xDC00), wchar_t(0xD800)}},
        {"embedded zero", std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
    };
    for (const Conversion& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(toWide(c.narrow), c.wide);
        EXPECT_EQ(fromWide(c.wide), c.narrow);
    }
}

// Bytes that are no UTF-8 become one U+FFFD each, and the text after them is kept.
TEST(WideText, InvalidBytesBecomeReplacementCharacters) {
    const std::vector<Conversion> cases{
        {"stray continuation", "a\x80z", L"a\uFFFDz"},
        {"overlong slash", "\xC0\xAF", L"\uFFFD\uFFFD"},
        {"overlong three bytes", "\xE0\x80\xAF", L"\uFFFD\uFFFD\uFFFD"},
        {"cut short at the end", "ab\xE4\xB8", L"ab\uFFFD\uFFFD"},
        {"cut short by ASCII", "\xE4\xB8z", L"\uFFFD\uFFFDz"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"latin-1 byte", "caf\xE9", L"caf\uFFFD"},
        {"FF", "\xFF", L"\uFFFD"},
    };
    for (const Conversion& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(toWide(c.narrow), c.wide);
    }
}

// A surrogate pair written as two WTF-8 halves is one character in UTF-16, written back as the
// four bytes of proper UTF-8.
TEST(WideText, EncodedPairJoinsIntoOneCharacter) {
    const std::wstring wide = toWide("\xED\xA0\xBD\xED\xB8\x80");
    EXPECT_EQ(wide, (std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}));
    EXPECT_EQ(fromWide(wide), "\xF0\x9F\x98\x80");
}

}  // namespace
}  // namespace quillfen::platform
