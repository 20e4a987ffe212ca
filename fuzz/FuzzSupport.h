#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/Platform.h"
#include "platform/linux/LinuxPlatform.h"

// An oracle that fails stops the run the way a sanitizer does, so that libFuzzer keeps the input
// and the replay of the seeds fails its test.
#define FUZZ_CHECK(condition)                                                                   \
    do {                                                                                        \
        if (!(condition)) {                                                                     \
            std::fprintf(stderr, "%s:%d: oracle failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                       \
        }                                                                                       \
    } while (false)

namespace quillfen::fuzz {

// The real Linux platform, offline: the parsers read files and convert text through it.
inline void installLinuxPlatform() {
    static platform::LinuxPlatform linuxPlatform;
    platform::installPlatform(&linuxPlatform);
}

// Takes a fuzz input apart into small fields; every field exists, an exhausted input gives empty
// or zero ones, so that every input is a valid one.
class InputFields {
public:
    InputFields(const std::uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size) {}

    unsigned byte() {
        if (rest_.empty()) {
            return 0;
        }
        const auto value = static_cast<unsigned char>(rest_.front());
        rest_.remove_prefix(1);
        return value;
    }

    // A text whose length is given by the byte in front of it.
    std::string_view text() {
        const std::size_t length = std::min<std::size_t>(byte(), rest_.size());
        const std::string_view taken = rest_.substr(0, length);
        rest_.remove_prefix(length);
        return taken;
    }

    std::string_view rest() {
        const std::string_view taken = rest_;
        rest_ = {};
        return taken;
    }

    bool empty() const { return rest_.empty(); }

private:
    std::string_view rest_;
};

// A file in the temporary folder that holds the current input, for readers that take a path.
class InputFile {
public:
    explicit InputFile(const char* stem, const std::string& suffix = {}) {
        std::string pattern = std::string("/tmp/") + stem + "-XXXXXX" + suffix;
        const int descriptor = ::mkstemps(pattern.data(), static_cast<int>(suffix.size()));
        if (descriptor < 0) {
            std::perror("mkstemp");
            std::abort();
        }
        ::close(descriptor);
        path_ = pattern;
    }
    ~InputFile() { ::unlink(path_.c_str()); }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    const std::string& path() const { return path_; }

    void write(std::string_view bytes) const {
        std::FILE* file = std::fopen(path_.c_str(), "wb");
        FUZZ_CHECK(file != nullptr);
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        FUZZ_CHECK(std::fclose(file) == 0 && written);
    }

private:
    std::string path_;
};

}  // namespace quillfen::fuzz
