#pragma once

#include <string>

#include "platform/DiskIdentity.h"

namespace quillfen {

// How much of a field's end identifyText removes. Both variants keep a field's first character.
enum class IdentifyVariant {
    // Trailing blanks only; the text is built even from empty fields, so two give "," alone.
    lenient,
    // All trailing white space; the text is empty unless both fields have characters.
    strict,
};

// The serial number (words 10 to 19), "," and the model number (words 27 to 46) of ATA identify
// data. Each word holds two characters, the first in its high byte; a zero character ends its
// field.
std::string identifyText(const platform::DiskIdentity::IdentifyWords& words,
                         IdentifyVariant variant);

}  // namespace quillfen
