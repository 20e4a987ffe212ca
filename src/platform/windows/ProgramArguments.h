#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillfen::platform {

// The process's arguments in UTF-8 (WTF-8 for names that are not valid UTF-16), as an argument
// vector, whatever the code pages: the runtime's own split passes them through the ANSI code page
// and loses every character it lacks.
class ProgramArguments {
public:
    ProgramArguments();

    int count() const { return static_cast<int>(arguments_.size()); }
    const char* const* vector() const { return pointers_.data(); }

    // Splits a command line as the C runtime does, with one exception that keeps the folder a
    // user quoted: backslashes that end a quoted part, right before its closing quote and a blank
    // or the end of the line, stay as typed. The runtime would read `"C:\"` as C:" and run on into
    // the next argument; a folder path ends with a backslash far more often than an argument
    // carries a quote followed by a blank, and such a quote can still be written `\"` elsewhere
    // or doubled inside quotes.
    static std::vector<std::string> split(std::string_view commandLine);

private:
    std::vector<std::string> arguments_;
    std::vector<const char*> pointers_;
};

}  // namespace quillfen::platform
