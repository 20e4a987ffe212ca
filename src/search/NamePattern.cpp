#include "search/NamePattern.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

#include "platform/Platform.h"

namespace quillfen {

namespace {

// Calls `use` with each non-empty part of the text between separators, in order. A pasted list
// may hold hundreds of thousands of names, so the parts are views rather than copies.
template <typename Use>
void forEachPart(std::string_view text, char separator, Use use) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find(separator, start), text.size());
        if (end > start) {
            use(text.substr(start, end - start));
        }
        start = end + 1;
    }
}

NamePatternList compilePieces(const std::vector<std::string_view>& pieces) {
    NamePatternList patterns;
    patterns.reserve(pieces.size());
    for (const std::string_view piece : pieces) {
        NamePattern pattern;
        forEachPart(piece, '*', [&pattern](std::string_view fragment) {
            pattern.fragments.emplace_back(fragment);
        });
        if (pattern.fragments.empty()) {
            continue;
        }
        pattern.anchoredStart = piece.front() != '*';
        pattern.anchoredEnd = piece.back() != '*';
        patterns.push_back(std::move(pattern));
    }
    return patterns;
}

// The blank-separated pieces, each distinct one once at the place of its first occurrence,
// looked up by hash.
std::vector<std::string_view> distinctPieces(std::string_view text) {
    std::unordered_set<std::string_view> seen;
    seen.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), ' ')) + 1);
    std::vector<std::string_view> distinct;
    forEachPart(text, ' ', [&](std::string_view piece) {
        if (seen.insert(piece).second) {
            distinct.push_back(piece);
        }
    });
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
    const std::string folded = foldName(patternText);
    return compilePieces(distinctPieces(folded));
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
