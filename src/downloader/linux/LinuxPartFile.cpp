#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "downloader/PartFile.h"

namespace quillfen::downloader {

namespace {

class LinuxPartFile final : public PartFile {
public:
    LinuxPartFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    LinuxPartFile(const LinuxPartFile&) = delete;
    LinuxPartFile& operator=(const LinuxPartFile&) = delete;

    ~LinuxPartFile() override {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        if (!replaced_) {
            ::unlink(path_.c_str());
        }
    }

    bool write(std::string_view piece) override {
        while (!piece.empty()) {
            const ssize_t result = ::write(fd_, piece.data(), piece.size());
            if (result < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return false;
            }
            piece.remove_prefix(static_cast<std::size_t>(result));
        }
        return true;
    }

    bool finish() override {
        const bool synced = ::fsync(fd_) == 0;
        const bool closed = ::close(fd_) == 0;
        fd_ = -1;
        return synced && closed;
    }

    bool replace(const std::string& destination) override {
        if (fd_ >= 0 || ::rename(path_.c_str(), destination.c_str()) != 0) {
            return false;
        }
        replaced_ = true;
        // The temporary file was made for the owner alone; the download is an ordinary file.
        ::chmod(destination.c_str(), 0644);
        return true;
    }

private:
    int fd_;
    std::string path_;
    bool replaced_ = false;
};

}  // namespace

std::unique_ptr<PartFile> PartFile::createBeside(const std::string& destination) {
    std::string path = destination + ".part-XXXXXX";
    const int fd = ::mkostemp(path.data(), O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    // Held until the file is renamed or removed: it tells the next downloader that this part file
    // is still being written, and a killed downloader's lock goes with it.
    ::flock(fd, LOCK_EX | LOCK_NB);
    return std::make_unique<LinuxPartFile>(fd, std::move(path));
}

}  // namespace quillfen::downloader
