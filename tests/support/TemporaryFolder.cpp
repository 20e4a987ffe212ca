#include "support/TemporaryFolder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace quillfen::test {

namespace {

namespace fs = std::filesystem;

// Paths are UTF-8 in the engine, whatever the system's narrow encoding.
std::string utf8Of(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

fs::path pathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string randomName() {
    static constexpr char kAlphabet[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::random_device source;
    std::string name = "quillfen-test-";
    for (int index = 0; index < 8; ++index) {
        name += kAlphabet[source() % (sizeof kAlphabet - 1)];
    }
    return name;
}

}  // namespace

TemporaryFolder::TemporaryFolder() {
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate = base / randomName();
        std::error_code error;
        if (fs::create_directory(candidate, error)) {
            path_ = utf8Of(candidate);
            return;
        }
        if (error) {
            throw std::runtime_error("cannot create " + utf8Of(candidate) + ": " + error.message());
        }
    }
    throw std::runtime_error("no free temporary folder name under " + utf8Of(base));
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    // Tests may leave folders without permissions behind; give them back so they can go.
    for (auto it = fs::recursive_directory_iterator(
             pathOf(path_), fs::directory_options::skip_permission_denied, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
    }
    fs::remove_all(pathOf(path_), ignored);
}

std::string TemporaryFolder::operator/(const std::string& name) const {
    std::string path = path_ + static_cast<char>(fs::path::preferred_separator) + name;
    std::replace(path.begin(), path.end(), '/', static_cast<char>(fs::path::preferred_separator));
    return path;
}

void TemporaryFolder::writeFile(const std::string& name, const std::string& contents) const {
    const fs::path target = pathOf(*this / name);
    fs::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out << contents;
}

std::string TemporaryFolder::readFile(const std::string& name) const {
    std::ifstream in(pathOf(*this / name), std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

}  // namespace quillfen::test
