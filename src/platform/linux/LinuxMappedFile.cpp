#include "platform/linux/LinuxMappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>

#include "platform/linux/FileDescriptor.h"

namespace quillfen::platform {

std::unique_ptr<MappedFile> LinuxMappedFile::open(const std::string& path) {
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return nullptr;
    }
    const auto size = static_cast<std::size_t>(info.st_size);
    if (size == 0) {
        return std::unique_ptr<MappedFile>(new LinuxMappedFile(std::string_view()));
    }
    void* data = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd.get(), 0);
    if (data == MAP_FAILED) {
        return nullptr;
    }
    return std::unique_ptr<MappedFile>(new LinuxMappedFile({static_cast<const char*>(data), size}));
}

LinuxMappedFile::~LinuxMappedFile() {
    if (!bytes().empty()) {
        ::munmap(const_cast<char*>(bytes().data()), bytes().size());
    }
}

}  // namespace quillfen::platform
