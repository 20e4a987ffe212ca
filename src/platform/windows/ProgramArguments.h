#pragma once

#include <string>
#include <vector>

namespace quillfen::platform {

// The process's arguments in UTF-8 (WTF-8 for names that are not valid UTF-16), as an argument
// vector, whatever the code pages: the runtime's own split passes them through the ANSI code page
// and loses every character it lacks.
class ProgramArguments {
public:
    ProgramArguments();

    int count() const { return static_cast<int>(arguments_.size()); }
    const char* const* vector() const { return pointers_.data(); }

private:
    std::vector<std::string> arguments_;
    std::vector<const char*> pointers_;
};

}  // namespace quillfen::platform
