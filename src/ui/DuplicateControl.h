#pragma once

namespace quillfen {

// The controls of the duplicate-search window that its rules address.
enum class DuplicateControl {
    Group,
    ProgressLine,
    CountLine,
    FindButton,
    StopButton,
    FileNameGroup,
    ReferenceFile,
    BrowseFile,
    LookInGroup,
    LookIn,
    BrowseLookIn,
    OptionsGroup,
    MatchName,
    MatchExtension,
    MatchTime,
    MatchBody,
    ResultList,
};

}  // namespace quillfen
