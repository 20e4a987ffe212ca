// Every input is a command line of quillfen-cli, its arguments separated by NUL bytes. Parsing
// either ends the run with an exit code or gives exactly one command, whose inputs then pass the
// checks made before a search; the checks must settle what they change at once. The option
// checks must agree with the parsers they guard.
#include <cstdio>
#include <iostream>
#include <vector>

#include "FuzzSupport.h"
#include "cli/ArgumentChecks.h"
#include "cli/CliOptions.h"
#include "search/InputCheck.h"

namespace {

constexpr std::size_t kMaxArguments = 64;

std::vector<std::string> arguments(std::string_view text) {
    std::vector<std::string> result{"quillfen-cli"};
    std::size_t start = 0;
    while (start <= text.size() && result.size() < kMaxArguments) {
        const std::size_t end = std::min(text.find('\0', start), text.size());
        result.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

void checkOptionChecks(const std::string& text) {
    FUZZ_CHECK(quillfen::cli::parseDay(text).has_value() ==
               quillfen::cli::validateDay(text).empty());
    const auto bytes = quillfen::cli::parseSizeBytes(text);
    FUZZ_CHECK(bytes.has_value() == quillfen::cli::validateSize(text).empty());
    FUZZ_CHECK(!bytes || *bytes >= 0);
    quillfen::cli::validateEncodings(text);
}

void checkSearchInputs(quillfen::SearchInputs inputs) {
    const auto problem = quillfen::checkInputs(inputs);
    if (problem) {
        FUZZ_CHECK(!problem->message.empty());
        return;
    }
    quillfen::SearchInputs again = inputs;
    FUZZ_CHECK(!quillfen::checkInputs(again).has_value());
    FUZZ_CHECK(again.lookIn == inputs.lookIn);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    quillfen::fuzz::installLinuxPlatform();
    // Usage errors and help are printed by the option library; a fuzz run needs none of them.
    std::cout.rdbuf(nullptr);
    std::cerr.rdbuf(nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> words = arguments({reinterpret_cast<const char*>(data), size});
    std::vector<const char*> argv;
    for (const std::string& word : words) {
        argv.push_back(word.c_str());
        checkOptionChecks(word);
    }
    argv.push_back(nullptr);
    const quillfen::cli::CliOptions options =
        quillfen::cli::parseCommandLine(static_cast<int>(words.size()), argv.data());
    if (options.exitCode) {
        return 0;
    }
    FUZZ_CHECK(options.find.has_value() != options.dupes.has_value());
    if (options.find) {
        checkSearchInputs(options.find->inputs);
    }
    return 0;
}
