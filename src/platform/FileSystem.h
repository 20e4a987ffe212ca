#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quillfen::platform {

enum class EntryKind { Missing, File, Directory, Other };

// The file operations the application frame needs. Paths are raw bytes in the system encoding.
class FileSystem {
public:
    // Receives the current contents (nullopt when the file does not exist) and returns the new
    // contents, or nullopt to leave the file untouched.
    using FileEdit =
        std::function<std::optional<std::string>(const std::optional<std::string>& current)>;

    virtual ~FileSystem() = default;

    virtual char separator() const = 0;
    // Follows symbolic links, as a user who types a linked folder expects.
    virtual EntryKind kindOf(const std::string& path) const = 0;
    virtual bool createDirectory(const std::string& path) = 0;
    virtual bool isWritableDirectory(const std::string& path) const = 0;
    virtual std::optional<std::string> readFile(const std::string& path) const = 0;
    // Reads, edits and replaces the file as one step. Concurrent editors of the same file, in this
    // or another process, run one after the other; a reader sees either the old or the new file,
    // never a torn one. Returns false when the file could not be read or replaced.
    virtual bool editFile(const std::string& path, const FileEdit& edit) = 0;
    virtual bool copyFile(const std::string& from, const std::string& to) = 0;
    virtual bool removeFile(const std::string& path) = 0;
};

}  // namespace quillfen::platform
