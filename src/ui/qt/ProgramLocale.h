#pragma once

namespace quillfen::qt {

// The locale Qt speaks in for the program: the language the program's texts are in, rather than
// the desktop's. The file-type database takes its type names in it, so the "Type" column agrees
// with the rest of the window.
class ProgramLocale {
public:
    // Call before any search starts: type names are then read on the search threads.
    static void apply();
};

}  // namespace quillfen::qt
