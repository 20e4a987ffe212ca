#include "search/CodePageFolding.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>

#include "platform/TextServices.h"
#include "search/ChunkSearch.h"
#include "search/ChunkVector.h"

namespace quillfen {

namespace {

constexpr std::array<unsigned char, 256> asciiLowerTable() {
    std::array<unsigned char, 256> table{};
    for (std::size_t byte = 0; byte < table.size(); ++byte) {
        const bool capital = byte >= 'A' && byte <= 'Z';
        table[byte] = static_cast<unsigned char>(capital ? byte + ('a' - 'A') : byte);
    }
    return table;
}

constexpr std::array<unsigned char, 256> kAsciiLower = asciiLowerTable();

// The small letter of one byte's character, when it is a single byte too.
std::optional<unsigned char> smallLetterOf(const platform::TextServices& text, unsigned codePage,
                                           unsigned char byte) {
    const std::optional<std::string> character =
        text.fromCodePage(std::string(1, static_cast<char>(byte)), codePage);
    if (!character) {
        return std::nullopt;
    }
    const std::string lowered = text.foldCase(*character);
    if (lowered == *character) {
        return std::nullopt;
    }
    const std::optional<std::string> bytes = text.toCodePage(lowered, codePage);
    if (!bytes || bytes->size() != 1) {
        return std::nullopt;
    }
    return static_cast<unsigned char>((*bytes)[0]);
}

// The length of the leading run of whole vector blocks that hold ASCII bytes only.
std::size_t asciiBlocks(const char* bytes, std::size_t count) {
    using chunk_vector::kWidth;
    std::size_t length = 0;
    while (length + kWidth <= count &&
           !chunk_vector::anySet(chunk_vector::load(bytes + length) < 0)) {
        length += kWidth;
    }
    return length;
}

}  // namespace

CodePageFolding::CodePageFolding() : lower_(kAsciiLower) {}

CodePageFolding::CodePageFolding(const platform::TextServices& text, unsigned codePage)
    : lower_(kAsciiLower) {
    for (std::size_t index = 0; index < lower_.size(); ++index) {
        const auto byte = static_cast<unsigned char>(index);
        if (text.isLeadByte(byte, codePage)) {
            leadByte_[index] = true;
            hasLeadBytes_ = true;
            continue;
        }
        if (const std::optional<unsigned char> small = smallLetterOf(text, codePage, byte)) {
            lower_[index] = *small;
        }
        if (lower_[index] != byte && byte >= 0x80) {
            letterBeyondAscii_[index] = true;
            if (lower_[index] >= 0x80) {
                letterBeyondAscii_[lower_[index]] = true;
            }
        }
    }
    asciiByAsciiRule_ =
        std::equal(lower_.begin(), lower_.begin() + 0x80, kAsciiLower.begin()) &&
        std::none_of(leadByte_.begin(), leadByte_.begin() + 0x80, [](bool lead) { return lead; });
    findShifts();
}

// Only bytes beyond ASCII need shifts: the vector fold takes ASCII capitals by the ASCII rule.
void CodePageFolding::findShifts() {
    if (hasLeadBytes_ || !asciiByAsciiRule_) {
        return;
    }
    for (std::size_t index = 0x80; index < lower_.size(); ++index) {
        const auto delta = static_cast<unsigned char>(lower_[index] - index);
        if (delta == 0) {
            continue;
        }
        Shift* last = shiftCount_ > 0 ? &shifts_[shiftCount_ - 1] : nullptr;
        if (last != nullptr && last->delta == delta && last->low + last->span + 1u == index) {
            ++last->span;
            continue;
        }
        if (shiftCount_ == kMaxShifts) {
            return;
        }
        shifts_[shiftCount_++] = {static_cast<unsigned char>(index), 0, delta};
    }
    byShifts_ = true;
}

void CodePageFolding::foldByShifts(const char* from, char* to, std::size_t count) const {
    using chunk_vector::kWidth;
    using Unsigned = chunk_vector::UnsignedBytes16;
    std::size_t index = 0;
    for (; index + kWidth <= count; index += kWidth) {
        const chunk_vector::Bytes16 bytes = chunk_vector::load(from + index);
        const chunk_vector::Bytes16 asciiFolded = chunk_vector::foldAsciiCapitals(bytes);
        if (!chunk_vector::anySet(bytes < 0)) {
            chunk_vector::store(to + index, asciiFolded);
            continue;
        }
        const auto high = std::bit_cast<Unsigned>(bytes);
        auto folded = std::bit_cast<Unsigned>(asciiFolded);
        for (std::size_t shift = 0; shift < shiftCount_; ++shift) {
            const Shift& range = shifts_[shift];
            const auto inRange =
                std::bit_cast<Unsigned>(static_cast<Unsigned>(high - range.low) <= range.span);
            folded += inRange & range.delta;
        }
        chunk_vector::store(to + index, std::bit_cast<chunk_vector::Bytes16>(folded));
    }
    for (; index < count; ++index) {
        to[index] = static_cast<char>(lower_[static_cast<unsigned char>(from[index])]);
    }
}

bool CodePageFolding::foldsAsciiOnly() const {
    return !hasLeadBytes_ && lower_ == kAsciiLower;
}

bool CodePageFolding::foldsIntoAscii() const {
    for (std::size_t byte = 0x80; byte < lower_.size(); ++byte) {
        if (lower_[byte] < 0x80) {
            return true;
        }
    }
    return !asciiByAsciiRule_;
}

bool CodePageFolding::agreesWithAsciiOn(const std::vector<std::string>& pieces) const {
    const auto ascii = [](const std::string& piece) {
        return std::all_of(piece.begin(), piece.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    };
    return foldsAsciiOnly() || (!hasLeadBytes_ && !foldsIntoAscii() &&
                                std::all_of(pieces.begin(), pieces.end(), ascii));
}

bool CodePageFolding::hasLetterBeyondAscii(std::string_view bytes) const {
    bool afterLeadByte = false;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (afterLeadByte) {
            afterLeadByte = false;
        } else if (leadByte_[byte]) {
            afterLeadByte = true;
        } else if (letterBeyondAscii_[byte]) {
            return true;
        }
    }
    return false;
}

std::string CodePageFolding::folded(std::string_view bytes) const {
    std::string result(bytes);
    bool afterLeadByte = false;
    fold(result.data(), result.size(), afterLeadByte);
    return result;
}

// Text is mostly ASCII: runs of ASCII blocks take the vectorised ASCII rule, and only blocks that
// hold other bytes are looked up byte by byte.
void CodePageFolding::foldInto(const char* from, char* to, std::size_t count,
                               bool& afterLeadByte) const {
    if (byShifts_ && !foldsAsciiOnly()) {
        foldByShifts(from, to, count);
        return;
    }
    std::memmove(to, from, count);
    fold(to, count, afterLeadByte);
}

void CodePageFolding::fold(char* bytes, std::size_t count, bool& afterLeadByte) const {
    if (foldsAsciiOnly()) {
        foldAsciiLetters(bytes, count);
        return;
    }
    if (byShifts_) {
        foldByShifts(bytes, bytes, count);
        return;
    }
    std::size_t index = 0;
    while (index < count) {
        const std::size_t run =
            afterLeadByte || !asciiByAsciiRule_ ? 0 : asciiBlocks(bytes + index, count - index);
        foldAsciiLetters(bytes + index, run);
        index += run;
        const std::size_t step = std::min<std::size_t>(chunk_vector::kWidth, count - index);
        foldByByte(bytes + index, step, afterLeadByte);
        index += step;
    }
}

void CodePageFolding::foldByByte(char* bytes, std::size_t count, bool& afterLeadByte) const {
    for (std::size_t index = 0; index < count; ++index) {
        const auto byte = static_cast<unsigned char>(bytes[index]);
        if (afterLeadByte) {
            afterLeadByte = false;
        } else if (leadByte_[byte]) {
            afterLeadByte = true;
        } else {
            bytes[index] = static_cast<char>(lower_[byte]);
        }
    }
}

}  // namespace quillfen
