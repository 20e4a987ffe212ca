#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "app/IniDocument.h"
#include "app/IniFile.h"
#include "platform/Platform.h"

// What the ini store tests share: files in their UTF-16 form, and a set of writers that each add
// their own keys, for the tests that run them side by side in threads or processes.
namespace quillfen::test {

inline std::string utf16leWithMark(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

inline IniDocument::Encoding formOf(const std::string& bytes) {
    return IniDocument(bytes, platform::currentPlatform().text()).encoding();
}

constexpr int kWriters = 4;
constexpr int kKeysPerWriter = 40;

inline std::string keyFor(int writer, int key) {
    return "w" + std::to_string(writer) + "k" + std::to_string(key);
}

// Alternates between a section every writer shares and one of the writer's own, so that writers
// both insert into existing sections and append new ones.
inline std::string sectionFor(int writer, int key) {
    return key % 2 == 0 ? "Shared" : "Writer" + std::to_string(writer);
}

inline bool writeAllKeys(const std::string& file, int writer) {
    bool allWritten = true;
    for (int key = 0; key < kKeysPerWriter; ++key) {
        allWritten = writeIniValue(file, sectionFor(writer, key), keyFor(writer, key),
                                   "值" + keyFor(writer, key)) &&
                     allWritten;
    }
    return allWritten;
}

inline void expectEveryWritersKeys(const std::string& file) {
    for (int writer = 0; writer < kWriters; ++writer) {
        for (int key = 0; key < kKeysPerWriter; ++key) {
            EXPECT_EQ(readIniValue(file, sectionFor(writer, key), keyFor(writer, key)),
                      "值" + keyFor(writer, key));
        }
    }
}

}  // namespace quillfen::test
