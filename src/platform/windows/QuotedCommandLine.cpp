#include "platform/windows/QuotedCommandLine.h"

#include <algorithm>
#include <cctype>

namespace quillfen::platform {

namespace {

bool needsQuotes(std::string_view argument) {
    return argument.empty() || argument.find_first_of(" \t\n\v\"") != std::string_view::npos;
}

bool isControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

// What cmd.exe would expand, split at or end a quoted part at, whatever the quoting.
std::string_view batchUnsafeCharacter(std::string_view argument) {
    for (std::size_t i = 0; i < argument.size(); ++i) {
        const char c = argument[i];
        if (c == '"' || c == '%' || c == '!' || (isControl(c) && c != '\t')) {
            return argument.substr(i, 1);
        }
    }
    return {};
}

bool isPlainForBatch(std::string_view argument) {
    return !argument.empty() && std::all_of(argument.begin(), argument.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x80 && (std::isalnum(byte) != 0 || c == '\\' || c == '/' || c == ':' ||
                               c == '.' || c == '_' || c == '-' || c == '+');
    });
}

std::string characterName(std::string_view character) {
    const auto byte = static_cast<unsigned char>(character.front());
    if (isControl(character.front())) {
        static const char digits[] = "0123456789ABCDEF";
        return std::string("the control character 0x") + digits[byte >> 4] + digits[byte & 0xF];
    }
    return "the character " + std::string(character);
}

QuotedCommandLine refusal(std::string reason) {
    return {{}, std::move(reason)};
}

// The first word is read up to the next double quote, without any backslash rules, so the
// program is always quoted and may not hold a double quote itself.
std::string quotedProgram(std::string_view program) {
    return "\"" + std::string(program) + "\"";
}

QuotedCommandLine batchCommandLine(const std::vector<std::string>& arguments) {
    const std::string& program = arguments.front();
    std::string line = quotedProgram(program);
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (const std::string_view unsafe = batchUnsafeCharacter(argument); !unsafe.empty()) {
            return refusal("cannot pass the argument \"" + argument + "\" to the batch file " +
                           program + ": cmd.exe would not keep " + characterName(unsafe));
        }
        line += ' ';
        line += isPlainForBatch(argument) ? argument : "\"" + argument + "\"";
    }
    return {line, {}};
}

}  // namespace

std::string quoteArgument(std::string_view argument) {
    if (!needsQuotes(argument)) {
        return std::string(argument);
    }
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count only in front of a double quote: there they are doubled, and the
        // quote itself gets one more to stand for itself.
        if (c == '"') {
            quoted.append(backslashes * 2 + 1, '\\');
        } else {
            quoted.append(backslashes, '\\');
        }
        backslashes = 0;
        quoted.push_back(c);
    }
    // The closing quote follows, so trailing backslashes are doubled too.
    quoted.append(backslashes * 2, '\\');
    quoted.push_back('"');
    return quoted;
}

bool isBatchProgram(std::string_view program) {
    while (!program.empty() && (program.back() == '.' || program.back() == ' ')) {
        program.remove_suffix(1);
    }
    if (program.size() < 4) {
        return false;
    }
    std::string extension(program.substr(program.size() - 4));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".bat" || extension == ".cmd";
}

QuotedCommandLine quoteCommandLine(const std::vector<std::string>& arguments) {
    if (arguments.empty() || arguments.front().empty()) {
        return refusal("no program to start");
    }
    const std::string& program = arguments.front();
    if (program.find('"') != std::string::npos) {
        return refusal("the program name " + program + " holds a double quote");
    }
    for (const std::string& argument : arguments) {
        if (argument.find('\0') != std::string::npos) {
            return refusal("an argument for " + program + " holds a zero character");
        }
    }
    if (isBatchProgram(program)) {
        if (const std::string_view unsafe = batchUnsafeCharacter(program); !unsafe.empty()) {
            return refusal("cannot start the batch file " + program + ": cmd.exe would not keep " +
                           characterName(unsafe) + " of its name");
        }
        return batchCommandLine(arguments);
    }
    std::string line = quotedProgram(program);
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        line += ' ';
        line += quoteArgument(arguments[i]);
    }
    return {line, {}};
}

}  // namespace quillfen::platform
