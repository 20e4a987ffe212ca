#include "index/IndexFormat.h"

#define XXH_INLINE_ALL
#include <xxhash.h>

#include <bit>
#include <future>
#include <utility>

#include "index/LittleEndian.h"

namespace quillfen {

namespace {

constexpr std::string_view kMagic{"QFNINDX\x1a", 8};
constexpr std::uint32_t kEntriesTag = 0x52544e45;  // "ENTR"
constexpr std::uint32_t kFoldersTag = 0x444c4f46;  // "FOLD"
constexpr std::uint32_t kNamesTag = 0x454d414e;    // "NAME"
constexpr std::uint32_t kReasonsTag = 0x53414552;  // "REAS"
// A section this large is hashed beside the others on a thread of its own.
constexpr std::size_t kHashAsideBytes = 1 << 20;

std::uint64_t hashOf(std::string_view bytes) {
    return XXH3_64bits(bytes.data(), bytes.size());
}

class Writer {
public:
    template <typename Number>
    void put(Number value) {
        char bytes[sizeof(Number)];
        little_endian::store(bytes, value);
        bytes_.append(bytes, sizeof bytes);
    }
    void putBytes(std::string_view bytes) { bytes_.append(bytes); }
    void putHashSince(std::size_t start) { put(hashOf(std::string_view(bytes_).substr(start))); }
    void reserve(std::size_t size) { bytes_.reserve(size); }
    std::size_t size() const { return bytes_.size(); }
    std::string take() { return std::move(bytes_); }

private:
    std::string bytes_;
};

class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}

    template <typename Number>
    bool get(Number& value) {
        if (bytes_.size() - position_ < sizeof(Number)) {
            return false;
        }
        value = little_endian::load<Number>(bytes_.data() + position_);
        position_ += sizeof(Number);
        return true;
    }
    bool getBytes(std::uint64_t count, std::string_view& taken) {
        if (bytes_.size() - position_ < count) {
            return false;
        }
        taken = bytes_.substr(position_, count);
        position_ += count;
        return true;
    }
    std::size_t position() const { return position_; }
    std::string_view since(std::size_t start) const {
        return bytes_.substr(start, position_ - start);
    }
    bool atEnd() const { return position_ == bytes_.size(); }

private:
    std::string_view bytes_;
    std::size_t position_ = 0;
};

static_assert(sizeof(IndexData::Entry) == IndexFormat::kEntryBytes,
              "an entry in memory is laid out as in the file");

// The fields of each record in their stored order, once for the writer; IndexView reads them at
// the offsets this order gives.
void putEntry(Writer& out, const IndexData::Entry& entry) {
    out.put(entry.parentAndFlags);
    out.put(entry.nameOffset);
    out.put(entry.size);
    out.put(entry.writeTime);
}

void putFolder(Writer& out, const IndexData::Folder& folder) {
    out.put(folder.entry);
    out.put(folder.first);
    out.put(folder.end);
    out.put(folder.writeTime);
    out.put(folder.changeTime);
    out.put(folder.identity.volume);
    out.put(folder.identity.file);
    out.put(folder.identity.fileHigh);
    out.put(folder.reasonOffset);
    out.put(folder.reasonLength);
}

template <typename Record, typename Put>
void putSection(Writer& out, std::uint32_t tag, const std::vector<Record>& records,
                std::size_t recordBytes, Put put) {
    out.put(tag);
    out.put(static_cast<std::uint64_t>(records.size() * recordBytes));
    const std::size_t start = out.size();
    for (const Record& record : records) {
        put(out, record);
    }
    out.putHashSince(start);
}

void putSection(Writer& out, std::uint32_t tag, std::string_view payload) {
    out.put(tag);
    out.put(static_cast<std::uint64_t>(payload.size()));
    const std::size_t start = out.size();
    out.putBytes(payload);
    out.putHashSince(start);
}

struct Header {
    IndexFormat::Sections sections;
    std::uint32_t nameBytes = 0;
    std::uint32_t reasonBytes = 0;
};

std::optional<Header> readHeader(Reader& in) {
    std::string_view magic;
    std::uint32_t version = 0;
    std::uint32_t rootLength = 0;
    std::uint64_t hash = 0;
    Header header;
    IndexFormat::Sections& s = header.sections;
    if (!in.getBytes(kMagic.size(), magic) || magic != kMagic || !in.get(version) ||
        version != IndexFormat::kVersion || !in.get(s.options) || !in.get(s.builtAt) ||
        !in.get(s.volume) || !in.get(s.entryCount) || !in.get(s.folderCount) ||
        !in.get(header.nameBytes) || !in.get(header.reasonBytes) || !in.get(rootLength) ||
        !in.getBytes(rootLength, s.root)) {
        return std::nullopt;
    }
    const std::uint64_t expected = hashOf(in.since(0));
    if (!in.get(hash) || hash != expected || s.root.empty() ||
        s.entryCount > IndexFormat::kMaxCount || s.folderCount > IndexFormat::kMaxCount) {
        return std::nullopt;
    }
    return header;
}

// The next section's payload when it has the tag and the length expected; its hash is checked
// by the caller, so that large sections are hashed side by side.
struct Section {
    std::string_view payload;
    std::uint64_t storedHash = 0;
};

std::optional<Section> readSection(Reader& in, std::uint32_t tag, std::uint64_t length) {
    std::uint32_t storedTag = 0;
    std::uint64_t storedLength = 0;
    Section section;
    if (!in.get(storedTag) || storedTag != tag || !in.get(storedLength) || storedLength != length ||
        !in.getBytes(length, section.payload) || !in.get(section.storedHash)) {
        return std::nullopt;
    }
    return section;
}

bool hashesMatch(const Section* const (&sections)[4]) {
    std::future<bool> aside;
    bool match = true;
    for (const Section* section : sections) {
        if (section->payload.size() >= kHashAsideBytes && !aside.valid()) {
            aside = std::async(std::launch::async, [section] {
                return hashOf(section->payload) == section->storedHash;
            });
            continue;
        }
        match = match && hashOf(section->payload) == section->storedHash;
    }
    return (!aside.valid() || aside.get()) && match;
}

}  // namespace

std::string IndexFormat::encode(const IndexData& index) {
    Writer out;
    out.reserve(index.entries.size() * kEntryBytes + index.folders.size() * kFolderBytes +
                index.names.size() + index.reasons.size() + index.root.size() + 128);
    out.putBytes(kMagic);
    out.put(kVersion);
    out.put(index.options);
    out.put(index.builtAt);
    out.put(index.volume);
    out.put(static_cast<std::uint32_t>(index.entries.size()));
    out.put(static_cast<std::uint32_t>(index.folders.size()));
    out.put(static_cast<std::uint32_t>(index.names.size()));
    out.put(static_cast<std::uint32_t>(index.reasons.size()));
    out.put(static_cast<std::uint32_t>(index.root.size()));
    out.putBytes(index.root);
    out.putHashSince(0);
    if constexpr (std::endian::native == std::endian::little) {
        putSection(out, kEntriesTag,
                   std::string_view(reinterpret_cast<const char*>(index.entries.data()),
                                    index.entries.size() * kEntryBytes));
    } else {
        putSection(out, kEntriesTag, index.entries, kEntryBytes, putEntry);
    }
    putSection(out, kFoldersTag, index.folders, kFolderBytes, putFolder);
    putSection(out, kNamesTag, index.names);
    putSection(out, kReasonsTag, index.reasons);
    return out.take();
}

std::string IndexFormat::encodeFolders(const std::vector<IndexData::Folder>& folders) {
    Writer out;
    out.reserve(folders.size() * kFolderBytes);
    for (const IndexData::Folder& folder : folders) {
        putFolder(out, folder);
    }
    return out.take();
}

std::optional<IndexFormat::Sections> IndexFormat::split(std::string_view bytes, bool checkHashes) {
    Reader in(bytes);
    std::optional<Header> header = readHeader(in);
    if (!header) {
        return std::nullopt;
    }
    Sections& s = header->sections;
    const auto entries = readSection(in, kEntriesTag, std::uint64_t{s.entryCount} * kEntryBytes);
    const auto folders =
        entries ? readSection(in, kFoldersTag, s.folderCount * kFolderBytes) : std::nullopt;
    const auto names = folders ? readSection(in, kNamesTag, header->nameBytes) : std::nullopt;
    const auto reasons = names ? readSection(in, kReasonsTag, header->reasonBytes) : std::nullopt;
    if (!reasons || !in.atEnd() ||
        (checkHashes && !hashesMatch({&*entries, &*folders, &*names, &*reasons}))) {
        return std::nullopt;
    }
    s.entries = entries->payload;
    s.folders = folders->payload;
    s.names = names->payload;
    s.reasons = reasons->payload;
    return s;
}

std::optional<std::string> IndexFormat::rootOf(std::string_view bytes) {
    const std::optional<Sections> read = header(bytes);
    return read ? std::optional<std::string>(read->root) : std::nullopt;
}

std::optional<IndexFormat::Sections> IndexFormat::header(std::string_view bytes) {
    Reader in(bytes);
    const std::optional<Header> read = readHeader(in);
    return read ? std::optional<Sections>(read->sections) : std::nullopt;
}

}  // namespace quillfen
