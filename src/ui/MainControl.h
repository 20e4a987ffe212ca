#pragma once

namespace quillfen {

// The controls of the search window that its rules address.
enum class MainControl {
    CountLine,
    ProgressLine,
    TranslationBanner,
    DebugButton,
    FindButton,
    StopButton,
    NameGroup,
    NamePatterns,
    LookInGroup,
    LookIn,
    BrowseLookIn,
    SearchSubfolders,
    ContentGroup,
    ContentText,
    HexText,
    TextMode,
    HexMode,
    MatchCase,
    MatchAnsi,
    MatchUnicode,
    MatchUtf8,
    DateGroup,
    DateOption,
    DateFrom,
    DateTo,
    SizeGroup,
    SizeOption,
    SizeBound,
    SizeKilobytes,
    ResultList,
};

}  // namespace quillfen
