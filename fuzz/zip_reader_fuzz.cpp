// libFuzzer target: every input is an archive file that the reader opens and walks the way the
// update does, entry by entry. Anything but a CZipException, a sanitizer report or a hang is a bug.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "FuzzPlatform.h"
#include "update/ZipReader.h"

namespace {

constexpr int kEntriesWalked = 8;
constexpr std::size_t kReadStep = 2048;
// A few hundred input bytes may claim gigabytes of inflated data; the reader must stay correct
// past this, but the fuzzer's time is better spent on other inputs.
constexpr std::size_t kBytesReadPerEntry = std::size_t{1} << 22;

std::string archivePath;

void removeArchive() {
    ::unlink(archivePath.c_str());
}

bool writeArchive(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(archivePath.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

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
    static quillfen::fuzz::FuzzPlatform platform;
    quillfen::platform::installPlatform(&platform);
    char pattern[] = "/tmp/quillfen-zip-fuzz-XXXXXX";
    const int fd = ::mkstemp(pattern);
    if (fd < 0) {
        std::perror("mkstemp");
        std::abort();
    }
    ::close(fd);
    archivePath = pattern;
    std::atexit(removeArchive);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!writeArchive(data, size)) {
        std::abort();
    }
    try {
        quillfen::ZipReader reader(archivePath);
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
