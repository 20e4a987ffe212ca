#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "index/IndexView.h"
#include "search/NamePattern.h"

namespace quillfen {

// Finds the entries of an index whose names pass a search's name patterns, as the search tests
// them. Each pattern's longest piece of plain ASCII is first looked for across the packed names
// sixteen bytes at a time, with ASCII letters of either case; only the names it lands in, and
// names holding any byte beyond ASCII (whose case folding may make ASCII of them), are then
// folded and tested whole. A name with no such piece and only ASCII cannot pass, so nothing
// that passes is missed.
class IndexNameScan {
public:
    IndexNameScan(const IndexView& index, const NamePatternList& patterns, char separator);

    // The entries from `first` up to `end` whose names pass, in order.
    std::vector<std::uint32_t> passing(std::uint32_t first, std::uint32_t end) const;

private:
    std::vector<std::uint32_t> candidates(std::uint32_t first, std::uint32_t end) const;
    std::vector<std::uint32_t> landings(const std::string& piece, std::uint32_t first,
                                        std::uint32_t end) const;
    std::vector<std::uint32_t> tested(const std::vector<std::uint32_t>& entries, std::size_t from,
                                      std::size_t to) const;
    std::uint32_t entryAt(std::uint32_t position, std::uint32_t from, std::uint32_t end) const;
    bool passes(std::uint32_t entry, std::string& name, std::string& folded) const;

    const IndexView& index_;
    const NamePatternList& patterns_;
    char separator_;
    // One piece per pattern; none when some pattern has no ASCII to look for.
    std::vector<std::string> pieces_;
};

}  // namespace quillfen
