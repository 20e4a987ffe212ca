// Every input is the name box's text and an entry name. The compiled patterns and the verdict must
// agree with a small independent reading of the pattern rules below, and every pattern holding a
// '*' must agree with a plain glob matcher.
#include <algorithm>
#include <vector>

#include "FuzzSupport.h"
#include "search/NamePattern.h"

namespace {

struct ReferencePattern {
    std::string text;
    std::vector<std::string> fragments;
    bool anchoredStart = false;
    bool anchoredEnd = false;
};

// Every stretch between separators, empty ones included; nothing for an empty text.
std::vector<std::string> pieces(std::string_view text, char separator) {
    std::vector<std::string> result;
    if (text.empty()) {
        return result;
    }
    std::string current;
    for (const char c : text) {
        if (c == separator) {
            result.push_back(current);
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (text.back() != separator) {
        result.push_back(current);
    }
    return result;
}

// Patterns are separated by plain blanks, each distinct one kept once at its first place; '*' is
// the only wildcard, and a pattern of nothing but '*' adds nothing.
std::vector<ReferencePattern> referenceCompile(std::string_view foldedText) {
    std::vector<ReferencePattern> patterns;
    std::vector<std::string> seen;
    for (const std::string& piece : pieces(foldedText, ' ')) {
        if (piece.empty() || std::find(seen.begin(), seen.end(), piece) != seen.end()) {
            continue;
        }
        seen.push_back(piece);
        ReferencePattern pattern{piece, {}, piece.front() != '*', piece.back() != '*'};
        for (const std::string& fragment : pieces(piece, '*')) {
            if (!fragment.empty()) {
                pattern.fragments.push_back(fragment);
            }
        }
        if (!pattern.fragments.empty()) {
            patterns.push_back(pattern);
        }
    }
    return patterns;
}

// Each fragment at its first place behind the previous one; an anchored start wants the name to
// begin with the first fragment, an anchored end to end with the last, each on its own.
bool referencePasses(const ReferencePattern& pattern, std::string_view name) {
    std::size_t position = 0;
    for (const std::string& fragment : pattern.fragments) {
        const std::size_t found = name.find(fragment, position);
        if (found == std::string_view::npos) {
            return false;
        }
        position = found + fragment.size();
    }
    return (!pattern.anchoredStart || name.starts_with(pattern.fragments.front())) &&
           (!pattern.anchoredEnd || name.ends_with(pattern.fragments.back()));
}

bool referenceMatches(const std::vector<ReferencePattern>& patterns, std::string_view name) {
    return patterns.empty() || std::any_of(patterns.begin(), patterns.end(), [name](const auto& p) {
               return referencePasses(p, name);
           });
}

// Classic glob with '*' alone, by backtracking to the last star.
bool globMatches(std::string_view pattern, std::string_view name) {
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t star = std::string_view::npos;
    std::size_t resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (p < pattern.size() && pattern[p] == name[n]) {
            ++p;
            ++n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    quillfen::fuzz::installLinuxPlatform();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quillfen::fuzz::InputFields fields(data, size);
    const std::string_view patternText = fields.text();
    const std::string_view name = fields.rest();

    const quillfen::NamePatternList compiled = quillfen::compileNamePatterns(patternText);
    const std::vector<ReferencePattern> expected =
        referenceCompile(quillfen::foldName(patternText));
    FUZZ_CHECK(compiled.size() == expected.size());
    for (std::size_t i = 0; i < compiled.size(); ++i) {
        FUZZ_CHECK(compiled[i].fragments == expected[i].fragments);
        FUZZ_CHECK(compiled[i].anchoredStart == expected[i].anchoredStart);
        FUZZ_CHECK(compiled[i].anchoredEnd == expected[i].anchoredEnd);
    }

    const std::string foldedName = quillfen::foldName(name);
    const bool matches = quillfen::matchesName(compiled, name);
    FUZZ_CHECK(matches == referenceMatches(expected, foldedName));
    FUZZ_CHECK(matches == quillfen::matchesFoldedName(compiled, foldedName));
    for (const ReferencePattern& pattern : expected) {
        if (pattern.text.find('*') != std::string::npos) {
            FUZZ_CHECK(
                quillfen::matchesFoldedName({compiled[&pattern - expected.data()]}, foldedName) ==
                globMatches(pattern.text, foldedName));
        }
    }
    return 0;
}
