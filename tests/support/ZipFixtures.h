#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace quillfen::test {

// The archives the build made for the ZIP reader's tests (tests/support/make_zip_fixtures.py),
// and the member contents they hold, computed here the same way as there.
class ZipFixtures {
public:
    static std::string archive(const std::string& name) {
        const std::string path = std::string(QUILLFEN_ZIP_FIXTURES) + "/" + name;
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            throw std::runtime_error("test archive missing: " + path);
        }
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    static std::string text(std::size_t size) {
        std::string out;
        for (int line = 0; out.size() < size; ++line) {
            out += "line " + std::to_string(line) + " of the notes\n";
        }
        return out.substr(0, size);
    }

    static std::string noise(std::size_t size) {
        std::string out(size, '\0');
        std::uint32_t state = 2463534242u;
        for (char& c : out) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            c = static_cast<char>(state);
        }
        return out;
    }
};

}  // namespace quillfen::test
