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
    // The code page of the ANSI form by its Windows number; 0 for the platform's 8-bit code page.
    // Chosen by the settings, not by the form.
    unsigned ansiCodePage = 0;
};

}  // namespace quillfen
