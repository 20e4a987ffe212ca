#include "update/IdentifyText.h"

#include <cstddef>

#include "app/TextUtilities.h"

namespace quillfen {

namespace {

constexpr std::size_t kSerialFirstWord = 10;
constexpr std::size_t kSerialWords = 10;
constexpr std::size_t kModelFirstWord = 27;
constexpr std::size_t kModelWords = 20;

std::string fieldCharacters(const platform::DiskIdentity::IdentifyWords& words,
                            std::size_t firstWord, std::size_t wordCount) {
    std::string field;
    for (std::size_t i = firstWord; i < firstWord + wordCount; ++i) {
        field.push_back(static_cast<char>(words[i] >> 8));
        field.push_back(static_cast<char>(words[i] & 0xFF));
    }
    return field.substr(0, field.find('\0'));
}

bool removable(char c, IdentifyVariant variant) {
    return variant == IdentifyVariant::lenient ? c == ' ' : isWhiteSpace(c);
}

std::string identifyField(const platform::DiskIdentity::IdentifyWords& words, std::size_t firstWord,
                          std::size_t wordCount, IdentifyVariant variant) {
    std::string field = fieldCharacters(words, firstWord, wordCount);
    while (field.size() > 1 && removable(field.back(), variant)) {
        field.pop_back();
    }
    return field;
}

}  // namespace

std::string identifyText(const platform::DiskIdentity::IdentifyWords& words,
                         IdentifyVariant variant) {
    const std::string serial = identifyField(words, kSerialFirstWord, kSerialWords, variant);
    const std::string model = identifyField(words, kModelFirstWord, kModelWords, variant);
    if (variant == IdentifyVariant::strict && (serial.empty() || model.empty())) {
        return {};
    }
    return serial + "," + model;
}

}  // namespace quillfen
