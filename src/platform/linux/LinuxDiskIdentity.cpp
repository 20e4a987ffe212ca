#include "platform/linux/LinuxDiskIdentity.h"

#include <fcntl.h>
#include <linux/hdreg.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string_view>
#include <utility>

#include "platform/linux/FileDescriptor.h"

namespace quillfen::platform {

namespace fs = std::filesystem;

namespace {

using IdentifyWords = DiskIdentity::IdentifyWords;

constexpr std::array<std::string_view, 11> kNotDiskPrefixes = {
    "loop", "ram", "zram", "dm-", "sr", "fd", "md", "nbd", "zd", "rbd", "drbd",
};

constexpr unsigned char kAtaPassThrough16 = 0x85;
constexpr unsigned char kPioDataIn = 4;
// Transfer from the device, counted in blocks, the count being in the sector count field.
constexpr unsigned char kIdentifyTransfer = 0x0E;
constexpr unsigned char kIdentifyDevice = 0xEC;
constexpr unsigned int kPassThroughTimeoutMs = 10000;

std::string firstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

bool hasText(const std::string& text) {
    return text.find_first_not_of(" \t\n\r\v\f") != std::string::npos;
}

bool isNamedWithNumber(const std::string& part, std::string_view stem) {
    return part.size() > stem.size() && part.starts_with(stem) &&
           std::all_of(part.begin() + static_cast<std::ptrdiff_t>(stem.size()), part.end(),
                       [](unsigned char c) { return std::isdigit(c) != 0; });
}

// The device's place in the hardware tree, such as
// devices/pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0/block/sda.
fs::path hardwarePath(const fs::path& diskFolder) {
    std::error_code error;
    fs::path path = fs::canonical(diskFolder, error);
    return error ? fs::path() : path;
}

bool reachedOverUsb(const fs::path& diskFolder) {
    const fs::path path = hardwarePath(diskFolder);
    return std::any_of(path.begin(), path.end(),
                       [](const fs::path& part) { return isNamedWithNumber(part, "usb"); });
}

std::optional<fs::path> ataPortFolder(const fs::path& diskFolder) {
    fs::path port;
    for (const fs::path& part : hardwarePath(diskFolder)) {
        port /= part;
        if (isNamedWithNumber(part, "ata")) {
            return port;
        }
    }
    return std::nullopt;
}

std::vector<fs::path> children(const fs::path& folder) {
    std::vector<fs::path> found;
    std::error_code error;
    for (fs::directory_iterator it(folder, error); !error && it != fs::directory_iterator();
         it.increment(error)) {
        found.push_back(it->path());
    }
    return found;
}

std::vector<fs::path> childrenStartingWith(const fs::path& folder, std::string_view stem) {
    std::vector<fs::path> found = children(folder);
    std::erase_if(
        found, [&](const fs::path& child) { return !child.filename().string().starts_with(stem); });
    return found;
}

// libata keeps the identify data of each device of a port at link*/dev*/ata_device/dev*/id.
std::vector<fs::path> identifyFiles(const fs::path& port) {
    std::vector<fs::path> files;
    for (const fs::path& link : childrenStartingWith(port, "link")) {
        for (const fs::path& device : childrenStartingWith(link, "dev")) {
            const fs::path file = device / "ata_device" / device.filename() / "id";
            if (std::error_code error; fs::is_regular_file(file, error)) {
                files.push_back(file);
            }
        }
    }
    return files;
}

std::string fileText(const fs::path& file) {
    std::ifstream in(file);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::optional<IdentifyWords> identifyFromKernelCopy(int fd) {
    std::array<unsigned char, sizeof(IdentifyWords)> raw{};
    if (::ioctl(fd, HDIO_GET_IDENTITY, raw.data()) != 0) {
        return std::nullopt;
    }
    IdentifyWords words{};
    std::memcpy(words.data(), raw.data(), raw.size());
    return words;
}

std::optional<IdentifyWords> identifyFromPassThrough(int fd) {
    std::array<unsigned char, 16> command{kAtaPassThrough16, kPioDataIn << 1, kIdentifyTransfer};
    command[6] = 1;
    command[14] = kIdentifyDevice;
    std::array<unsigned char, sizeof(IdentifyWords)> data{};
    std::array<unsigned char, 32> sense{};
    sg_io_hdr_t request{};
    request.interface_id = 'S';
    request.dxfer_direction = SG_DXFER_FROM_DEV;
    request.cmd_len = command.size();
    request.mx_sb_len = sense.size();
    request.dxfer_len = data.size();
    request.dxferp = data.data();
    request.cmdp = command.data();
    request.sbp = sense.data();
    request.timeout = kPassThroughTimeoutMs;
    if (::ioctl(fd, SG_IO, &request) != 0 || (request.info & SG_INFO_OK_MASK) != SG_INFO_OK) {
        return std::nullopt;
    }
    IdentifyWords words{};
    for (std::size_t i = 0; i < words.size(); ++i) {
        words[i] = static_cast<std::uint16_t>(data[2 * i] | data[2 * i + 1] << 8);
    }
    return words;
}

}  // namespace

LinuxDiskIdentity::LinuxDiskIdentity(fs::path root) : root_(std::move(root)) {}

fs::path LinuxDiskIdentity::diskFolder(const std::string& name) const {
    return root_ / "sys" / "block" / name;
}

bool LinuxDiskIdentity::isFixedDisk(const std::string& name) const {
    const bool notDisk =
        std::any_of(kNotDiskPrefixes.begin(), kNotDiskPrefixes.end(),
                    [&](std::string_view prefix) { return name.starts_with(prefix); });
    const fs::path folder = diskFolder(name);
    // Multipath NVMe shows each path as a hidden disk beside the one that joins them.
    return !notDisk && firstLine(folder / "removable") == "0" &&
           firstLine(folder / "hidden") != "1" && !reachedOverUsb(folder);
}

std::vector<std::string> LinuxDiskIdentity::fixedDiskNames() const {
    std::vector<std::string> names;
    for (const fs::path& entry : children(root_ / "sys" / "block")) {
        if (std::string name = entry.filename().string(); isFixedDisk(name)) {
            names.push_back(std::move(name));
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<IdentifyWords> LinuxDiskIdentity::parseIdentifyWords(const std::string& text) {
    std::istringstream numbers(text);
    IdentifyWords words{};
    std::size_t count = 0;
    for (std::string number; numbers >> number; ++count) {
        if (count == words.size() || number.size() > 4 ||
            !std::all_of(number.begin(), number.end(),
                         [](unsigned char c) { return std::isxdigit(c) != 0; })) {
            return std::nullopt;
        }
        words[count] = static_cast<std::uint16_t>(std::stoul(number, nullptr, 16));
    }
    return count == words.size() ? std::optional(words) : std::nullopt;
}

// With several devices on one port, as on a port multiplier or a master and slave cable, which
// of them is this disk is not worth guessing; the device requests can still answer.
std::optional<IdentifyWords> LinuxDiskIdentity::libataIdentify(const std::string& name) const {
    const std::optional<fs::path> port = ataPortFolder(diskFolder(name));
    if (!port) {
        return std::nullopt;
    }
    const std::vector<fs::path> files = identifyFiles(*port);
    return files.size() == 1 ? parseIdentifyWords(fileText(files.front())) : std::nullopt;
}

// Read-only and non-blocking, so that opening the device neither waits for media nor marks it
// as written.
std::optional<IdentifyWords> LinuxDiskIdentity::deviceIdentify(const std::string& name) const {
    const fs::path device = root_ / "dev" / name;
    const FileDescriptor fd(::open(device.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (!fd.valid() || ::fstat(fd.get(), &status) != 0 || !S_ISBLK(status.st_mode)) {
        return std::nullopt;
    }
    if (std::optional<IdentifyWords> words = identifyFromKernelCopy(fd.get())) {
        return words;
    }
    return identifyFromPassThrough(fd.get());
}

std::vector<std::optional<IdentifyWords>> LinuxDiskIdentity::identifyData() const {
    std::vector<std::optional<IdentifyWords>> data;
    for (const std::string& name : fixedDiskNames()) {
        std::optional<IdentifyWords> words = libataIdentify(name);
        data.push_back(words ? words : deviceIdentify(name));
    }
    return data;
}

// The database file of a block device is named after its device numbers, as "b8:0".
std::map<std::string, std::string> LinuxDiskIdentity::udevProperties(
    const std::string& name) const {
    std::map<std::string, std::string> properties;
    const std::string numbers = firstLine(diskFolder(name) / "dev");
    if (numbers.empty()) {
        return properties;
    }
    std::ifstream database(root_ / "run" / "udev" / "data" / ("b" + numbers));
    for (std::string line; std::getline(database, line);) {
        const std::size_t equals = line.find('=');
        if (line.starts_with("E:") && equals != std::string::npos) {
            properties.emplace(line.substr(2, equals - 2), line.substr(equals + 1));
        }
    }
    return properties;
}

DiskIdentity::Texts LinuxDiskIdentity::texts(const std::string& name) const {
    const fs::path folder = diskFolder(name);
    Texts texts;
    texts.serial = firstLine(folder / "device" / "serial");
    if (!hasText(texts.serial)) {
        texts.serial = firstLine(folder / "serial");
    }
    texts.model = firstLine(folder / "device" / "model");
    if (!hasText(texts.serial) || !hasText(texts.model)) {
        std::map<std::string, std::string> udev = udevProperties(name);
        if (!hasText(texts.serial)) {
            texts.serial = std::move(udev["ID_SERIAL_SHORT"]);
        }
        if (!hasText(texts.model)) {
            texts.model = std::move(udev["ID_MODEL"]);
        }
    }
    return texts;
}

std::vector<DiskIdentity::Texts> LinuxDiskIdentity::diskTexts() const {
    std::vector<Texts> list;
    for (const std::string& name : fixedDiskNames()) {
        list.push_back(texts(name));
    }
    return list;
}

std::string LinuxDiskIdentity::installationIdentifier() const {
    for (const fs::path& file :
         {root_ / "etc" / "machine-id", root_ / "var" / "lib" / "dbus" / "machine-id"}) {
        if (std::string line = firstLine(file); hasText(line)) {
            return line;
        }
    }
    return {};
}

}  // namespace quillfen::platform
