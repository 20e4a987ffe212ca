// Every input is an index file as the cache may hold it after any damage. A file the reader
// accepts must be exactly what the writer makes of what was read, and replaying any of its
// folders must visit each entry of that folder's range once, in order, whatever the file claims.
#include <string>

#include "FuzzSupport.h"
#include "index/IndexFormat.h"
#include "index/IndexReplay.h"

namespace {

// Counts the visits and checks each lies in the replayed folder, spelt from its path.
class CountingVisitor : public quillfen::FolderVisitor {
public:
    explicit CountingVisitor(std::string spelling) : spelling_(std::move(spelling)) {}

    void enterFolder(const std::string& folder) override {
        FUZZ_CHECK(folder.starts_with(spelling_));
        ++folders;
    }
    void visitEntry(const std::string& folder, const quillfen::platform::FolderEntry&) override {
        FUZZ_CHECK(folder.starts_with(spelling_));
        ++entries;
    }

    std::size_t folders = 0;
    std::size_t entries = 0;

private:
    std::string spelling_;
};

void checkReplay(const quillfen::IndexData& index, std::uint32_t folder) {
    const quillfen::IndexData::Folder& range = index.folders[folder];
    const std::atomic<bool> stop{false};
    CountingVisitor visitor("/nonexistent-fuzz-root/");
    quillfen::IndexReplay(index, folder, "/nonexistent-fuzz-root/", true).walk(visitor, {}, stop);
    FUZZ_CHECK(visitor.folders >= 1 && visitor.entries <= range.end - range.first);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    quillfen::fuzz::installLinuxPlatform();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<quillfen::IndexData> index = quillfen::IndexFormat::decode(bytes);
    FUZZ_CHECK(index.has_value() == quillfen::IndexFormat::decode(std::string(bytes)).has_value());
    if (!index) {
        return 0;
    }
    FUZZ_CHECK(quillfen::IndexFormat::encode(*index) == bytes);
    FUZZ_CHECK(quillfen::IndexFormat::rootOf(bytes) == index->root);
    FUZZ_CHECK(index->folderPaths('/').size() == index->folders.size());
    checkReplay(*index, 0);
    checkReplay(*index, static_cast<std::uint32_t>(index->folders.size() - 1));
    return 0;
}
