#include <gtest/gtest.h>

#include <string>

#include "app/IniFile.h"
#include "app/Settings.h"
#include "support/ProgramFolderFixture.h"
#include "ui/WindowLayoutSettings.h"

namespace quillfen {
namespace {

class WindowLayoutSettingsTest : public test::ProgramFolderFixture {
protected:
    const WindowLayout defaults{960, 720, {250, 280, 160, 130, 75}};
};

TEST_F(WindowLayoutSettingsTest, AFirstRunGetsTheDefaultsWrittenBack) {
    const WindowLayoutSettings settings("");
    EXPECT_EQ(settings.load(defaults), defaults);
    EXPECT_EQ(readIniValue(settingsFile(), "Config", "WindowWidth"), "960");
    EXPECT_EQ(readIniValue(settingsFile(), "Config", "WindowHeight"), "720");
    EXPECT_EQ(readIniValue(settingsFile(), "Config", "DateModifiedColumnWidth"), "130");
}

TEST_F(WindowLayoutSettingsTest, EachWindowGetsBackWhatItSavedUnderItsOwnKeys) {
    const WindowLayout main{1200, 800, {300, 400, 100, 150, 90}};
    const WindowLayout duplicates{1000, 600, {200, 250, 120, 140, 80}};
    WindowLayoutSettings("").save(main);
    WindowLayoutSettings("Duplicate").save(duplicates);
    EXPECT_EQ(WindowLayoutSettings("").load(defaults), main);
    EXPECT_EQ(WindowLayoutSettings("Duplicate").load(defaults), duplicates);
    EXPECT_EQ(readIniValue(settingsFile(), "Config", "DuplicateNameColumnWidth"), "200");
}

TEST_F(WindowLayoutSettingsTest, AValueThatIsNoSensibleSizeGivesTheDefault) {
    struct Case {
        const char* stored;
        int width;
    };
    const Case cases[] = {
        {"1100", 1100},   {"abc", 960},    {"-5", 960},
        {"0", 960},       {"199", 960},    {"200", 200},
        {"20000", 20000}, {"20001", 960},  {"99999999999999", 960},
        {"1100px", 960},  {" 1100", 1100},
    };
    for (const Case& entry : cases) {
        writeSetting(settingsFile(), "Config", "WindowWidth", entry.stored);
        EXPECT_EQ(WindowLayoutSettings("").load(defaults).width, entry.width) << entry.stored;
    }
}

TEST_F(WindowLayoutSettingsTest, AColumnDraggedNarrowerThanItsMinimumReturnsAtItsDefault) {
    writeSetting(settingsFile(), "Config", "TypeColumnWidth", "5");
    writeSetting(settingsFile(), "Config", "SizeColumnWidth", "20");
    const WindowLayout layout = WindowLayoutSettings("").load(defaults);
    EXPECT_EQ(layout.columnWidths[2], 160);
    EXPECT_EQ(layout.columnWidths[4], 20);
}

// A window shrunk to a sliver, or columns narrower than their texts in today's font, come back at
// their defaults; what fits is taken as stored.
TEST_F(WindowLayoutSettingsTest, SizesBelowTheWindowsAndTheColumnsMinimumsGiveTheDefaults) {
    struct Case {
        const char* width;
        const char* height;
        const char* dateColumn;
        WindowLayout expected;
    };
    const Case cases[] = {
        {"250", "120", "60", {960, 720, {250, 280, 160, 130, 75}}},
        {"799", "499", "124", {960, 720, {250, 280, 160, 130, 75}}},
        {"800", "500", "125", {800, 500, {250, 280, 160, 125, 75}}},
        {"1300", "900", "200", {1300, 900, {250, 280, 160, 200, 75}}},
    };
    for (const Case& entry : cases) {
        writeSetting(settingsFile(), "Config", "WindowWidth", entry.width);
        writeSetting(settingsFile(), "Config", "WindowHeight", entry.height);
        writeSetting(settingsFile(), "Config", "DateModifiedColumnWidth", entry.dateColumn);
        WindowLayoutSettings settings("");
        settings.setMinimumSize(800, 500);
        settings.setMinimumColumnWidths({0, 0, 0, 125, 0});
        EXPECT_EQ(settings.load(defaults), entry.expected) << entry.width << "x" << entry.height;
    }
}

}  // namespace
}  // namespace quillfen
