// Every input is an archive file that the reader opens and walks the way the update does, entry
// by entry. Anything but a CZipException, a sanitizer report or a hang is a bug.
#include "FuzzSupport.h"
#include "update/CZipException.h"
#include "update/ZipReader.h"

namespace {

constexpr int kEntriesWalked = 8;
constexpr std::size_t kReadStep = 2048;
// A few hundred input bytes may claim gigabytes of inflated data; the reader must stay correct
// past this, but the fuzzer's time is better spent on other inputs.
constexpr std::size_t kBytesReadPerEntry = std::size_t{1} << 22;

void walkEntry(quillfen::ZipReader& reader) {
    quillfen::ZipEntryInfo info;
    char name[260];
    char extra[64];
    char comment[64];
    reader.entryInfo(&info, name, sizeof name, extra, sizeof extra, comment, sizeof comment);
    reader.openEntry();
    char buffer[kReadStep];
    for (std::size_t total = 0; total < kBytesReadPerEntry;) {
        const std::size_t count = reader.readEntry(buffer, sizeof buffer);
        if (count == 0) {
            break;
        }
        total += count;
    }
    reader.closeEntry();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    quillfen::fuzz::installLinuxPlatform();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const quillfen::fuzz::InputFile archive("quillfen-zip-fuzz");
    archive.write({reinterpret_cast<const char*>(data), size});
    try {
        quillfen::ZipReader reader(archive.path());
        for (int entry = 0; entry < kEntriesWalked; ++entry) {
            try {
                walkEntry(reader);
            } catch (const quillfen::CZipException&) {
            }
            if (!reader.goToNextEntry()) {
                break;
            }
        }
        reader.close();
    } catch (const quillfen::CZipException&) {
    }
    return 0;
}
