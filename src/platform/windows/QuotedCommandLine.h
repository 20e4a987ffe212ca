#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillfen::platform {

// A Windows process receives one command line, which its runtime splits into arguments again
// (CommandLineToArgvW and the C runtimes follow the same rules). This is that line for an
// argument vector, built so that the split gives back every argument whole, or the reason why no
// such line exists.
//
// A batch file (.bat, .cmd) is run by cmd.exe, which reads the line by rules of its own: it
// expands %…% and !…! even inside quotes and ends a quoted part at any double quote. Arguments
// holding those characters, or line breaks and other control characters, cannot reach a batch
// file unchanged, so they are refused rather than escaped; every other argument that holds more
// than letters, digits and path characters is quoted, which keeps & | < > ^ ( ) , ; = literal.
struct QuotedCommandLine {
    // UTF-8; empty when refused.
    std::string text;
    // Why the arguments cannot be passed; empty when they can.
    std::string refusal;

    bool refused() const { return !refusal.empty(); }
};

QuotedCommandLine quoteCommandLine(const std::vector<std::string>& arguments);

// One argument after the program, quoted where CommandLineToArgvW would otherwise split or alter
// it: blanks, tabs, line breaks and double quotes need quotes, and backslashes are doubled where
// they come before a double quote.
std::string quoteArgument(std::string_view argument);

// Whether Windows runs the program through cmd.exe. The system ignores trailing dots and blanks
// in file names, so "x.bat." and "x.cmd " are batch files too.
bool isBatchProgram(std::string_view program);

}  // namespace quillfen::platform
