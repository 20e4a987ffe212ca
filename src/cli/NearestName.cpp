#include "cli/NearestName.h"

#include <algorithm>
#include <cstddef>

namespace quillfen::cli {

namespace {

// Edit distance with swaps of neighbours (optimal string alignment).
std::size_t editDistance(std::string_view from, std::string_view to) {
    const std::size_t columns = to.size() + 1;
    std::vector<std::size_t> cost((from.size() + 1) * columns);
    const auto at = [&](std::size_t i, std::size_t j) -> std::size_t& {
        return cost[i * columns + j];
    };
    for (std::size_t i = 0; i <= from.size(); ++i) {
        at(i, 0) = i;
    }
    for (std::size_t j = 0; j <= to.size(); ++j) {
        at(0, j) = j;
    }
    for (std::size_t i = 1; i <= from.size(); ++i) {
        for (std::size_t j = 1; j <= to.size(); ++j) {
            const std::size_t replace = from[i - 1] == to[j - 1] ? 0 : 1;
            at(i, j) = std::min({at(i - 1, j) + 1, at(i, j - 1) + 1, at(i - 1, j - 1) + replace});
            if (i > 1 && j > 1 && from[i - 1] == to[j - 2] && from[i - 2] == to[j - 1]) {
                at(i, j) = std::min(at(i, j), at(i - 2, j - 2) + 1);
            }
        }
    }
    return at(from.size(), to.size());
}

}  // namespace

std::optional<std::string> nearestName(std::string_view word,
                                       const std::vector<std::string>& names) {
    constexpr std::size_t kShortWord = 4;
    const std::size_t allowed = word.size() <= kShortWord ? 1 : 2;
    std::optional<std::string> nearest;
    std::size_t best = allowed + 1;
    for (const std::string& name : names) {
        const std::size_t distance = editDistance(word, name);
        if (distance < best) {
            best = distance;
            nearest = name;
        }
    }
    return nearest;
}

}  // namespace quillfen::cli
