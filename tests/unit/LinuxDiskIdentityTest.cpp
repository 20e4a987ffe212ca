#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/DiskIdentity.h"
#include "platform/linux/LinuxDiskIdentity.h"
#include "support/IdentifyWords.h"
#include "support/TemporaryFolder.h"
#include "update/MachineIdentifier.h"

namespace quillfen {
namespace {

using platform::DiskIdentity;
using Words = DiskIdentity::IdentifyWords;
using Texts = DiskIdentity::Texts;

using test::identify;
using test::putField;

std::string libataText(const Words& words) {
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i) {
        char number[8];
        std::snprintf(number, sizeof number, "%04x%c", words[i], (i + 1) % 8 ? ' ' : '\n');
        text += number;
    }
    return text;
}

class DiskTree {
public:
    void disk(const std::string& name, const std::string& removable = "0\n") const {
        folder_.writeFile("sys/block/" + name + "/removable", removable);
    }
    // A disk whose sysfs entry links into the hardware tree, as the kernel shows every disk.
    void linkedDisk(const std::string& name, const std::string& hardwarePath) const {
        folder_.writeFile("sys/devices/" + hardwarePath + "/block/" + name + "/removable", "0\n");
        std::filesystem::create_directories(folder_ / "sys/block");
        std::filesystem::create_directory_symlink("../devices/" + hardwarePath + "/block/" + name,
                                                  folder_ / ("sys/block/" + name));
    }
    void file(const std::string& name, const std::string& contents) const {
        folder_.writeFile(name, contents);
    }
    platform::LinuxDiskIdentity identity() const {
        return platform::LinuxDiskIdentity(folder_.path());
    }

private:
    test::TemporaryFolder folder_;
};

TEST(DiskIdentityLinux, ListsFixedDisksWithSysfsAndUdevTexts) {
    DiskTree tree;
    tree.disk("nvme0n1");
    tree.file("sys/block/nvme0n1/device/serial", "S4EWNX0N123456      \n");
    tree.file("sys/block/nvme0n1/device/model", "Samsung SSD 970 EVO Plus 1TB            \n");
    tree.disk("sda");
    tree.file("sys/block/sda/device/model", "WDC WD10EZEX-08W\n");
    tree.file("sys/block/sda/dev", "8:0\n");
    tree.file("run/udev/data/b8:0",
              "S:disk/by-id/x\nE:ID_SERIAL_SHORT=WD-WCC4N1\nE:ID_MODEL=WDC_W\n");
    tree.disk("sdd");
    tree.file("sys/block/sdd/dev", "8:48\n");
    tree.file("run/udev/data/b8:48", "E:ID_MODEL=Model_D\nE:ID_SERIAL_SHORT=ABC\n");
    tree.disk("vda");
    tree.file("sys/block/vda/serial", "overlayblk\n");
    for (const char* skipped : {"loop0", "zram0", "dm-0", "sr0", "md127"}) {
        tree.disk(skipped);
        tree.file(std::string("sys/block/") + skipped + "/device/serial", "X\n");
        tree.file(std::string("sys/block/") + skipped + "/device/model", "X\n");
    }
    tree.disk("sdb", "1\n");
    tree.disk("nvme0c0n1");
    tree.file("sys/block/nvme0c0n1/hidden", "1\n");
    tree.linkedDisk("sdc", "pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0");

    const platform::LinuxDiskIdentity disks = tree.identity();
    EXPECT_EQ(disks.fixedDiskNames(), (std::vector<std::string>{"nvme0n1", "sda", "sdd", "vda"}));
    const std::vector<Texts> texts = disks.diskTexts();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0].serial, "S4EWNX0N123456      ");
    EXPECT_EQ(texts[1].serial + "|" + texts[1].model, "WD-WCC4N1|WDC WD10EZEX-08W");
    EXPECT_EQ(texts[2].serial + "|" + texts[2].model, "ABC|Model_D");
    EXPECT_EQ(texts[3].serial + "|" + texts[3].model, "overlayblk|");
    EXPECT_EQ(machineIdentifier(disks), "S4EWNX0N123456,Samsung SSD 970 EVO Plus 1TB");
}

TEST(DiskIdentityLinux, ReadsIdentifyDataThatLibataKeeps) {
    DiskTree tree;
    const Words words = identify("  WD-WCC4N1234567", "WDC WD10EZEX-08WN4A0");
    tree.linkedDisk("sda", "pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0");
    tree.file("sys/devices/pci0000:00/0000:00:17.0/ata1/link1/dev1.0/ata_device/dev1.0/id",
              libataText(words));
    // Two devices behind one port cannot be told apart, and a plain file is no device.
    tree.linkedDisk("sdb", "pci0000:00/0000:00:17.0/ata2/host1/target1:0:0/1:0:0:0");
    for (const char* device : {"dev2.0", "dev2.1"}) {
        tree.file(std::string("sys/devices/pci0000:00/0000:00:17.0/ata2/link2/") + device +
                      "/ata_device/" + device + "/id",
                  libataText(words));
    }
    tree.file("dev/sdb", std::string(512, 'A'));

    const platform::LinuxDiskIdentity disks = tree.identity();
    const std::vector<std::optional<Words>> data = disks.identifyData();
    ASSERT_EQ(data.size(), 2u);
    EXPECT_EQ(data[0], words);
    EXPECT_FALSE(data[1].has_value());
    EXPECT_EQ(machineIdentifier(disks), "WD-WCC4N1234567,WDC WD10EZEX-08WN4A0");
}

TEST(DiskIdentityLinux, RejectsMalformedLibataText) {
    const Words words = identify("S", "M");
    const std::string good = libataText(words);
    EXPECT_EQ(platform::LinuxDiskIdentity::parseIdentifyWords(good), words);
    for (const std::string& bad :
         {good.substr(0, good.size() - 5), good + " 0000", "12345 " + good.substr(5),
          "-001 " + good.substr(5), "zzzz " + good.substr(5)}) {
        EXPECT_FALSE(platform::LinuxDiskIdentity::parseIdentifyWords(bad).has_value());
    }
}

TEST(DiskIdentityLinux, NothingReadableGivesEmptyIdentifier) {
    DiskTree tree;
    EXPECT_EQ(machineIdentifier(tree.identity()), "");
    tree.disk("vda");
    tree.file("sys/block/vda/serial", "overlayblk\n");
    EXPECT_EQ(machineIdentifier(tree.identity()), "");
    tree.file("etc/machine-id", "\n");
    EXPECT_EQ(machineIdentifier(tree.identity()), "");
}

// Two virtual machines whose disks report no serial still differ by their installation.
TEST(DiskIdentityLinux, SilentDisksFallBackToTheMachineId) {
    DiskTree tree;
    tree.disk("vda");
    tree.file("var/lib/dbus/machine-id", "0123456789abcdef0123456789abcdef\n");
    EXPECT_EQ(machineIdentifier(tree.identity()), "0123456789abcdef0123456789abcdef");
    tree.file("etc/machine-id", "fedcba9876543210fedcba9876543210\n");
    EXPECT_EQ(machineIdentifier(tree.identity()), "fedcba9876543210fedcba9876543210");
}

}  // namespace
}  // namespace quillfen
