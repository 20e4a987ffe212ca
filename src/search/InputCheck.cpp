#include "search/InputCheck.h"

#include "app/LanguageTable.h"
#include "app/PathHelpers.h"
#include "app/TextUtilities.h"
#include "platform/Platform.h"
#include "search/HexText.h"

namespace quillfen {

namespace {

// Drive designators exist only where the separator is a backslash; elsewhere "C:" is an ordinary
// relative name and must exist like any other.
bool platformHasDrives() {
    return pathSeparator() == '\\';
}

}  // namespace

bool folderExists(const std::string& path) {
    return pathExists(path);
}

bool acceptLookIn(std::string& lookIn) {
    if (lookIn != "*") {
        lookIn = platform::currentPlatform().files().typedPath(lookIn);
    }
    if (folderExists(lookIn) || lookIn == "*") {
        return true;
    }
    if (!platformHasDrives()) {
        return false;
    }
    if (lookIn.size() == 3 && lookIn.ends_with(":\\")) {
        return true;
    }
    if (lookIn.size() == 2 && lookIn.ends_with(':')) {
        lookIn += '\\';
        return true;
    }
    return false;
}

std::optional<InputProblem> checkInputs(SearchInputs& inputs) {
    if (trimWhiteSpace(inputs.lookIn).empty()) {
        return InputProblem{translatable("Please select a folder for search."), InputField::LookIn};
    }
    if (!acceptLookIn(inputs.lookIn)) {
        return InputProblem{translatable("Folder not exists."), InputField::LookIn};
    }
    if (inputs.lookIn == "*" && trimWhiteSpace(inputs.namePatterns).empty()) {
        return InputProblem{
            translatable("You had select all of the drivers on your computer, must input part of "
                         "the file name, or maybe too many files found."),
            InputField::NamePatterns};
    }
    if (inputs.content.hexMode) {
        const std::optional<std::string> normalised = checkHex(inputs.content.hexText);
        if (!normalised) {
            return InputProblem{translatable("This not a Hex string."), InputField::HexText};
        }
        inputs.content.hexText = *normalised;
    }
    return std::nullopt;
}

}  // namespace quillfen
