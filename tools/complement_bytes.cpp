// Build tool: writes a copy of a file with every byte complemented, the form in which the
// program carries its downloader archive.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: complement_bytes INPUT OUTPUT\n", stderr);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        std::fprintf(stderr, "complement_bytes: cannot read %s\n", argv[1]);
        return 1;
    }
    for (char& byte : bytes) {
        byte = static_cast<char>(~static_cast<unsigned char>(byte));
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return out.good() ? 0 : 1;
}
