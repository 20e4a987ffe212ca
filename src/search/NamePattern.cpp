#include "search/NamePattern.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

#include "app/TextUtilities.h"
#include "platform/Platform.h"

namespace quillfen {

namespace {

// The texts between a piece's '*' characters, without empty ones. Done in place rather than by a
// general split, which copies the piece: a pasted list may hold hundreds of thousands of them.
void addFragments(std::string_view piece, NamePattern& pattern) {
    std::size_t start = 0;
    while (start < piece.size()) {
        const std::size_t star = std::min(piece.find('*', start), piece.size());
        if (star > start) {
            pattern.fragments.emplace_back(piece.substr(start, star - start));
        }
        start = star + 1;
    }
}

NamePatternList compilePieces(const std::vector<std::string>& pieces) {
    NamePatternList patterns;
    for (const std::string& piece : pieces) {
        NamePattern pattern;
        addFragments(piece, pattern);
        if (pattern.fragments.empty()) {
            continue;
        }
        pattern.anchoredStart = piece.front() != '*';
        pattern.anchoredEnd = piece.back() != '*';
        patterns.push_back(std::move(pattern));
    }
    return patterns;
}

// Each distinct piece once, at the place of its first occurrence, without empty pieces. A pasted
// list may hold hundreds of thousands of names, so earlier pieces are looked up by hash.
std::vector<std::string> distinctPieces(std::vector<std::string> pieces) {
    std::unordered_set<std::string_view> seen;
    seen.reserve(pieces.size());
    std::vector<std::string> distinct;
    for (std::string& piece : pieces) {
        // The views point into `pieces`, whose strings stay where they are while `seen` lives.
        if (!piece.empty() && seen.insert(piece).second) {
            distinct.push_back(piece);
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
