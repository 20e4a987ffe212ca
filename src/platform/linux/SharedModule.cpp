#include "platform/linux/SharedModule.h"

#include <dlfcn.h>
#include <errno.h>

#include <cstdio>

#include "platform/linux/LinuxSystemInfo.h"

namespace quillfen::platform {

SharedModule::SharedModule(std::string fileName, std::string withoutIt)
    : fileName_(std::move(fileName)), withoutIt_(std::move(withoutIt)) {}

std::string SharedModule::folderBeside(const std::string& executablePath) {
    const auto separator = executablePath.rfind('/');
    return separator == std::string::npos ? std::string(".") : executablePath.substr(0, separator);
}

std::string SharedModule::folderUnderPrefix(const std::string& executablePath) {
    return folderBeside(executablePath) + "/" + QUILLFEN_MODULE_DIR;
}

void* SharedModule::symbol(const char* name) {
    std::call_once(loaded_, [this] { load(); });
    if (handle_ == nullptr) {
        return nullptr;
    }
    void* address = ::dlsym(handle_, name);
    if (address == nullptr) {
        report(std::string(fileName_) + " has no " + name);
    }
    return address;
}

// Modules stay loaded until the process ends: the services they hand out are their own statics.
void SharedModule::load() {
    const std::string program = LinuxSystemInfo().executablePath();
    std::string problems;
    for (const std::string& folder : {folderBeside(program), folderUnderPrefix(program)}) {
        const std::string path = folder + "/" + fileName_;
        handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle_ != nullptr) {
            return;
        }
        const char* error = ::dlerror();
        problems += (problems.empty() ? "" : "; ") + std::string(error != nullptr ? error : path);
    }
    report("cannot load " + fileName_ + " (" + problems + ")");
}

void SharedModule::report(const std::string& problem) const {
    std::fprintf(stderr, "%s: %s; %s\n", program_invocation_short_name, problem.c_str(),
                 withoutIt_.c_str());
}

}  // namespace quillfen::platform
