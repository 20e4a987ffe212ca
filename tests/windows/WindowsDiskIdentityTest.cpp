#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/windows/DiskRequests.h"
#include "platform/windows/WindowsDiskIdentity.h"
#include "update/IdentifyText.h"
#include "update/MachineIdentifier.h"

namespace quillfen::platform {
namespace {

namespace requests = disk_requests;
using Bytes = std::vector<std::uint8_t>;

void putText(Bytes& sector, std::size_t firstWord, const std::string& text) {
    for (std::size_t i = 0; i < text.size(); i += 2) {
        // Each identify word holds two characters, the first in its high byte; words are stored
        // low byte first.
        sector[2 * firstWord + i] = static_cast<std::uint8_t>(text[i + 1]);
        sector[2 * firstWord + i + 1] = static_cast<std::uint8_t>(text[i]);
    }
}

// A SMART_RCV_DRIVE_DATA answer as a driver gives it: SENDCMDOUTPARAMS' 16 bytes, then the
// identify sector with a 20-character serial at word 10 and a 40-character model at word 27.
Bytes smartAnswer(const std::string& serial, const std::string& model) {
    Bytes answer(requests::kSmartOutputSize, 0);
    answer[1] = 0x02;  // cBufferSize 512
    Bytes sector(512, 0);
    putText(sector, 10, serial);
    putText(sector, 27, model);
    std::copy(sector.begin(), sector.end(), answer.begin() + 16);
    return answer;
}

std::string padded(std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
}

TEST(DiskRequests, SmartIdentifyRequestHasTheRegistersOfTheDrive) {
    const Bytes master = requests::smartIdentifyRequest(0, requests::kIdentifyDevice, 32);
    const Bytes expected = {0x00, 0x02, 0, 0,                    // 512 bytes wanted
                            0,    1,    1, 0, 0, 0xA0, 0xEC, 0,  // IDEREGS
                            0,                                   // drive number
                            0,    0,    0, 0, 0, 0,    0,    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(master, expected);

    const Bytes slave = requests::smartIdentifyRequest(3, requests::kIdentifyPacketDevice, 33);
    ASSERT_EQ(slave.size(), 33u);
    EXPECT_EQ(slave[9], 0xB0);
    EXPECT_EQ(slave[10], 0xA1);
    EXPECT_EQ(slave[12], 3);
    EXPECT_EQ(slave[32], 0);
}

TEST(DiskRequests, DeviceMapChoosesThePacketCommandForAtapiDrives) {
    const struct {
        std::uint8_t map;
        int drive;
        std::uint8_t command;
    } cases[] = {
        {0x01, 0, 0xEC}, {0x10, 0, 0xA1}, {0x11, 0, 0xA1}, {0x22, 1, 0xA1},
        {0x22, 0, 0xEC}, {0x80, 3, 0xA1}, {0xFF, 4, 0xEC}, {0xFF, 15, 0xEC},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(requests::identifyCommandFor(c.map, c.drive), c.command)
            << int{c.map} << " " << c.drive;
    }
}

TEST(DiskRequests, DeviceMapIsTheFourthByteOfTheVersionAnswer) {
    Bytes version(requests::kVersionAnswerSize, 0);
    version[0] = 1;
    version[3] = 0x05;
    EXPECT_EQ(requests::ideDeviceMap(version), 0x05);
    EXPECT_EQ(requests::ideDeviceMap(Bytes(3, 0xFF)), 0);
    EXPECT_EQ(requests::ideDeviceMap({}), 0);
}

TEST(DiskRequests, MiniportRequestCarriesTheHeaderAndTheIdentifyCommand) {
    const Bytes request = requests::miniportIdentifyRequest(1, 0x001B0501);
    ASSERT_EQ(request.size(), requests::kMiniportInputSize);
    EXPECT_EQ(request[0], 28);
    EXPECT_EQ(std::string(request.begin() + 4, request.begin() + 12), "SCSIDISK");
    EXPECT_EQ(request[12] | request[13] << 8, 10000);
    EXPECT_EQ(request[16] | request[17] << 8 | request[18] << 16, 0x1B0501);
    EXPECT_EQ(request[24] | request[25] << 8, 529);
    EXPECT_EQ(request[28 + 10], 0xEC);
    EXPECT_EQ(request[28 + 12], 1);
}

TEST(DiskRequests, SmartAnswerGivesTheDiskTexts) {
    const Bytes answer =
        smartAnswer(padded("     WD-WCC4E1234567", 20), padded("WDC WD10EZEX-08WN4A0", 40));
    const auto words = requests::identifyWordsAt(answer, requests::kSmartDataOffset);
    ASSERT_TRUE(words);
    EXPECT_EQ(identifyText(*words, IdentifyVariant::lenient),
              "     WD-WCC4E1234567,WDC WD10EZEX-08WN4A0");
    EXPECT_EQ(firstFamilyText({std::nullopt, words}), "     WD-WCC4E1234567,WDC WD10EZEX-08WN4A0");
}

TEST(DiskRequests, ShortAnswersGiveNoIdentifyData) {
    const Bytes answer = smartAnswer(padded("S1", 20), padded("M1", 40));
    EXPECT_FALSE(requests::identifyWordsAt(Bytes(answer.begin(), answer.end() - 1), 16));
    EXPECT_FALSE(requests::identifyWordsAt(Bytes(10, 0), 16));
    EXPECT_TRUE(requests::identifyWordsAt(answer, 16));
}

TEST(DiskRequests, MiniportAnswerWithoutModelIsNoAnswer) {
    Bytes answer(requests::kMiniportOutputSize, 0);
    EXPECT_FALSE(requests::miniportIdentifyWords(answer));
    // The model's first stored byte is the low byte of word 27: its second character.
    answer[44 + 54] = 'T';
    const auto words = requests::miniportIdentifyWords(answer);
    ASSERT_TRUE(words);
    EXPECT_EQ((*words)[27], 'T');
    EXPECT_FALSE(requests::miniportIdentifyWords(Bytes(100, 1)));
}

// STORAGE_DEVICE_DESCRIPTOR: 36 bytes, then the texts its offsets point at.
Bytes descriptor(bool removable, std::uint8_t busType, const std::string& product,
                 const std::string& serial) {
    Bytes bytes(36, 0);
    bytes[0] = 0x28;
    bytes[10] = removable ? 1 : 0;
    bytes[28] = busType;
    const auto place = [&bytes](std::size_t field, const std::string& text) {
        bytes[field] = static_cast<std::uint8_t>(bytes.size());
        bytes.insert(bytes.end(), text.begin(), text.end());
        bytes.push_back(0);
    };
    place(16, product);
    place(20, "2B2QEXM7");
    place(24, serial);
    bytes[4] = static_cast<std::uint8_t>(bytes.size());
    return bytes;
}

TEST(DiskRequests, StorageDescriptorGivesProductAndSerialAsStored) {
    const auto parsed = requests::parseStorageDescriptor(
        descriptor(false, 0x11, "Samsung SSD 970 EVO Plus 1TB", "0025_3852_91B0_1234."));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->texts.model, "Samsung SSD 970 EVO Plus 1TB");
    EXPECT_EQ(parsed->texts.serial, "0025_3852_91B0_1234.");
    EXPECT_EQ(parsed->texts.form, DiskIdentity::TextForm::storageDescriptor);
    EXPECT_TRUE(parsed->isFixedDisk());
    EXPECT_EQ(thirdFamilyText({parsed->texts}),
              "0025_3852_91B0_1234.,Samsung SSD 970 EVO Plus 1TB");
}

TEST(DiskRequests, RemovableAndExternalDisksAreNotFixed) {
    const struct {
        bool removable;
        std::uint8_t busType;
        bool fixed;
    } cases[] = {
        {false, 0x03, true},  {false, 0x0B, true},  {false, 0x08, true},  {false, 0x01, true},
        {true, 0x0B, false},  {false, 0x07, false}, {false, 0x04, false}, {false, 0x09, false},
        {false, 0x0C, false}, {false, 0x0D, false}, {false, 0x0E, false}, {false, 0x0F, false},
    };
    for (const auto& c : cases) {
        const auto parsed =
            requests::parseStorageDescriptor(descriptor(c.removable, c.busType, "P", "S"));
        ASSERT_TRUE(parsed);
        EXPECT_EQ(parsed->isFixedDisk(), c.fixed) << c.removable << " " << int{c.busType};
    }
}

TEST(DiskRequests, DescriptorOffsetsOutsideTheAnswerGiveEmptyTexts) {
    Bytes bytes = descriptor(false, 0x0B, "Model", "Serial");
    bytes[24] = 0;    // no serial
    bytes[16] = 250;  // beyond the bytes received
    const auto parsed = requests::parseStorageDescriptor(bytes);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->texts.serial, "");
    EXPECT_EQ(parsed->texts.model, "");
    EXPECT_FALSE(requests::parseStorageDescriptor(Bytes(35, 0)));
}

TEST(DiskRequests, UnterminatedDescriptorTextEndsWithTheAnswer) {
    Bytes bytes = descriptor(false, 0x0B, "Model", "Serial");
    bytes.pop_back();
    EXPECT_EQ(requests::parseStorageDescriptor(bytes)->texts.serial, "Serial");
}

// What the system answers depends on the machine (under Wine, mostly nothing); the requests must
// run through without harm and the identifier keep its form.
TEST(WindowsDiskIdentity, RealRequestsRunThrough) {
    const WindowsDiskIdentity disks;
    const auto identify = disks.identifyData();
    EXPECT_LE(identify.size(), 32u);
    EXPECT_LE(disks.diskTexts().size(), 16u);
    disks.installationIdentifier();
    const std::string identifier = machineIdentifier(disks);
    EXPECT_EQ(identifier.find_first_of("\t\r\n\"'"), std::string::npos) << identifier;
}

}  // namespace
}  // namespace quillfen::platform
