#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillfen {

// One compiled file-name pattern: the case-folded pieces between its '*' characters, and whether
// it is tied to the start and to the end of a name.
struct NamePattern {
    std::vector<std::string> fragments;
    bool anchoredStart = false;
    bool anchoredEnd = false;

    bool operator==(const NamePattern&) const = default;
};

using NamePatternList = std::vector<NamePattern>;

// Compiles the name box's text: patterns are separated by plain blanks, '*' is the only wildcard,
// duplicates and all-'*' patterns are dropped. An empty list matches every name.
NamePatternList compileNamePatterns(std::string_view patternText);

// Tests a name as the folder listing gives it (a folder with its trailing separator).
bool matchesName(const NamePatternList& patterns, std::string_view entryName);
// The same for a name that has already been case-folded, so a caller that folds once can test
// several lists.
bool matchesFoldedName(const NamePatternList& patterns, std::string_view foldedName);
// Case folding shared by patterns and names.
std::string foldName(std::string_view name);
void foldNameInto(std::string_view name, std::string& folded);

}  // namespace quillfen
