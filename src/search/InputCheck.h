#pragma once

#include <optional>
#include <string>

#include "search/SearchInputs.h"

namespace quillfen {

// The control at fault, which gets the keyboard focus after the message.
enum class InputField { NamePatterns, LookIn, HexText, ReferenceFile };

// A problem the user must fix before a search starts. The message is the English text; the
// window translates it when it shows it.
struct InputProblem {
    std::string message;
    InputField field;

    bool operator==(const InputProblem&) const = default;
};

// The checks made when Find is pressed, in their order. They may change inputs on screen: a
// drive designator gets its separator, and a hexadecimal text is written back normalised.
std::optional<InputProblem> checkInputs(SearchInputs& inputs);

// True when anything, file or folder, exists at the path (one trailing separator ignored).
bool folderExists(const std::string& path);

// Accepts a look-in text shared by both search windows: an existing path, "*" for every volume,
// or a drive designator. Completes "C:" to "C:\" where the platform has drives, and respells a
// path that names nothing as typed but names a folder as the system reads typed paths.
bool acceptLookIn(std::string& lookIn);

}  // namespace quillfen
