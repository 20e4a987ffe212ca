// Every input is an ini file (8-bit, UTF-8 with a mark, UTF-16LE with or without a mark) with, in
// front of it, a section, a key, a value and a few language-table keys. The document must write
// itself back byte for byte while unchanged; a key that is set reads back, before and after the
// written bytes are read again; and filling in the language table's missing keys the way a
// language file is completed leaves every key readable with a value.
#include <algorithm>
#include <vector>

#include "FuzzSupport.h"
#include "app/IniDocument.h"
#include "app/TextUtilities.h"

namespace {

constexpr std::string_view kTranslateSection = "Translate";
constexpr std::size_t kMaxFilledKeys = 8;

// Section, key and value names from the bytes of the input, in characters that every form of the
// file holds and that have no meaning in its lines, so that any write of them must be accepted.
std::string plainName(std::string_view raw) {
    static constexpr std::string_view kAlphabet = "abcdeXYZ0129 ._-%&/";
    std::string name;
    for (const char c : raw) {
        name.push_back(kAlphabet[static_cast<unsigned char>(c) % kAlphabet.size()]);
    }
    return std::string(quillfen::trimWhiteSpace(name));
}

quillfen::IniDocument reread(const quillfen::IniDocument& document) {
    return quillfen::IniDocument(document.bytes(), quillfen::platform::currentPlatform().text());
}

void checkSetValueReadsBack(std::string_view file, const std::string& section,
                            const std::string& key, const std::string& value) {
    if (section.empty() || key.empty()) {
        return;
    }
    quillfen::IniDocument document(file, quillfen::platform::currentPlatform().text());
    document.setValue(section, key, value);
    FUZZ_CHECK(document.value(section, key) == value);
    FUZZ_CHECK(reread(document).value(section, key) == value);
}

void checkLanguageFillIn(std::string_view file, const std::vector<std::string>& keys) {
    quillfen::IniDocument document(file, quillfen::platform::currentPlatform().text());
    for (const std::string& key : keys) {
        const auto value = document.value(kTranslateSection, key);
        if (!value || quillfen::trimWhiteSpaceEnd(*value).empty()) {
            document.setValue(kTranslateSection, key, key);
        }
    }
    const quillfen::IniDocument again = reread(document);
    for (const std::string& key : keys) {
        const auto value = document.value(kTranslateSection, key);
        FUZZ_CHECK(value && !quillfen::trimWhiteSpaceEnd(*value).empty());
        FUZZ_CHECK(again.value(kTranslateSection, key) == value);
    }
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
    std::vector<std::string> keys(std::min<std::size_t>(fields.byte(), kMaxFilledKeys));
    for (std::string& filled : keys) {
        filled = plainName(fields.text());
    }
    std::erase(keys, std::string());
    const std::string_view file = fields.rest();

    const quillfen::IniDocument unchanged(file, quillfen::platform::currentPlatform().text());
    FUZZ_CHECK(unchanged.bytes() == file);
    checkSetValueReadsBack(file, section, key, value);
    checkLanguageFillIn(file, keys);
    return 0;
}
