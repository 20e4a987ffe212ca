// Every input is an index file as the cache may hold it after any damage. A file the reader
// accepts must be exactly what the writer makes of what was read, and replaying any of its
// folders must visit each entry of that folder's range once, in order, whatever the file claims.
#include <string>

#include "FuzzSupport.h"
#include "index/IndexFormat.h"
#include "index/IndexReplay.h"
#include "index/IndexView.h"

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

// Names are scanned with a pattern as well as without, so the vector scan meets every name.
void checkReplay(const quillfen::IndexView& index, std::uint32_t folder) {
    const quillfen::IndexData::Folder range = index.folder(folder);
    const std::atomic<bool> stop{false};
    for (const char* patterns : {"", "*a*", "ab*.t"}) {
        CountingVisitor visitor("/nonexistent-fuzz-root/");
        quillfen::IndexReplay(index, folder, "/nonexistent-fuzz-root/", true)
            .walk(visitor, quillfen::compileNamePatterns(patterns), stop);
        FUZZ_CHECK(visitor.folders >= 1 && visitor.entries <= range.end - range.first);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    quillfen::fuzz::installLinuxPlatform();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<quillfen::IndexView> index = quillfen::IndexView::of(std::string(bytes));
    if (!index) {
        return 0;
    }
    FUZZ_CHECK(quillfen::IndexFormat::encode(index->toData()) == bytes);
    FUZZ_CHECK(quillfen::IndexFormat::rootOf(bytes) == index->root());
    FUZZ_CHECK(index->folderPaths('/').size() == index->folderCount());
    checkReplay(*index, 0);
    checkReplay(*index, index->folderCount() - 1);
    return 0;
}
