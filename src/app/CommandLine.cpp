#include "app/CommandLine.h"

#include "app/TextUtilities.h"

namespace quillfen {

std::string stripProgramPath(std::string_view commandLine, std::string_view programPath) {
    std::string_view rest;
    if (!commandLine.empty() && commandLine.front() == '"') {
        const auto closing = commandLine.find('"', 1);
        rest = closing == std::string_view::npos ? commandLine : commandLine.substr(closing + 1);
    } else {
        rest = commandLine.substr(std::min(programPath.size(), commandLine.size()));
    }
    return std::string(trimWhiteSpace(rest));
}

std::string commandArgument(std::string_view commandLine, std::string_view programPath) {
    const std::string rest = stripProgramPath(commandLine, programPath);
    const auto open = rest.find('"');
    if (open != std::string::npos) {
        const auto close = rest.find('"', open + 1);
        if (close != std::string::npos) {
            return rest.substr(open + 1, close - open - 1);
        }
    }
    return rest;
}

std::vector<std::string> splitCommandWords(std::string_view command) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (const char c : command) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord) {
                words.push_back(std::move(word));
                word.clear();
                inWord = false;
            }
        } else {
            word.push_back(c);
            inWord = true;
        }
    }
    if (inWord) {
        words.push_back(std::move(word));
    }
    return words;
}

CommandLine::CommandLine(std::string programPath, std::vector<std::string> arguments)
    : programPath_(std::move(programPath)), arguments_(std::move(arguments)) {
    text_ = "\"" + programPath_ + "\"";
    for (const std::string& argument : arguments_) {
        text_ += " " + argument;
    }
}

std::string CommandLine::remainder() const {
    return stripProgramPath(text_, programPath_);
}

std::string CommandLine::argument() const {
    if (arguments_.size() == 1) {
        return arguments_.front();
    }
    return commandArgument(text_, programPath_);
}

}  // namespace quillfen
