#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "update/UpdateSignature.h"

namespace quillfen {
namespace {

std::string sampleBytes(const std::string& name) {
    std::ifstream in(std::string(QUILLFEN_SIGNED_SAMPLES) + "/" + name, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

// Archives signed at build time by the release's script with this build's test key pass the
// update's check as they are; changed, cut short, or with another archive's signature they fail.
TEST(UpdateSignature, AcceptsOnlyTheTestKeysSignatureOfTheFileAsItIs) {
    if (std::string(QUILLFEN_SIGNED_SAMPLES).empty()) {
        GTEST_SKIP() << "this build trusts a release key, whose private half tests do not have";
    }
    const std::string archive = sampleBytes("update.zip");
    const std::string signature = sampleBytes("update.zip.sig");
    const std::string otherSignature = sampleBytes("other.zip.sig");
    ASSERT_GT(archive.size(), 60000U);
    ASSERT_EQ(signature.size(), 64U);
    EXPECT_TRUE(hasValidUpdateSignature(archive, signature));
    EXPECT_TRUE(hasValidUpdateSignature(sampleBytes("other.zip"), otherSignature));

    std::string altered = archive;
    altered[12345] ^= 1;
    const struct {
        const char* what;
        std::string file;
        std::string signature;
    } refused[] = {
        {"a changed bit", altered, signature},
        {"the archive cut short", archive.substr(0, archive.size() - 1), signature},
        {"a byte appended", archive + '\0', signature},
        {"another archive's signature", archive, otherSignature},
        {"a signature cut short", archive, signature.substr(0, 63)},
        {"a signature with a byte more", archive, signature + '\0'},
        {"no signature", archive, ""},
        {"the signature alone", signature, signature},
    };
    for (const auto& c : refused) {
        EXPECT_FALSE(hasValidUpdateSignature(c.file, c.signature)) << c.what;
    }
}

}  // namespace
}  // namespace quillfen
