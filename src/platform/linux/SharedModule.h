#pragma once

#include <mutex>
#include <string>

namespace quillfen::platform {

// A shared module of the program, loaded on first use from the programs' folder (a build folder,
// an unpacked archive) or from the program's library folder under the installation prefix. One
// that cannot be loaded is named once on standard error, with what the program does without it.
class SharedModule {
public:
    // `withoutIt` completes "...; " in the message, such as "file types are not shown".
    SharedModule(std::string fileName, std::string withoutIt);
    SharedModule(const SharedModule&) = delete;
    SharedModule& operator=(const SharedModule&) = delete;

    // The address of the module's exported symbol; nullptr when the module cannot be loaded or
    // lacks the symbol. Safe from any thread.
    void* symbol(const char* name);

    // The folders looked in, in order, for a program at `executablePath`.
    static std::string folderBeside(const std::string& executablePath);
    static std::string folderUnderPrefix(const std::string& executablePath);

private:
    void load();
    void report(const std::string& problem) const;

    std::string fileName_;
    std::string withoutIt_;
    std::once_flag loaded_;
    void* handle_ = nullptr;
};

}  // namespace quillfen::platform
