#include <gtest/gtest.h>

#include <string>

#include "platform/linux/KnownLocales.h"
#include "platform/linux/LinuxTextServices.h"
#include "platform/linux/PlatformModules.h"
#include "platform/linux/SharedModule.h"

namespace quillfen {
namespace {

// The table answers the common locales without ICU, so each of its rows must be ICU's answer.
TEST(KnownLocales, EveryRowIsWhatIcuSays) {
    const platform::LocaleRules* icu = platform::PlatformModules::icuLocale();
    ASSERT_NE(icu, nullptr);
    for (const auto& locale : platform::KnownLocales::all()) {
        const std::string name(locale.name);
        EXPECT_EQ(locale.languageId, icu->languageId(name)) << name;
        EXPECT_EQ(locale.englishLanguageName, icu->englishLanguageName(name)) << name;
    }
    EXPECT_FALSE(platform::KnownLocales::find("de_DE.UTF-8"));
    EXPECT_FALSE(platform::KnownLocales::find("zz"));
    EXPECT_EQ(platform::KnownLocales::find("zh_TW")->languageId, 1028);
}

// What the platform does without ICU (ASCII text, any UTF-16) gives exactly ICU's result.
TEST(LinuxTextServices, AnswersWithoutIcuAsIcuDoes) {
    const platform::LinuxTextServices text;
    const platform::TextServices* icu = platform::PlatformModules::icuText();
    ASSERT_NE(icu, nullptr);
    std::string ascii;
    for (int c = 0; c < 0x80; ++c) {
        ascii.push_back(static_cast<char>(c));
    }
    EXPECT_EQ(text.foldCase(ascii), icu->foldCase(ascii));
    EXPECT_EQ(text.toUtf16(ascii), icu->toUtf16(ascii));
    const std::u16string utf16[] = {
        u"",
        u"a\u00e9\u4e2d\U0001F600\uffff\U0010FFFF",
        std::u16string(1, u'\xd800'),                           // high surrogate at the end
        std::u16string{u'\xdc00', u'a'},                        // low surrogate alone
        std::u16string{u'\xd83d', u'\xd83d', u'\xde00'},        // high, then a whole pair
        std::u16string{u'\xde00', u'\xd83d', u'x', u'\xdbff'},  // reversed pair
    };
    for (const std::u16string& units : utf16) {
        EXPECT_EQ(text.fromUtf16(units), icu->fromUtf16(units)) << units.size() << " units";
    }
    EXPECT_EQ(text.foldCase("\xc3\x84Pfel"), "\xc3\xa4pfel");
}

TEST(SharedModule, IsFoundBesideTheProgramOrUnderItsPrefixAndNamedWhenMissing) {
    EXPECT_EQ(platform::SharedModule::folderBeside("/usr/bin/quillfen-cli"), "/usr/bin");
    EXPECT_EQ(platform::SharedModule::folderUnderPrefix("/opt/q/bin/quillfen-cli"),
              "/opt/q/bin/../lib/quillfen/modules");
    EXPECT_EQ(platform::SharedModule::folderBeside("quillfen-cli"), ".");

    platform::SharedModule missing("libquillfen-none.so", "nothing is lost");
    testing::internal::CaptureStderr();
    EXPECT_EQ(missing.symbol("entry"), nullptr);
    EXPECT_EQ(missing.symbol("entry"), nullptr);
    const std::string message = testing::internal::GetCapturedStderr();
    EXPECT_NE(message.find(": cannot load libquillfen-none.so ("), std::string::npos) << message;
    EXPECT_NE(
        message.find("/../lib/quillfen/modules/libquillfen-none.so: cannot open shared object"),
        std::string::npos)
        << message;
    EXPECT_EQ(message.find("cannot load"), message.rfind("cannot load")) << "named once";
    EXPECT_NE(message.find("; nothing is lost\n"), std::string::npos) << message;
}

}  // namespace
}  // namespace quillfen
