#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ProgramFolderPlatform.h"
#include "app/Settings.h"
#include "support/TemporaryFolder.h"

namespace quillfen::test {

// A program installed in a temporary folder, run by user "anna" on computer "desk7" with a
// Chinese system language, so that settings and language files land where the test can see them.
class ProgramFolderFixture : public testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(folder / "prog");
        platform.facts().fixedExecutablePath = folder / "prog/quillfen";
        platform.facts().fixedUserName = "anna";
        platform.facts().fixedComputerName = "desk7";
        platform.facts().fixedUserConfigDirectory = folder / "config";
        platform.facts().fixedUserCacheDirectory = folder / "cache";
        platform.facts().fixedLanguageId = 2052;
        platform.facts().fixedLanguageName = "Chinese";
        platform.facts().fixedTextEditor = "stand-in-editor";
        forgetSettingsFilePath();
    }
    void TearDown() override { forgetSettingsFilePath(); }

    std::string programFolder() const { return folder / "prog/"; }
    std::string settingsFile() const { return folder / "prog/anna.desk7.ini"; }

    TemporaryFolder folder;
    ProgramFolderPlatform platform;
};

}  // namespace quillfen::test
