#pragma once

#include <string>

namespace quillfen {

// The content part of the search form as the user left it, free of any toolkit. Compiling it
// may tick "Match Ansi", which the form then shows.
struct ContentInputs {
    bool hexMode = false;
    std::string text;
    std::string hexText;
    bool matchCase = false;
    bool matchAnsi = false;
    bool matchUnicode = false;
    bool matchUtf8 = false;
};

}  // namespace quillfen
