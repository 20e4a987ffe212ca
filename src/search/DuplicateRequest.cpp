#include "search/DuplicateRequest.h"

#include "app/LanguageTable.h"
#include "app/PathHelpers.h"
#include "app/TextUtilities.h"
#include "platform/Platform.h"
#include "search/NamePattern.h"

namespace quillfen {

namespace {

std::string nameOf(const std::string& path) {
    const auto separator = path.rfind(pathSeparator());
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace

std::optional<InputProblem> checkDuplicateInputs(DuplicateInputs& inputs) {
    inputs.referencePath = platform::currentPlatform().files().typedPath(inputs.referencePath);
    if (!pathExists(inputs.referencePath)) {
        return InputProblem{translatable("File not exists."), InputField::ReferenceFile};
    }
    // The user named a file, so a link is followed to it. A folder path has size 0 here as in a
    // directory listing, so it is refused as empty.
    platform::FileSystem& files = platform::currentPlatform().files();
    const platform::EntryStatus reference = files.targetStatus(inputs.referencePath);
    if (reference.kind != platform::EntryKind::File || reference.size == 0) {
        return InputProblem{translatable("It is an empty file."), InputField::ReferenceFile};
    }
    if (!files.openForRandomAccess(inputs.referencePath)) {
        return InputProblem{translatable("The file cannot be read."), InputField::ReferenceFile};
    }
    if (trimWhiteSpace(inputs.lookIn).empty()) {
        return InputProblem{translatable("Please select a folder for search."), InputField::LookIn};
    }
    if (!acceptLookIn(inputs.lookIn)) {
        return InputProblem{translatable("Folder not exists."), InputField::LookIn};
    }
    return std::nullopt;
}

DuplicateRequest buildDuplicateRequest(DuplicateInputs& inputs) {
    DuplicateRequest request;
    platform::FileSystem& files = platform::currentPlatform().files();
    const platform::EntryStatus reference = files.targetStatus(inputs.referencePath);
    request.referenceSize =
        reference.kind == platform::EntryKind::Missing ? std::int64_t{-1} : reference.size;
    request.referenceTime = reference.writeTime;
    request.reference = reference.identity;
    request.named = files.entryStatus(inputs.referencePath).identity;

    if (!inputs.matchName && !inputs.matchBody) {
        inputs.matchBody = true;
    }
    request.matchName = inputs.matchName;
    request.matchExtension = inputs.matchExtension;
    request.matchTime = inputs.matchTime;
    request.matchBody = inputs.matchBody;

    request.referencePath = inputs.referencePath;
    const std::string name = foldName(nameOf(inputs.referencePath));
    const auto point = name.rfind('.');
    if (point == std::string::npos || (inputs.matchName && inputs.matchExtension)) {
        request.wholeName = true;
        request.referenceName = name;
    } else {
        request.referenceExtension = name.substr(point + 1);
        request.referenceName = name.substr(0, point);
    }
    request.folder = withTrailingSeparator(inputs.lookIn);
    return request;
}

}  // namespace quillfen
