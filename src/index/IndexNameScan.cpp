#include "index/IndexNameScan.h"

#include <algorithm>
#include <bit>
#include <iterator>

#include "index/TwoHalves.h"
#include "search/ChunkVector.h"

namespace quillfen {

namespace {

namespace vec = chunk_vector;

// Below this many entries or candidates a second thread costs more than it saves.
constexpr std::uint32_t kEntriesPerThread = 16384;

char foldedAscii(char byte) {
    return (byte >= 'A' && byte <= 'Z') ? static_cast<char>(byte + ('a' - 'A')) : byte;
}

// The longest run of ASCII other than the separator in the pattern's folded pieces.
std::string longestAsciiRun(const NamePattern& pattern, char separator) {
    std::string longest;
    for (const std::string& fragment : pattern.fragments) {
        std::size_t start = 0;
        for (std::size_t at = 0; at <= fragment.size(); ++at) {
            const bool plain = at < fragment.size() &&
                               static_cast<unsigned char>(fragment[at]) < 0x80 &&
                               fragment[at] != separator;
            if (plain) {
                continue;
            }
            if (at - start > longest.size()) {
                longest = fragment.substr(start, at - start);
            }
            start = at + 1;
        }
    }
    return longest;
}

bool foldedEquals(const char* bytes, const std::string& piece) {
    for (std::size_t at = 0; at < piece.size(); ++at) {
        if (foldedAscii(bytes[at]) != piece[at]) {
            return false;
        }
    }
    return true;
}

// The task's results for the two halves of the range, one after the other.
template <typename Task>
std::vector<std::uint32_t> joinedHalves(std::size_t first, std::size_t end, const Task& task) {
    std::vector<std::uint32_t> halves[2];
    inTwoHalves(first, end, 2 * kEntriesPerThread,
                [&](std::size_t from, std::size_t to) { halves[from != first] = task(from, to); });
    halves[0].insert(halves[0].end(), halves[1].begin(), halves[1].end());
    return std::move(halves[0]);
}

}  // namespace

IndexNameScan::IndexNameScan(const IndexView& index, const NamePatternList& patterns,
                             char separator)
    : index_(index), patterns_(patterns), separator_(separator) {
    for (const NamePattern& pattern : patterns) {
        std::string piece = longestAsciiRun(pattern, separator);
        if (piece.empty()) {
            pieces_.clear();
            return;
        }
        pieces_.push_back(std::move(piece));
    }
}

std::vector<std::uint32_t> IndexNameScan::passing(std::uint32_t first, std::uint32_t end) const {
    std::vector<std::uint32_t> found = candidates(first, end);
    if (patterns_.empty()) {
        return found;
    }
    return joinedHalves(0, found.size(),
                        [&](std::size_t from, std::size_t to) { return tested(found, from, to); });
}

std::vector<std::uint32_t> IndexNameScan::candidates(std::uint32_t first, std::uint32_t end) const {
    if (pieces_.empty()) {
        std::vector<std::uint32_t> every(end - first);
        for (std::uint32_t at = first; at < end; ++at) {
            every[at - first] = at;
        }
        return every;
    }
    std::vector<std::uint32_t> found;
    for (const std::string& piece : pieces_) {
        std::vector<std::uint32_t> more =
            joinedHalves(first, end, [&](std::size_t from, std::size_t to) {
                return landings(piece, static_cast<std::uint32_t>(from),
                                static_cast<std::uint32_t>(to));
            });
        std::vector<std::uint32_t> both;
        std::set_union(found.begin(), found.end(), more.begin(), more.end(),
                       std::back_inserter(both));
        found.swap(both);
    }
    return found;
}

// The entries whose names hold the piece in either case, or a byte beyond ASCII. Two loads per
// step test the piece's first and last bytes at sixteen places at once; only where both match,
// or a byte is beyond ASCII, is the place looked at more closely.
std::vector<std::uint32_t> IndexNameScan::landings(const std::string& piece, std::uint32_t first,
                                                   std::uint32_t end) const {
    std::vector<std::uint32_t> found;
    const char* names = index_.names().data();
    const std::uint32_t stop = index_.nameStart(end);
    const std::size_t length = piece.size();
    std::uint32_t cursor = first;
    const auto land = [&](std::uint32_t position) {
        const bool beyondAscii = static_cast<unsigned char>(names[position]) >= 0x80;
        if (!beyondAscii && (position + length > stop || !foldedEquals(names + position, piece))) {
            return;
        }
        cursor = entryAt(position, cursor, end);
        if (!beyondAscii && position + length > index_.nameStart(cursor + 1)) {
            return;
        }
        if (found.empty() || found.back() != cursor) {
            found.push_back(cursor);
        }
    };
    std::uint32_t position = index_.nameStart(first);
    const vec::Bytes16 firstByte = vec::repeat(static_cast<unsigned char>(piece.front()));
    const vec::Bytes16 lastByte = vec::repeat(static_cast<unsigned char>(piece.back()));
    for (; std::uint64_t{position} + length - 1 + vec::kWidth <= stop; position += vec::kWidth) {
        const vec::Bytes16 block = vec::load(names + position);
        const vec::Bytes16 ends = vec::foldAsciiCapitals(vec::load(names + position + length - 1));
        const vec::Bytes16 hits =
            ((vec::foldAsciiCapitals(block) == firstByte) & (ends == lastByte)) | (block < 0);
        if (!vec::anySet(hits)) {
            continue;
        }
        for (std::uint32_t mask = vec::maskBits(hits); mask != 0; mask &= mask - 1) {
            land(position + static_cast<std::uint32_t>(std::countr_zero(mask)));
        }
    }
    for (; position < stop; ++position) {
        land(position);
    }
    return found;
}

std::vector<std::uint32_t> IndexNameScan::tested(const std::vector<std::uint32_t>& entries,
                                                 std::size_t from, std::size_t to) const {
    std::vector<std::uint32_t> passed;
    std::string name;
    std::string folded;
    for (std::size_t at = from; at < to; ++at) {
        if (passes(entries[at], name, folded)) {
            passed.push_back(entries[at]);
        }
    }
    return passed;
}

// The last entry from `from` on whose name starts at or before `position`: a gallop from the last
// one found, since positions come in order.
std::uint32_t IndexNameScan::entryAt(std::uint32_t position, std::uint32_t from,
                                     std::uint32_t end) const {
    std::uint32_t low = from;
    std::uint32_t step = 1;
    while (step < end - low && index_.nameStart(low + step) <= position) {
        low += step;
        step *= 2;
    }
    std::uint32_t high = std::min(low + step, end);
    while (high - low > 1) {
        const std::uint32_t middle = low + (high - low) / 2;
        (index_.nameStart(middle) <= position ? low : high) = middle;
    }
    return low;
}

// A link's target may have become, or stopped being, a folder, which decides whether its name
// is tested with a separator; it passes when either way could.
bool IndexNameScan::passes(std::uint32_t entry, std::string& name, std::string& folded) const {
    const std::uint8_t flags = index_.flagsOf(entry);
    name.assign(index_.name(entry));
    if ((flags & IndexData::kFolderFlag) != 0) {
        name += separator_;
    }
    foldNameInto(name, folded);
    if (matchesFoldedName(patterns_, folded)) {
        return true;
    }
    if ((flags & IndexData::kLinkFlag) == 0) {
        return false;
    }
    if (name.back() == separator_) {
        name.pop_back();
    } else {
        name += separator_;
    }
    return matchesName(patterns_, name);
}

}  // namespace quillfen
