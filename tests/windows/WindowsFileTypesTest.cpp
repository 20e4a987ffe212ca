// clang-format off
#include <windows.h>
#include <objbase.h>
// clang-format on

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <thread>

#include "ScratchFolder.h"
#include "platform/Platform.h"
#include "platform/windows/WideText.h"
#include "platform/windows/WindowsFileTypes.h"
#include "results/FolderTypeText.h"
#include "results/TypeTextCache.h"
#include "support/PlatformOverlay.h"

namespace quillfen::platform {
namespace {

using test::ScratchFolder;

std::string lowerCased(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// What COM says of the thread's apartment: S_OK when the thread had none (the probe's own is
// closed again), S_FALSE when it already was in the asked apartment, RPC_E_CHANGED_MODE in
// the other.
HRESULT probeApartment(DWORD model) {
    const HRESULT result = CoInitializeEx(nullptr, model);
    if (SUCCEEDED(result)) {
        CoUninitialize();
    }
    return result;
}

TEST(WindowsFileTypes, RegisteredExtensionsGiveTheirClassName) {
    const WindowsFileTypes types;
    // Wine registers these classes in every prefix, as Windows does.
    EXPECT_EQ(types.typeNameForExtension(".ini"), "Configuration Settings");
    EXPECT_EQ(types.typeNameForExtension(".rtf"), "Rich Text Document");
}

TEST(WindowsFileTypes, UnknownExtensionsAndBareNamesGetTheShellsGenericText) {
    const WindowsFileTypes types;
    // The shell names an unknown type after its extension; the exact wording is the system's.
    const std::string unknown = types.typeNameForExtension(".qzxv");
    EXPECT_NE(lowerCased(unknown).find("qzxv"), std::string::npos) << unknown;
    EXPECT_NE(lowerCased(unknown).find("file"), std::string::npos) << unknown;
    EXPECT_EQ(types.typeNameForExtension(""), "File");
}

// The name asked about is "1" and the extension; a folder of that name in the current folder
// changes nothing, since no file is looked at.
TEST(WindowsFileTypes, TheExtensionAloneDecidesNoFileIsLookedAt) {
    const ScratchFolder scratch;
    const WindowsFileTypes types;
    wchar_t previous[MAX_PATH];
    ASSERT_NE(GetCurrentDirectoryW(MAX_PATH, previous), 0u);
    ASSERT_TRUE(SetCurrentDirectoryW(toWide(scratch.path()).c_str()));
    ASSERT_TRUE(CreateDirectoryW(L"1.ini", nullptr));
    const std::string text = types.typeNameForExtension(".ini");
    SetCurrentDirectoryW(previous);
    EXPECT_EQ(text, "Configuration Settings");
    EXPECT_EQ(types.typeNameForExtension(".INI"), text);
}

TEST(WindowsFileTypes, FoldersAreAskedOfTheRealFolder) {
    const ScratchFolder scratch;
    const WindowsFileTypes types;
    const std::string folder = scratch.path() + "notes.ini";
    ASSERT_TRUE(CreateDirectoryW(toWide(folder).c_str(), nullptr));
    // A folder whose name has a file type's extension is still a folder.
    EXPECT_EQ(types.folderTypeName(folder), "Folder");
    EXPECT_EQ(types.folderTypeName(scratch.path() + "gone"), "");
}

// A search thread that asks the shell is left as it was found: without an apartment when it had
// none, still in the multithreaded one when it was there.
TEST(WindowsFileTypes, LeavesTheCallingThreadsApartmentAsItWas) {
    const WindowsFileTypes types;
    HRESULT afterFresh = E_FAIL;
    std::string freshText;
    std::thread([&] {
        freshText = types.typeNameForExtension(".ini") + "|" + types.folderTypeName("C:\\windows");
        afterFresh = probeApartment(COINIT_MULTITHREADED);
    }).join();
    EXPECT_EQ(freshText, "Configuration Settings|Folder");
    EXPECT_EQ(afterFresh, S_OK);

    HRESULT inside = E_FAIL;
    std::string multithreadedText;
    std::thread([&] {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        multithreadedText = types.typeNameForExtension(".ini");
        inside = probeApartment(COINIT_MULTITHREADED);
        CoUninitialize();
    }).join();
    EXPECT_EQ(multithreadedText, "Configuration Settings");
    EXPECT_EQ(inside, S_FALSE);
}

// Counts the questions that reach the shell.
class CountingFileTypes final : public FileTypes {
public:
    std::string typeNameForExtension(const std::string& extension) const override {
        ++asked[extension];
        return shell.typeNameForExtension(extension);
    }
    std::string folderTypeName(const std::string& folderPath) const override {
        ++asked["folder " + folderPath];
        return shell.folderTypeName(folderPath);
    }
    IconLocation extensionIcon(const std::string& extension) const override {
        return shell.extensionIcon(extension);
    }
    IconLocation folderIcon() const override { return shell.folderIcon(); }
    IconLocation unknownTypeIcon() const override { return shell.unknownTypeIcon(); }
    IconLocation fallbackIcon() const override { return shell.fallbackIcon(); }
    IconLocation genericProgramIcon() const override { return shell.genericProgramIcon(); }

    WindowsFileTypes shell;
    mutable std::map<std::string, int> asked;
};

// The result list's cache over the real shell: one question per lower-cased extension, and the
// first real folder's text for every folder.
TEST(WindowsFileTypes, TheResultCacheAsksTheShellOncePerExtension) {
    const ScratchFolder scratch;
    ASSERT_TRUE(CreateDirectoryW(toWide(scratch.path() + "first").c_str(), nullptr));
    CountingFileTypes types;
    const test::PlatformOverlay overlay(types);
    FolderTypeText folderText;
    TypeTextCache cache(folderText);
    const std::string folder = scratch.path();
    const struct {
        std::string name;
        std::string text;
    } rows[] = {
        {"a.INI", "Configuration Settings"},
        {"b.ini", "Configuration Settings"},
        {"c.Ini", "Configuration Settings"},
        {"Makefile", "File"},
        {"README", "File"},
        {"first\\", "Folder"},
        {"missing\\", "Folder"},
        {"d.rtf", "Rich Text Document"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(cache.typeTextFor(row.name, folder), row.text) << row.name;
    }
    const std::map<std::string, int> expected = {
        {".ini", 1}, {"", 1}, {".rtf", 1}, {"folder " + folder + "first", 1}};
    EXPECT_EQ(types.asked, expected);
}

}  // namespace
}  // namespace quillfen::platform
