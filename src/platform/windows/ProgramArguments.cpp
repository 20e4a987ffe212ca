#include "platform/windows/ProgramArguments.h"

#include <windows.h>

#include "platform/windows/WideText.h"

namespace quillfen::platform {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The program's own name: up to the next quote when quoted, else up to a blank; no escapes.
std::string programName(std::string_view line, std::size_t& at) {
    std::string name;
    if (at < line.size() && line[at] == '"') {
        const std::size_t closing = line.find('"', at + 1);
        const std::size_t end = closing == std::string_view::npos ? line.size() : closing;
        name = line.substr(at + 1, end - at - 1);
        at = closing == std::string_view::npos ? line.size() : closing + 1;
    } else {
        while (at < line.size() && !isBlank(line[at])) {
            name += line[at++];
        }
    }
    return name;
}

}  // namespace

ProgramArguments::ProgramArguments() {
    arguments_ = split(fromWide(GetCommandLineW()));
    for (const std::string& argument : arguments_) {
        pointers_.push_back(argument.c_str());
    }
    pointers_.push_back(nullptr);
}

std::vector<std::string> ProgramArguments::split(std::string_view line) {
    std::vector<std::string> arguments;
    std::size_t at = 0;
    arguments.push_back(programName(line, at));
    for (;;) {
        while (at < line.size() && isBlank(line[at])) {
            ++at;
        }
        if (at == line.size()) {
            return arguments;
        }
        std::string argument;
        bool quoted = false;
        while (at < line.size() && (quoted || !isBlank(line[at]))) {
            std::size_t backslashes = 0;
            while (at < line.size() && line[at] == '\\') {
                ++backslashes;
                ++at;
            }
            if (at == line.size() || line[at] != '"') {
                argument.append(backslashes, '\\');
                if (backslashes == 0) {
                    argument += line[at++];
                }
                continue;
            }
            const bool endsQuotedPart = quoted && (at + 1 == line.size() || isBlank(line[at + 1]));
            if (endsQuotedPart && backslashes % 2 == 1) {
                argument.append(backslashes, '\\');
                quoted = false;
                ++at;
                continue;
            }
            argument.append(backslashes / 2, '\\');
            if (backslashes % 2 == 1) {
                argument += '"';
            } else if (quoted && at + 1 < line.size() && line[at + 1] == '"') {
                argument += '"';
                ++at;
            } else {
                quoted = !quoted;
            }
            ++at;
        }
        arguments.push_back(std::move(argument));
    }
}

}  // namespace quillfen::platform
