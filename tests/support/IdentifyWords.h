#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/DiskIdentity.h"

// ATA identify data as the disk tests build it: text fields two characters to a word, the first
// in the high byte, as drives report them.
namespace quillfen::test {

inline void putField(platform::DiskIdentity::IdentifyWords& words, std::size_t firstWord,
                     std::size_t wordCount, std::string text) {
    text.resize(wordCount * 2, ' ');
    for (std::size_t i = 0; i < wordCount; ++i) {
        words[firstWord + i] =
            static_cast<std::uint16_t>(static_cast<unsigned char>(text[2 * i]) << 8 |
                                       static_cast<unsigned char>(text[2 * i + 1]));
    }
}

// Blank-padded fields as a drive reports them, with letters around them that must stay out.
inline platform::DiskIdentity::IdentifyWords identify(const std::string& serial,
                                                      const std::string& model) {
    platform::DiskIdentity::IdentifyWords words;
    words.fill(0x5858);
    putField(words, 10, 10, serial);
    putField(words, 27, 20, model);
    return words;
}

}  // namespace quillfen::test
