#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/ProgramRun.h"
#include "support/TemporaryFolder.h"
#include "update/UpdateSignature.h"

namespace quillfen {
namespace {

const std::string kSignScript = std::string(QUILLFEN_SOURCE_DIR) + "/scripts/sign-file.sh";

// Files signed by the release's script with this build's test key pass the update's check; what
// was not signed by it, or not as it is, does not; the script refuses to sign without a file or
// key.
TEST(UpdateSignature, AcceptsOnlyTheTestKeysSignatureOfTheFileAsItIs) {
    const std::string testKey = QUILLFEN_UPDATE_TEST_KEY;
    if (testKey.empty()) {
        GTEST_SKIP() << "this build trusts a release key, whose private half tests do not have";
    }
    const test::TemporaryFolder folder;
    const std::string archive(70000, 'q');
    folder.writeFile("update.zip", archive);
    folder.writeFile("other.zip", "another archive");
    for (const char* name : {"update.zip", "other.zip"}) {
        const test::ProgramResult signing = test::runProgram(kSignScript, {folder / name, testKey});
        ASSERT_EQ(signing.exitCode, 0) << signing.err;
    }
    const std::string signature = folder.readFile("update.zip.sig");
    const std::string otherSignature = folder.readFile("other.zip.sig");
    ASSERT_EQ(signature.size(), 64U);

    EXPECT_TRUE(hasValidUpdateSignature(archive, signature));
    std::string altered = archive;
    altered[12345] = 'r';
    const struct {
        const char* what;
        std::string file;
        std::string signature;
    } refused[] = {
        {"a changed byte", altered, signature},
        {"the archive cut short", archive.substr(0, archive.size() - 1), signature},
        {"another archive's signature", archive, otherSignature},
        {"a signature cut short", archive, signature.substr(0, 63)},
        {"a signature with a byte more", archive, signature + '\0'},
        {"no signature", archive, ""},
        {"the signature alone", signature, signature},
    };
    for (const auto& c : refused) {
        EXPECT_FALSE(hasValidUpdateSignature(c.file, c.signature)) << c.what;
    }

    for (const auto& [file, key] : {std::pair{folder / "missing.zip", testKey},
                                    std::pair{folder / "update.zip", folder / "missing.pem"}}) {
        std::filesystem::remove(file + ".sig");
        const test::ProgramResult signing = test::runProgram(kSignScript, {file, key});
        EXPECT_NE(signing.exitCode, 0) << file << " " << key;
        EXPECT_NE(signing.err.find("sign-file.sh: no readable"), std::string::npos) << signing.err;
        EXPECT_FALSE(std::filesystem::exists(file + ".sig")) << file;
    }
}

}  // namespace
}  // namespace quillfen
