#include <gtest/gtest.h>

#include <string>

#include "platform/windows/WideText.h"

namespace quillfen {
namespace {

using platform::fromWide;
using platform::toWide;

TEST(WideText, RoundTripsEveryUtf16NameLoneSurrogatesIncluded) {
    const std::wstring names[] = {
        L"",
        L"plain.txt",
        L"Gr\u00fc\u00dfe \u65e5\u672c",
        L"\U0001F600 face",
        std::wstring{L'a', static_cast<wchar_t>(0xD800), L'b'},
        std::wstring{static_cast<wchar_t>(0xDC00)},
        std::wstring{static_cast<wchar_t>(0xDBFF)},
        std::wstring{static_cast<wchar_t>(0xDC01), static_cast<wchar_t>(0xD801)},
    };
    for (const std::wstring& name : names) {
        EXPECT_EQ(toWide(fromWide(name)), name);
    }
}

TEST(WideText, WritesUtf8AndCarriesLoneSurrogatesAsWtf8) {
    const struct {
        std::wstring wide;
        std::string utf8;
    } cases[] = {
        {L"\u00fc", "\xc3\xbc"},
        {L"\u65e5", "\xe6\x97\xa5"},
        {L"\U0001F600", "\xf0\x9f\x98\x80"},
        {std::wstring{static_cast<wchar_t>(0xD83D)}, "\xed\xa0\xbd"},
        {std::wstring{static_cast<wchar_t>(0xDE00), L'x'}, "\xed\xb8\x80x"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fromWide(c.wide), c.utf8);
        EXPECT_EQ(toWide(c.utf8), c.wide);
    }
}

TEST(WideText, ReadsPairedSurrogatesWrittenSeparatelyAsOneCharacter) {
    EXPECT_EQ(toWide("\xed\xa0\xbd\xed\xb8\x80"), L"\U0001F600");
}

TEST(WideText, ReplacesEachByteThatIsNoText) {
    const struct {
        std::string bytes;
        std::wstring wide;
    } cases[] = {
        {"a\xff"
         "b",
         L"a\uFFFDb"},
        {"\xc3", L"\uFFFD"},
        {"\xc0\xaf", L"\uFFFD\uFFFD"},
        {"\xe0\x80\xaf", L"\uFFFD\uFFFD\uFFFD"},
        {"\xf4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"\xe6\x97", L"\uFFFD\uFFFD"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toWide(c.bytes), c.wide);
    }
}

}  // namespace
}  // namespace quillfen
