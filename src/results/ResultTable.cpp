#include "results/ResultTable.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <functional>
#include <numeric>
#include <unordered_map>
#include <vector>

#include "platform/Platform.h"
#include "results/CellFormat.h"
#include "search/NamePattern.h"

namespace quillfen {

namespace {

constexpr std::array<std::string_view, ResultTable::kColumnCount> kColumnTitles{
    "Name", "In Folder", "Type", "Date Modified", "Size", "Size Byte"};

// Room for a local time up to a seven-digit year; longer texts are kept in a pool instead.
constexpr std::size_t kModifiedCapacity = 22;
constexpr std::uint8_t kModifiedInPool = 0xFF;
constexpr std::int64_t kUnreadableSize = -1;

struct Row {
    const char* name = nullptr;
    std::int64_t size = 0;
    std::uint32_t nameLength = 0;
    std::uint32_t folder = 0;
    std::uint32_t type = 0;
    std::int32_t icon = ResultTable::kNoIcon;
    // The text itself, or with kModifiedInPool the pool id in its first bytes.
    std::array<char, kModifiedCapacity> modified{};
    std::uint8_t modifiedLength = 0;
    bool isFolder = false;
};
// A window holds a million rows at no more than 100 bytes each beyond the names.
static_assert(sizeof(Row) <= 56);

// Rows in fixed blocks: growing never copies them and never leaves half a table unused.
class RowStore {
public:
    std::uint32_t add(const Row& row) {
        if (count_ % kRowsPerBlock == 0) {
            blocks_.push_back(std::make_unique<Row[]>(kRowsPerBlock));
        }
        blocks_.back()[count_ % kRowsPerBlock] = row;
        return count_++;
    }
    const Row& at(std::uint32_t index) const {
        return blocks_[index / kRowsPerBlock][index % kRowsPerBlock];
    }
    std::uint32_t size() const { return count_; }

private:
    static constexpr std::uint32_t kRowsPerBlock = 4096;

    std::vector<std::unique_ptr<Row[]>> blocks_;
    std::uint32_t count_ = 0;
};

// Names packed into large blocks, so that a name costs its bytes and no allocation of its own.
class NameStore {
public:
    const char* store(std::string_view name) {
        if (name.size() > kBlockBytes / 16) {
            return copyInto(allocate(name.size()), name);
        }
        if (name.size() > freeBytes_) {
            free_ = allocate(kBlockBytes);
            freeBytes_ = kBlockBytes;
        }
        char* stored = copyInto(free_, name);
        free_ += name.size();
        freeBytes_ -= name.size();
        return stored;
    }

private:
    static constexpr std::size_t kBlockBytes = 256 * 1024;

    char* allocate(std::size_t bytes) {
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(bytes));
        return blocks_.back().get();
    }
    static char* copyInto(char* target, std::string_view name) {
        std::copy(name.begin(), name.end(), target);
        return target;
    }

    std::vector<std::unique_ptr<char[]>> blocks_;
    char* free_ = nullptr;
    std::size_t freeBytes_ = 0;
};

// Each distinct text once, numbered in order of first appearance.
class TextPool {
public:
    std::uint32_t intern(std::string_view text) {
        const auto found = ids_.find(text);
        if (found != ids_.end()) {
            return found->second;
        }
        const auto id = static_cast<std::uint32_t>(texts_.size());
        const auto inserted = ids_.emplace(std::string(text), id).first;
        texts_.push_back(&inserted->first);
        return id;
    }
    const std::string& text(std::uint32_t id) const { return *texts_[id]; }
    std::uint32_t size() const { return static_cast<std::uint32_t>(texts_.size()); }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };

    std::unordered_map<std::string, std::uint32_t, Hash, std::equal_to<>> ids_;
    // Map nodes never move, so the pointers stay valid as the pool grows.
    std::vector<const std::string*> texts_;
};

template <typename Value>
int compareValues(Value left, Value right) {
    return left < right ? -1 : (right < left ? 1 : 0);
}

// Text order of the size keys as a number: negative sizes first, nearest zero first as their
// zero-padded texts sort, then the others by value.
std::uint64_t sizeKeyOrder(std::int64_t size) {
    constexpr std::uint64_t kFirstNonNegative = std::uint64_t{1} << 63;
    if (size < 0) {
        return static_cast<std::uint64_t>(-(size + 1));
    }
    return kFirstNonNegative + static_cast<std::uint64_t>(size);
}

std::int64_t parseSizeKey(std::string_view key) {
    std::int64_t size = 0;
    const std::from_chars_result parsed =
        std::from_chars(key.data(), key.data() + key.size(), size);
    if (parsed.ec != std::errc() || parsed.ptr != key.data() + key.size()) {
        return kUnreadableSize;
    }
    return size;
}

// The case-folded text of one column for every row, packed into one buffer. The first bytes of
// each text are also kept as a number, which settles most comparisons without reaching into the
// buffer at a random place.
class FoldedColumn {
public:
    explicit FoldedColumn(std::size_t rowCount) {
        ends_.reserve(rowCount);
        heads_.reserve(rowCount);
    }
    void add(std::string_view text) {
        const std::string folded = foldName(text);
        bytes_.append(folded);
        ends_.push_back(bytes_.size());
        heads_.push_back(headOf(folded));
    }
    int compare(std::uint32_t left, std::uint32_t right) const {
        if (heads_[left] != heads_[right]) {
            return heads_[left] < heads_[right] ? -1 : 1;
        }
        return at(left).compare(at(right));
    }

private:
    // The first eight bytes, zero-padded, in an order that compares as the bytes do.
    static std::uint64_t headOf(std::string_view text) {
        std::uint64_t head = 0;
        for (std::size_t index = 0; index < sizeof head; ++index) {
            const auto byte = index < text.size() ? static_cast<unsigned char>(text[index]) : 0U;
            head = (head << 8) | byte;
        }
        return head;
    }
    std::string_view at(std::uint32_t row) const {
        const std::size_t begin = row == 0 ? 0 : ends_[row - 1];
        return std::string_view(bytes_).substr(begin, ends_[row] - begin);
    }

    std::string bytes_;
    std::vector<std::size_t> ends_;
    std::vector<std::uint64_t> heads_;
};

// For each pooled text its place among the pool's folded texts; texts that fold alike share it.
std::vector<std::uint32_t> foldedRanks(const TextPool& pool) {
    std::vector<std::string> folded;
    folded.reserve(pool.size());
    for (std::uint32_t id = 0; id < pool.size(); ++id) {
        folded.push_back(foldName(pool.text(id)));
    }
    std::vector<std::uint32_t> byText(pool.size());
    std::iota(byText.begin(), byText.end(), 0U);
    std::sort(byText.begin(), byText.end(), [&folded](std::uint32_t left, std::uint32_t right) {
        return folded[left] < folded[right];
    });
    std::vector<std::uint32_t> ranks(pool.size());
    for (std::size_t place = 0; place < byText.size(); ++place) {
        const bool sameAsPrevious = place > 0 && folded[byText[place]] == folded[byText[place - 1]];
        ranks[byText[place]] =
            sameAsPrevious ? ranks[byText[place - 1]] : static_cast<std::uint32_t>(place);
    }
    return ranks;
}

// Texts that many rows share.
struct SharedTexts {
    TextPool folders;
    TextPool types;
    TextPool longModified;
};

std::string_view nameOf(const Row& row) {
    return {row.name, row.nameLength};
}

std::string_view modifiedOf(const Row& row, const SharedTexts& shared) {
    if (row.modifiedLength != kModifiedInPool) {
        return {row.modified.data(), row.modifiedLength};
    }
    std::uint32_t id = 0;
    std::memcpy(&id, row.modified.data(), sizeof id);
    return shared.longModified.text(id);
}

void storeModified(Row& row, std::string_view text, SharedTexts& shared) {
    if (text.size() <= kModifiedCapacity) {
        std::copy(text.begin(), text.end(), row.modified.begin());
        row.modifiedLength = static_cast<std::uint8_t>(text.size());
        return;
    }
    const std::uint32_t id = shared.longModified.intern(text);
    std::memcpy(row.modified.data(), &id, sizeof id);
    row.modifiedLength = kModifiedInPool;
}

// Every key a sort needs, worked out once per row so that comparing two rows touches no text
// that has to be folded again.
class RowSortKeys {
public:
    RowSortKeys(const RowStore& rows, const SharedTexts& shared, const SortKeyList::Keys& keys)
        : keys_(keys), names_(rows.size()), modified_(rows.size()) {
        const std::vector<std::uint32_t> folderRanks = foldedRanks(shared.folders);
        const std::vector<std::uint32_t> typeRanks = foldedRanks(shared.types);
        const std::uint32_t rowCount = rows.size();
        folderRanks_.reserve(rowCount);
        typeRanks_.reserve(rowCount);
        sizes_.reserve(rowCount);
        for (std::uint32_t index = 0; index < rowCount; ++index) {
            const Row& row = rows.at(index);
            names_.add(nameOf(row));
            folderRanks_.push_back(folderRanks[row.folder]);
            typeRanks_.push_back(typeRanks[row.type]);
            modified_.add(modifiedOf(row, shared));
            sizes_.push_back(sizeKeyOrder(row.size));
        }
    }

    bool before(std::uint32_t left, std::uint32_t right) const {
        for (const SortKeyList::Key& key : keys_) {
            const int order = compareOn(key.column, left, right);
            if (order != 0) {
                return key.ascending ? order < 0 : order > 0;
            }
        }
        return false;
    }

private:
    int compareOn(int column, std::uint32_t left, std::uint32_t right) const {
        switch (column) {
            case ResultTable::kNameColumn:
                return names_.compare(left, right);
            case ResultTable::kFolderColumn:
                return compareValues(folderRanks_[left], folderRanks_[right]);
            case ResultTable::kTypeColumn:
                return compareValues(typeRanks_[left], typeRanks_[right]);
            case ResultTable::kModifiedColumn:
                return modified_.compare(left, right);
            case ResultTable::kSizeColumn:
            case ResultTable::kSizeByteColumn:
                return compareValues(sizes_[left], sizes_[right]);
            default:
                return 0;
        }
    }

    SortKeyList::Keys keys_;
    FoldedColumn names_;
    std::vector<std::uint32_t> folderRanks_;
    std::vector<std::uint32_t> typeRanks_;
    FoldedColumn modified_;
    std::vector<std::uint64_t> sizes_;
};

bool endsWithSeparator(std::string_view name) {
    return !name.empty() && name.back() == platform::currentPlatform().files().separator();
}

}  // namespace

struct ResultTable::Storage {
    RowStore rows;
    NameStore names;
    SharedTexts shared;
    // Display position to row; sorting reorders only this.
    std::vector<std::uint32_t> order;

    const Row* displayed(std::size_t position) const {
        return position < order.size() ? &rows.at(order[position]) : nullptr;
    }
};

ResultTable::ResultTable() : storage_(std::make_unique<Storage>()) {}
ResultTable::ResultTable(ResultTable&&) noexcept = default;
ResultTable& ResultTable::operator=(ResultTable&&) noexcept = default;
ResultTable::~ResultTable() = default;

std::string_view ResultTable::columnTitle(int column) {
    if (column < 0 || column >= kColumnCount) {
        return {};
    }
    return kColumnTitles[static_cast<std::size_t>(column)];
}

void ResultTable::append(const FoundFile& file, std::string_view typeText, int iconIndex) {
    Storage& storage = *storage_;
    Row row;
    std::string_view name = file.name;
    row.isFolder = endsWithSeparator(name);
    if (row.isFolder) {
        name.remove_suffix(1);
    }
    row.name = storage.names.store(name);
    row.nameLength = static_cast<std::uint32_t>(name.size());
    row.folder = storage.shared.folders.intern(file.inFolder);
    row.type = storage.shared.types.intern(typeText);
    row.icon = iconIndex;
    row.size = parseSizeKey(file.sizeKey);
    storeModified(row, file.modified, storage.shared);
    storage.order.push_back(storage.rows.add(row));
}

std::size_t ResultTable::rowCount() const {
    return storage_->order.size();
}

std::string ResultTable::cellText(std::size_t row, int column) const {
    const Row* shown = storage_->displayed(row);
    if (shown == nullptr) {
        return {};
    }
    switch (column) {
        case kNameColumn:
            return std::string(nameOf(*shown));
        case kFolderColumn:
            return storage_->shared.folders.text(shown->folder);
        case kTypeColumn:
            return storage_->shared.types.text(shown->type);
        case kModifiedColumn:
            return std::string(modifiedOf(*shown, storage_->shared));
        case kSizeColumn:
            return shown->isFolder ? std::string() : formatSizeText(shown->size);
        case kSizeByteColumn:
            return formatSizeKey(shown->size);
        default:
            return {};
    }
}

int ResultTable::iconIndex(std::size_t row) const {
    const Row* shown = storage_->displayed(row);
    return shown == nullptr ? kNoIcon : shown->icon;
}

bool ResultTable::isFolder(std::size_t row) const {
    const Row* shown = storage_->displayed(row);
    return shown != nullptr && shown->isFolder;
}

std::string ResultTable::rowPath(std::size_t row) const {
    const Row* shown = storage_->displayed(row);
    if (shown == nullptr) {
        return {};
    }
    return storage_->shared.folders.text(shown->folder) + std::string(nameOf(*shown));
}

void ResultTable::clear() {
    storage_ = std::make_unique<Storage>();
}

// The rows stay in the store until the table is cleared: only the list of places forgets them.
void ResultTable::removeRows(const std::vector<std::size_t>& rows) {
    std::vector<std::uint32_t>& order = storage_->order;
    std::vector<bool> removed(order.size(), false);
    for (const std::size_t row : rows) {
        if (row < removed.size()) {
            removed[row] = true;
        }
    }
    std::size_t kept = 0;
    for (std::size_t place = 0; place < order.size(); ++place) {
        if (!removed[place]) {
            order[kept++] = order[place];
        }
    }
    order.resize(kept);
}

void ResultTable::sort(const SortKeyList& keys) {
    const RowSortKeys sortKeys(storage_->rows, storage_->shared, keys.keys());
    std::stable_sort(storage_->order.begin(), storage_->order.end(),
                     [&sortKeys](std::uint32_t left, std::uint32_t right) {
                         return sortKeys.before(left, right);
                     });
}

}  // namespace quillfen
