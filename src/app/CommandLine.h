#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillfen {

// The text behind the program path of a command line, trimmed: behind the second double quote when
// the line starts with one, else behind as many characters as the program's own path has.
std::string stripProgramPath(std::string_view commandLine, std::string_view programPath);
// The file or folder argument: the text between the first two double quotes of the remainder, or
// the whole remainder when it holds fewer than two.
std::string commandArgument(std::string_view commandLine, std::string_view programPath);

// Splits a command text such as the "Editor" setting into words: blanks separate words, double
// quotes group blanks into a word and are themselves removed. No other character is special, so
// backslashes and single quotes pass through as typed.
std::vector<std::string> splitCommandWords(std::string_view command);

// The command line of this process as one text: the quoted program path, then each argument
// behind one blank. A process started with exactly one argument takes that argument as it came,
// since the system has already split the line and a path must survive byte for byte.
class CommandLine {
public:
    CommandLine(std::string programPath, std::vector<std::string> arguments);

    // The whole line, as the helpers above read it.
    const std::string& text() const { return text_; }
    std::string remainder() const;
    std::string argument() const;

private:
    std::string programPath_;
    std::vector<std::string> arguments_;
    std::string text_;
};

}  // namespace quillfen
