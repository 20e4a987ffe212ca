#include <string>
#include <vector>

#include "downloader/Download.h"
#include "platform/windows/WideText.h"

// Windows hands the arguments over in UTF-16; the downloader works in UTF-8 as everywhere else.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    arguments.reserve(static_cast<std::size_t>(argc));
    for (int i = 0; i < argc; ++i) {
        arguments.push_back(quillfen::platform::fromWide(argv[i]));
    }
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) {
        pointers.push_back(argument.c_str());
    }
    return quillfen::downloader::runDownloader(argc, pointers.data());
}
