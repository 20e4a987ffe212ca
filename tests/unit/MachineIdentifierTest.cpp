#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/DiskIdentity.h"
#include "support/IdentifyWords.h"
#include "update/DescriptorText.h"
#include "update/IdentifyText.h"
#include "update/MachineIdentifier.h"

namespace quillfen {
namespace {

using platform::DiskIdentity;
using Words = DiskIdentity::IdentifyWords;
using Texts = DiskIdentity::Texts;
using TextForm = DiskIdentity::TextForm;

using test::identify;
using test::putField;

const std::string kNul(1, '\0');

TEST(IdentifyText, TrimsFieldsByVariant) {
    const struct {
        std::string serial, model;
        IdentifyVariant variant;
        std::string expected;
    } cases[] = {
        {"  S1  ", " M ", IdentifyVariant::lenient, "  S1, M"},
        {"S1\t", "M\r", IdentifyVariant::lenient, "S1\t,M\r"},
        {"S1\t", "M\r", IdentifyVariant::strict, "S1,M"},
        {kNul, "M", IdentifyVariant::lenient, ",M"},
        {kNul, kNul, IdentifyVariant::lenient, ","},
        {kNul, "M", IdentifyVariant::strict, ""},
        {"S", kNul, IdentifyVariant::strict, ""},
        {"", "M", IdentifyVariant::lenient, " ,M"},
        {"\t", "M", IdentifyVariant::strict, "\t,M"},
        {"ABCDEFGHIJKLMNOPQRST", std::string(40, 'm'), IdentifyVariant::strict,
         "ABCDEFGHIJKLMNOPQRST," + std::string(40, 'm')},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(identifyText(identify(c.serial, c.model), c.variant), c.expected)
            << "'" << c.serial << "' '" << c.model << "'";
    }
}

TEST(IdentifyText, ReadsTheHighByteFirst) {
    Words words{};
    words[10] = 0x5331;
    words[27] = 0x4D32;
    EXPECT_EQ(identifyText(words, IdentifyVariant::strict), "S1,M2");
}

TEST(DiskDescriptorText, DecodesHexOrKeepsPrintableText) {
    const std::string kZeroInside("41\0B", 4);
    const struct {
        std::string stored;
        bool swap;
        std::string expected;
    } cases[] = {
        {"41424344", false, "ABCD"},
        {"41424344", true, "BADC"},
        {"2 41", false, "A"},
        {"41004243", false, "A"},
        {"4100zz", false, "4100zz"},
        {kZeroInside, false, "A"},
        {"0141", false, "0141"},
        {"4a4B", false, "JK"},
        {"e9", false, "e9"},
        {"414", false, "414"},
        {"ABC", true, "BAC"},
        {"AB\x01", false, ""},
        {"", true, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(decodeDescriptorText(c.stored, c.swap), c.expected) << "'" << c.stored << "'";
    }
}

class FakeDisks final : public DiskIdentity {
public:
    FakeDisks(std::vector<std::optional<Words>> identify, std::vector<Texts> texts,
              std::string installation = "")
        : identify_(std::move(identify)),
          texts_(std::move(texts)),
          installation_(std::move(installation)) {}
    std::vector<std::optional<Words>> identifyData() const override { return identify_; }
    std::vector<Texts> diskTexts() const override { return texts_; }
    std::string installationIdentifier() const override { return installation_; }

private:
    std::vector<std::optional<Words>> identify_;
    std::vector<Texts> texts_;
    std::string installation_;
};

TEST(MachineIdentifier, FollowsTheFamiliesInOrder) {
    const std::optional<Words> none;
    const struct {
        const char* what;
        std::vector<std::optional<Words>> identify;
        std::vector<Texts> texts;
        std::string expected;
        std::string installation = "";
    } cases[] = {
        {"padded serial", {identify("   S123   ", " Model X")}, {}, "S123, Model X"},
        {"last answering disk wins",
         {identify("FIRST", "A"), none, identify("SECOND", "B"), none},
         {},
         "SECOND,B"},
        {"quotes and breaks go before trimming",
         {identify("\"\t ZX'9\"", "Line\r\nTwo")},
         {},
         "ZX9,LineTwo"},
        {"empty fields still answer", {identify(kNul, kNul)}, {{"S", "M"}}, ","},
        {"fifth disk reached strictly",
         {none, none, none, none, identify(kNul, "M5"), identify("S6\t\r", "M6\v")},
         {},
         "S6,M6"},
        {"fifth disk not asked leniently",
         {none, none, none, none, identify(kNul, "M5")},
         {{"S", "M"}},
         "S,M"},
        {"plain texts are not decoded",
         {none},
         {{"  41424344 \n", " Disk 1\n"}},
         "41424344,Disk 1"},
        {"first plain disk with both texts",
         {},
         {{"S1", ""}, {"  ", "M"}, {"S'3\"", "M\t3"}, {"S4", "M4"}},
         "S3,M3"},
        {"hex descriptor serial keeps its stored order",
         {},
         {{"42414443", "Model", TextForm::storageDescriptor}},
         "BADC,Model"},
        {"odd blank trimmed between the swaps",
         {},
         {{"412042434445", "Model", TextForm::storageDescriptor}},
         "CAEBD,Model"},
        {"unprintable descriptor skipped",
         {},
         {{"S\x01", "M", TextForm::storageDescriptor}, {"S2", "M2", TextForm::storageDescriptor}},
         "S2,M2"},
        {"nothing answers", {none, none}, {}, ""},
        {"installation stands in for silent disks",
         {none},
         {{"", "QEMU HARDDISK"}},
         "4c4c4544b7a4",
         " 4c4c4544b7a4\n"},
        {"disks come before the installation", {identify("S", "M")}, {}, "S,M", "4c4c"},
        {"empty disk fields come before the installation", {identify(kNul, kNul)}, {}, ",", "4c4c"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(machineIdentifier(FakeDisks(c.identify, c.texts, c.installation)), c.expected)
            << c.what;
    }
}

}  // namespace
}  // namespace quillfen
