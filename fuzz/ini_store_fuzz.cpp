// Every input is an ini file with a section, a key and a value in front of it, as the ini fuzz
// target takes them. Writing the key through the file store must leave the file holding exactly
// what the document itself writes, and the key must read back from the file. A target of its own:
// each input replaces a file, which is far slower than the document's checks.
#include <algorithm>

#include "FuzzSupport.h"
#include "app/IniDocument.h"
#include "app/IniFile.h"
#include "app/TextUtilities.h"

namespace {

// The same names as the ini target's, so that the two share their seeds.
std::string plainName(std::string_view raw) {
    static constexpr std::string_view kAlphabet = "abcdeXYZ0129 ._-%&/";
    std::string name;
    for (const char c : raw) {
        name.push_back(kAlphabet[static_cast<unsigned char>(c) % kAlphabet.size()]);
    }
    return std::string(quillfen::trimWhiteSpace(name));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    quillfen::fuzz::installLinuxPlatform();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quillfen::fuzz::InputFields fields(data, size);
    const std::string section = plainName(fields.text());
    const std::string key = plainName(fields.text());
    const std::string value = plainName(fields.text());
    for (unsigned count = std::min(fields.byte(), 8U); count > 0; --count) {
        fields.text();
    }
    const std::string_view file = fields.rest();
    if (section.empty() || key.empty()) {
        return 0;
    }
    auto& platform = quillfen::platform::currentPlatform();
    quillfen::IniDocument expected(file, platform.text());
    expected.setValue(section, key, value);

    static const quillfen::fuzz::InputFile stored("quillfen-ini-store-fuzz", ".ini");
    stored.write(file);
    FUZZ_CHECK(quillfen::writeIniValue(stored.path(), section, key, value));
    FUZZ_CHECK(quillfen::readIniValue(stored.path(), section, key) == value);
    FUZZ_CHECK(platform.files().readFile(stored.path()) == expected.bytes());
    return 0;
}
