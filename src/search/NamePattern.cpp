#include "search/NamePattern.h"

#include <algorithm>

#include "app/TextUtilities.h"
#include "platform/Platform.h"

namespace quillfen {

namespace {

NamePatternList compilePieces(const std::vector<std::string>& pieces) {
    NamePatternList patterns;
    for (const std::string& piece : pieces) {
        NamePattern pattern;
        for (std::string& fragment : splitText(piece, "*")) {
            if (!fragment.empty()) {
                pattern.fragments.push_back(std::move(fragment));
            }
        }
        if (pattern.fragments.empty()) {
            continue;
        }
        pattern.anchoredStart = piece.front() != '*';
        pattern.anchoredEnd = piece.back() != '*';
        patterns.push_back(std::move(pattern));
    }
    return patterns;
}

// Each distinct piece once, at the place of its first occurrence, without empty pieces.
std::vector<std::string> distinctPieces(std::vector<std::string> pieces) {
    std::vector<std::string> distinct;
    for (std::string& piece : pieces) {
        if (!piece.empty() &&
            std::find(distinct.begin(), distinct.end(), piece) == distinct.end()) {
            distinct.push_back(std::move(piece));
        }
    }
    return distinct;
}

bool passes(const NamePattern& pattern, std::string_view name) {
    size_t position = 0;
    for (const std::string& fragment : pattern.fragments) {
        const size_t found = name.find(fragment, position);
        if (found == std::string_view::npos) {
            return false;
        }
        position = found + fragment.size();
    }
    // The start and end tests look at the name as a whole, so a pattern without '*' matches any
    // name that both begins and ends with it.
    if (pattern.anchoredStart && !name.starts_with(pattern.fragments.front())) {
        return false;
    }
    return !pattern.anchoredEnd || name.ends_with(pattern.fragments.back());
}

}  // namespace

std::string foldName(std::string_view name) {
    return platform::currentPlatform().text().foldCase(name);
}

void foldNameInto(std::string_view name, std::string& folded) {
    platform::currentPlatform().text().foldCaseInto(name, folded);
}

NamePatternList compileNamePatterns(std::string_view patternText) {
    return compilePieces(distinctPieces(splitText(foldName(patternText), " ")));
}

bool matchesFoldedName(const NamePatternList& patterns, std::string_view foldedName) {
    if (patterns.empty()) {
        return true;
    }
    return std::any_of(patterns.begin(), patterns.end(), [foldedName](const NamePattern& pattern) {
        return passes(pattern, foldedName);
    });
}

bool matchesName(const NamePatternList& patterns, std::string_view entryName) {
    return patterns.empty() || matchesFoldedName(patterns, foldName(entryName));
}

}  // namespace quillfen
