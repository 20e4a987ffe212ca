#include "platform/windows/Registry.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace quillfen::platform {
namespace {

constexpr const char* kBase = "HKEY_CURRENT_USER\\Software\\QuillfenTest";

// Every case works below one key of its own, which is removed with all it holds afterwards.
class RegistryTest : public testing::Test {
protected:
    RegistryTest() { removeTree(); }
    ~RegistryTest() override { removeTree(); }

    static std::string at(const std::string& keyPath) {
        return std::string(kBase) + "\\" + keyPath;
    }

    static bool keyExists(const std::string& keyPath) {
        const std::wstring path = L"Software\\QuillfenTest\\" + wide(keyPath);
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return false;
        }
        RegCloseKey(key);
        return true;
    }

private:
    static std::wstring wide(const std::string& ascii) { return {ascii.begin(), ascii.end()}; }
    static void removeTree() { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\QuillfenTest"); }
};

TEST_F(RegistryTest, SetCreatesTheMissingLevelsBelowAnExistingOneAndQueryReadsIt) {
    EXPECT_EQ(regSetString(at("a\\b\\command"), "", "\"C:\\Pro gram\\q.exe\" %1"), 0);
    EXPECT_EQ(regQueryString(at("a\\b\\command"), "", kRegString), "\"C:\\Pro gram\\q.exe\" %1");
    EXPECT_EQ(regSetString(at("a\\b"), "Named", "menu text"), 0);
    EXPECT_EQ(regQueryString(at("a\\b"), "Named", kRegString), "menu text");
    EXPECT_EQ(regQueryString(at("a\\b"), "", kRegString), "");
    EXPECT_EQ(regSetString(at("a\\b"), "Named", "rewritten"), 0);
    EXPECT_EQ(regQueryString(at("a\\b"), "Named", kRegExpandString), "rewritten");
}

// Readers that take the stored bytes as they are find the text's end.
TEST_F(RegistryTest, StringsAreStoredWithTheirTerminatingZero) {
    ASSERT_EQ(regSetString(at("stored"), "", "abc"), 0);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\QuillfenTest\\stored", 0,
                            KEY_QUERY_VALUE, &key),
              ERROR_SUCCESS);
    DWORD type = 0;
    wchar_t stored[8] = {L'x', L'x', L'x', L'x', L'x', L'x', L'x', L'x'};
    DWORD size = sizeof(stored);
    EXPECT_EQ(RegQueryValueExW(key, L"", nullptr, &type, reinterpret_cast<BYTE*>(stored), &size),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 4 * sizeof(wchar_t));
    EXPECT_EQ(std::wstring(stored, 4), std::wstring(L"abc\0", 4));
}

// Engine text is UTF-8, and names that are not valid UTF-16 travel as WTF-8.
TEST_F(RegistryTest, TextRoundTripsInEveryScript) {
    const std::string texts[] = {
        "Dokumente \xC3\xBC\x62\x65rpr\xC3\xBC\x66\x65n",
        "\xE6\x96\x87\xE6\xA1\xA3\xE9\x87\x8D\xE5\xA4\x8D",
        "\xF0\x9F\x93\x81 folder",
        "lone \xED\xA0\x80 surrogate",
        "",
    };
    for (const std::string& text : texts) {
        EXPECT_EQ(regSetString(at("texts"), text, text), 0) << text;
        EXPECT_EQ(regQueryString(at("texts"), text, kRegString), text) << text;
    }
}

TEST_F(RegistryTest, RootNamesAreFoundInAnyCaseAndKeyPathsKeepTheirs) {
    EXPECT_EQ(regSetString("hkey_current_user\\Software\\QuillfenTest\\Case", "", "lower"), 0);
    EXPECT_EQ(regQueryString("HKEY_Current_User\\Software\\QuillfenTest\\Case", "", kRegString),
              "lower");
    EXPECT_TRUE(keyExists("Case"));
}

TEST_F(RegistryTest, MalformedLocationsAndUnknownRootsGiveTheirCodes) {
    const struct {
        const char* location;
        int code;
    } cases[] = {
        {"HKEY_CURRENT_USER", kRegMalformedPath},
        {"\\Software\\QuillfenTest", kRegMalformedPath},
        {"", kRegMalformedPath},
        {"HKEY_NOWHERE\\Software\\QuillfenTest", kRegUnknownRoot},
        {"HKCU\\Software\\QuillfenTest", kRegUnknownRoot},
        {"HKEY_CURRENT_USER \\Software\\QuillfenTest", kRegUnknownRoot},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(regSetString(c.location, "", "x"), c.code) << c.location;
        EXPECT_EQ(regQueryString(c.location, "", kRegString), "") << c.location;
        EXPECT_EQ(regDeleteValue(c.location, ""), c.code) << c.location;
        EXPECT_EQ(regDeleteKey(c.location), c.code) << c.location;
    }
}

TEST_F(RegistryTest, AMissingFirstLevelIsNeverCreated) {
    EXPECT_EQ(regSetString("HKEY_CURRENT_USER\\QuillfenTestNoSuchLevel\\a", "", "x"),
              kRegKeyNotOpened);
    EXPECT_EQ(regQueryString("HKEY_CURRENT_USER\\QuillfenTestNoSuchLevel", "", kRegString), "");
}

TEST_F(RegistryTest, MissingKeysAndValuesReadEmptyAndDeleteWithTheSystemsCode) {
    ASSERT_EQ(regSetString(at("present"), "", "x"), 0);
    EXPECT_EQ(regQueryString(at("absent"), "", kRegString), "");
    EXPECT_EQ(regQueryString(at("present"), "absent", kRegString), "");
    EXPECT_EQ(regDeleteValue(at("absent"), ""), kRegKeyNotOpened);
    EXPECT_EQ(regDeleteValue(at("present"), "absent"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(regDeleteKey(at("absent")), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(regDeleteKey(at("absent\\deeper")), kRegParentNotOpened);
}

TEST_F(RegistryTest, NumbersAreTheFirstFourBytesInSignedDecimal) {
    const struct {
        DWORD value;
        const char* text;
    } cases[] = {{0, "0"}, {42, "42"}, {0xFFFFFFFF, "-1"}, {0x80000000, "-2147483648"}};
    for (const auto& c : cases) {
        ASSERT_EQ(regSetString(at("numbers"), "", ""), 0);
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\QuillfenTest\\numbers", 0,
                                KEY_SET_VALUE, &key),
                  ERROR_SUCCESS);
        RegSetValueExW(key, L"n", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&c.value),
                       sizeof(c.value));
        RegCloseKey(key);
        EXPECT_EQ(regQueryString(at("numbers"), "n", kRegNumber), c.text);
    }
}

// The removal of the shell entries, deepest key first, as it runs against installed entries and
// against none.
TEST_F(RegistryTest, EntriesAreRemovedDeepestFirstAndRemovingNothingChangesNothing) {
    ASSERT_EQ(regSetString(at("shell\\Quillfen!\\command"), "", "\"q.exe\" %1"), 0);
    ASSERT_EQ(regSetString(at("shell\\Quillfen!"), "", "Document Duplication Search"), 0);
    EXPECT_NE(regDeleteKey(at("shell\\Quillfen!")), 0);
    EXPECT_TRUE(keyExists("shell\\Quillfen!\\command"));
    const struct {
        int value;
        int command;
        int entry;
    } rounds[] = {{0, 0, 0}, {kRegKeyNotOpened, kRegParentNotOpened, ERROR_FILE_NOT_FOUND}};
    for (const auto& expected : rounds) {
        EXPECT_EQ(regDeleteValue(at("shell\\Quillfen!\\command"), ""), expected.value);
        EXPECT_EQ(regDeleteKey(at("shell\\Quillfen!\\command")), expected.command);
        EXPECT_EQ(regDeleteKey(at("shell\\Quillfen!")), expected.entry);
    }
    EXPECT_FALSE(keyExists("shell\\Quillfen!"));
    EXPECT_TRUE(keyExists("shell"));
}

TEST_F(RegistryTest, AKeyDirectlyBelowTheRootIsNeverDeleted) {
    EXPECT_EQ(regDeleteKey("HKEY_CURRENT_USER\\Software"), kRegKeyBelowRoot);
    EXPECT_EQ(regDeleteKey("HKEY_CLASSES_ROOT\\Folder"), kRegKeyBelowRoot);
}

}  // namespace
}  // namespace quillfen::platform
