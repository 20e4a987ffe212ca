// Stands in for the downloader in the update tests, on every system. Called as the program calls
// the downloader (its own path, then the mode, the link, the target, the size and the program),
// it appends each argument after its own path, one per line, to the file "calls" beside itself,
// and writes as many zero bytes to the target as the file "work/bytes" beside itself says.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    const std::filesystem::path folder = std::filesystem::path(argv[0]).parent_path();
    std::ofstream calls(folder / "calls", std::ios::binary | std::ios::app);
    for (int i = 1; i < argc; ++i) {
        calls << argv[i] << '\n';
    }
    if (argc < 4) {
        return 2;
    }
    std::ifstream bytesFile(folder / "work" / "bytes");
    long long count = 0;
    bytesFile >> count;
    std::ofstream target(argv[3], std::ios::binary | std::ios::trunc);
    target << std::string(static_cast<std::size_t>(count), '\0');
    return target.good() ? 0 : 1;
}
