#include "update/MachineIdentifier.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "app/TextUtilities.h"
#include "update/DescriptorText.h"
#include "update/IdentifyText.h"

namespace quillfen {

namespace {

using IdentifyList = std::vector<std::optional<platform::DiskIdentity::IdentifyWords>>;
using platform::DiskIdentity;

// The Windows build asks drives 0 to 3 first and 0 to 15 afterwards; the same reach holds for
// every system, so that adding a fifth disk never changes what the first four gave.
constexpr std::size_t kFirstFamilyDisks = 4;
constexpr std::size_t kDisksTried = 16;

std::string withoutBreaksAndQuotes(std::string text) {
    std::erase_if(
        text, [](char c) { return c == '\t' || c == '\r' || c == '\n' || c == '"' || c == '\''; });
    return text;
}

std::string trimmed(std::string_view text) {
    return std::string(trimWhiteSpace(text));
}

// The serial is swapped in pairs while decoding and once more here. For an even-length serial
// the two swaps cancel; an odd number of blanks trimmed between them shifts the pairs. Identifiers
// the update server already knows depend on exactly this handling, so it stays as it is.
std::string descriptorPair(const DiskIdentity::Texts& texts) {
    const std::string serial = decodeDescriptorText(texts.serial, true);
    const std::string model = decodeDescriptorText(texts.model, false);
    if (serial.empty() || model.empty()) {
        return {};
    }
    return swapCharacterPairs(serial) + "," + model;
}

// Plain texts are already what the disk reports; any decoding could only alter them, and would
// give a disk whose serial happens to be made of hexadecimal digits a different identity here
// than from its identify data.
std::string plainPair(const DiskIdentity::Texts& texts) {
    const std::string serial = trimmed(texts.serial);
    const std::string model = trimmed(texts.model);
    if (serial.empty() || model.empty()) {
        return {};
    }
    return serial + "," + model;
}

}  // namespace

std::string firstFamilyText(const IdentifyList& identifyData) {
    std::string text;
    const std::size_t reach = std::min(identifyData.size(), kFirstFamilyDisks);
    for (std::size_t i = 0; i < reach; ++i) {
        if (identifyData[i]) {
            text = identifyText(*identifyData[i], IdentifyVariant::lenient);
        }
    }
    return withoutBreaksAndQuotes(std::move(text));
}

std::string secondFamilyText(const IdentifyList& identifyData) {
    const std::size_t reach = std::min(identifyData.size(), kDisksTried);
    for (std::size_t i = 0; i < reach; ++i) {
        if (identifyData[i]) {
            if (std::string text = identifyText(*identifyData[i], IdentifyVariant::strict);
                !text.empty()) {
                return text;
            }
        }
    }
    return {};
}

std::string thirdFamilyText(const std::vector<DiskIdentity::Texts>& texts) {
    const std::size_t reach = std::min(texts.size(), kDisksTried);
    for (std::size_t i = 0; i < reach; ++i) {
        const std::string pair = texts[i].form == DiskIdentity::TextForm::storageDescriptor
                                     ? descriptorPair(texts[i])
                                     : plainPair(texts[i]);
        if (!pair.empty()) {
            return pair;
        }
    }
    return {};
}

std::string machineIdentifier(const DiskIdentity& disks) {
    const IdentifyList identifyData = disks.identifyData();
    std::string text = trimmed(firstFamilyText(identifyData));
    if (text.empty()) {
        text = trimmed(secondFamilyText(identifyData));
    }
    if (text.empty()) {
        text = trimmed(thirdFamilyText(disks.diskTexts()));
    }
    if (text.empty()) {
        text = trimmed(disks.installationIdentifier());
    }
    return withoutBreaksAndQuotes(std::move(text));
}

}  // namespace quillfen
