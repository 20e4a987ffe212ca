// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <shlobj.h>
// clang-format on

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "ModalScript.h"
#include "app/Application.h"
#include "app/IniFile.h"
#include "app/LanguageTable.h"
#include "platform/windows/Registry.h"
#include "platform/windows/WideText.h"
#include "shell/windows/RegistryShellEntries.h"
#include "support/ProgramFolderFixture.h"
#include "ui/win32/ConfigDialogIds.h"
#include "ui/win32/ControlTextFit.h"
#include "ui/win32/FolderChooser.h"
#include "ui/win32/Win32ConfigDialog.h"

namespace quillfen {
namespace {

using test::dialogTitled;
using test::ModalScript;
using test::pressButton;
using test::windowText;

constexpr int kEndedProgram = 77;
const std::string kUserClasses = "HKEY_CURRENT_USER\\Software\\Classes";

// The program's restarts, recorded instead of started; everything else as the fixture's platform
// has it.
class RecordingPlatform final : public platform::Platform, public platform::ProcessLauncher {
public:
    RecordingPlatform() : previous_(platform::currentPlatform()) {
        platform::installPlatform(this);
    }
    ~RecordingPlatform() override { platform::installPlatform(&previous_); }
    RecordingPlatform(const RecordingPlatform&) = delete;
    RecordingPlatform& operator=(const RecordingPlatform&) = delete;

    bool launch(const std::vector<std::string>& arguments,
                const platform::LaunchOptions& options) override {
        launches.push_back(arguments);
        waited = options.wait;
        return true;
    }

    platform::SystemInfo& system() override { return previous_.system(); }
    platform::FileSystem& files() override { return previous_.files(); }
    platform::TextServices& text() override { return previous_.text(); }
    platform::Clock& clock() override { return previous_.clock(); }
    platform::Volumes& volumes() override { return previous_.volumes(); }
    platform::Digests& digests() override { return previous_.digests(); }
    platform::SignatureVerifier& signatures() override { return previous_.signatures(); }
    platform::ProcessLauncher& processes() override { return *this; }
    platform::FileTypes& fileTypes() override { return previous_.fileTypes(); }
    platform::HttpClient& http() override { return previous_.http(); }
    platform::ProgramResources& resources() override { return previous_.resources(); }
    platform::DiskIdentity& disks() override { return previous_.disks(); }

    std::vector<std::vector<std::string>> launches;
    bool waited = false;

private:
    platform::Platform& previous_;
};

// The dialog with its window open to the test, and a program end that only closes it, so that
// the test process lives on.
class TestConfigDialog final : public win32::Win32ConfigDialog {
public:
    using Win32ConfigDialog::fitTexts;
    using Win32ConfigDialog::Win32ConfigDialog;
    using Win32ConfigDialog::window;

    void endProgram() override {
        ++programEnds;
        EndDialog(window(), kEndedProgram);
    }

    int programEnds = 0;
};

// Where a control lies in the dialog's client area.
RECT place(HWND dialog, int id) {
    RECT rect{};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A program folder with a settings file, two language files and the shell entries in the user's
// own classes, as a program without elevation keeps them.
class ConfigDialogWindowTest : public test::ProgramFolderFixture {
protected:
    void SetUp() override {
        ProgramFolderFixture::SetUp();
        // The language table keeps the first name it learns for the rest of the process.
        platform.facts().fixedLanguageName.reset();
        folder.writeFile("prog/anna.desk7.ini",
                         "[Config]\r\nShowSelfIcon=no\r\nSearchInRecycleBin=N\r\n"
                         "UseIndex=N\r\nLanguageID=2052\r\n");
        folder.writeFile("prog/Language/1031.ini",
                         "[Config]\r\nLanguageName=German\r\nNativeName=Deutsch\r\n");
        folder.writeFile("prog/Language/2052.ini", "[Config]\r\nLanguageName=Chinese\r\n");
        Application::instance().editor = "notepad.exe";
        Application::instance().showSelfIcon = true;
        Application::instance().searchInRecycleBin = false;
        Application::instance().useIndex = false;
        entries.remove();
    }
    void TearDown() override {
        entries.remove();
        Application::instance().editor.clear();
        Application::instance().showSelfIcon = false;
        Application::instance().searchInRecycleBin = false;
        Application::instance().useIndex = true;
        ProgramFolderFixture::TearDown();
    }

    std::string setting(const char* key) const {
        return readIniValue(settingsFile(), "Config", key);
    }
    static std::string userEntry(const std::string& below) {
        return platform::regQueryString(kUserClasses + below, "", platform::kRegString);
    }
    static std::string text(HWND dialog, int id) {
        return platform::fromWide(windowText(GetDlgItem(dialog, id)));
    }
    static bool checked(HWND dialog, int id) {
        return SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    static void click(HWND dialog, int id) { SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0); }
    // The warning about the programs' own icons, once it shows.
    static HWND selfIconQuestion() { return dialogTitled(L"Quillfen!"); }

    RecordingPlatform processes;
    RegistryShellEntries entries{RegistryShellEntries::ClassesRoots{}, [] { return false; }};
};

// The index box follows the recycle-bin box on the screen and for the Tab key; a text longer
// than the template was drawn for widens the box and the dialog by as much, which moves the
// buttons and stretches the boxes that reach the right edge.
void expectTheIndexBoxInPlaceAndWidenedForALongText(TestConfigDialog& dialog) {
    HWND window = dialog.window();
    HWND box = GetDlgItem(window, IDC_CONFIG_USE_INDEX);
    const RECT before = place(window, IDC_CONFIG_USE_INDEX);
    EXPECT_GT(before.top, place(window, IDC_CONFIG_RECYCLE_BIN).bottom);
    EXPECT_EQ(GetNextDlgTabItem(window, GetDlgItem(window, IDC_CONFIG_RECYCLE_BIN), FALSE), box);
    RECT client{};
    GetClientRect(window, &client);
    const RECT ok = place(window, IDOK);
    const RECT editor = place(window, IDC_CONFIG_EDITOR);
    SetWindowTextW(box,
                   L"Suchanfragen aus einem vorhandenen Index beantworten, wenn einer den "
                   L"gew\u00e4hlten Ordner mitsamt all seinen Unterordnern abdeckt");
    const LONG growth =
        win32::ControlTextFit(window).neededWidth(box) - (before.right - before.left);
    ASSERT_GT(growth, 0);
    dialog.fitTexts();
    RECT widened{};
    GetClientRect(window, &widened);
    EXPECT_EQ(widened.right, client.right + growth);
    EXPECT_EQ(place(window, IDC_CONFIG_USE_INDEX).right, before.right + growth);
    EXPECT_EQ(place(window, IDOK).left, ok.left + growth);
    EXPECT_EQ(place(window, IDC_CONFIG_EDITOR).right, editor.right + growth);
}

TEST_F(ConfigDialogWindowTest, OpensWithTheSettingsTheEntriesAndTheLanguagesAndCancelKeepsThem) {
    entries.install("2052");
    const std::string before = folder.readFile("prog/anna.desk7.ini");
    TestConfigDialog dialog(nullptr, &entries);
    HWND window = nullptr;
    std::vector<std::string> languages;
    const ModalScript script({[&] {
        window = dialog.window();
        if (window == nullptr) {
            return false;
        }
        const int count =
            static_cast<int>(SendDlgItemMessageW(window, IDC_CONFIG_LANGUAGE, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t item[64] = {};
            SendDlgItemMessageW(window, IDC_CONFIG_LANGUAGE, CB_GETLBTEXT, i,
                                reinterpret_cast<LPARAM>(item));
            languages.push_back(platform::fromWide(item));
        }
        EXPECT_EQ(windowText(window), L"About Quillfen!");
        EXPECT_EQ(text(window, IDC_CONFIG_VERSION), "Quillfen! Version 1.3.3.20220312");
        EXPECT_EQ(text(window, IDC_CONFIG_SELF_ICON), ".Exe .Ico ... Files show self icon.");
        EXPECT_EQ(text(window, IDC_CONFIG_SHELL), "Integrate Quillfen! to shell context menu.");
        EXPECT_EQ(text(window, IDC_CONFIG_RECYCLE_BIN), "Search in Recycle Bin");
        EXPECT_EQ(text(window, IDC_CONFIG_USE_INDEX),
                  "Answer searches from an index when one covers the folder");
        EXPECT_EQ(text(window, IDC_CONFIG_EDITOR_LABEL), "Default Editor:");
        EXPECT_EQ(text(window, IDC_CONFIG_LANGUAGE_LABEL), "&Language:");
        EXPECT_EQ(text(window, IDC_CONFIG_BROWSE_EDITOR), "...");
        EXPECT_EQ(text(window, IDOK), "OK");
        EXPECT_EQ(text(window, IDC_CONFIG_CANCEL), "Cancel");
        EXPECT_TRUE(checked(window, IDC_CONFIG_SELF_ICON));
        EXPECT_FALSE(checked(window, IDC_CONFIG_RECYCLE_BIN));
        EXPECT_FALSE(checked(window, IDC_CONFIG_USE_INDEX));
        EXPECT_TRUE(checked(window, IDC_CONFIG_SHELL));
        EXPECT_EQ(text(window, IDC_CONFIG_EDITOR), "notepad.exe");
        EXPECT_EQ(text(window, IDC_CONFIG_LANGUAGE), "Chinese");
        EXPECT_EQ(text(window, IDC_CONFIG_DESCRIPTION),
                  "Find files by name, date, size and content. Free software.");
        expectTheIndexBoxInPlaceAndWidenedForALongText(dialog);
        click(window, IDC_CONFIG_RECYCLE_BIN);
        click(window, IDC_CONFIG_USE_INDEX);
        pressButton(window, IDC_CONFIG_CANCEL);
        return true;
    }});
    EXPECT_EQ(dialog.run(), IDCANCEL);
    EXPECT_TRUE(script.finished());
    std::sort(languages.begin(), languages.end());
    EXPECT_EQ(languages, (std::vector<std::string>{"Chinese", "Deutsch"}));
    EXPECT_EQ(folder.readFile("prog/anna.desk7.ini"), before);
}

TEST_F(ConfigDialogWindowTest, NoToTheIconWarningSavesNothingAndYesSavesEverything) {
    TestConfigDialog dialog(nullptr, &entries);
    HWND window = nullptr;
    const std::string before = folder.readFile("prog/anna.desk7.ini");
    const ModalScript script({
        [&] {
            window = dialog.window();
            if (window == nullptr) {
                return false;
            }
            EXPECT_FALSE(checked(window, IDC_CONFIG_SHELL));
            click(window, IDC_CONFIG_RECYCLE_BIN);
            click(window, IDC_CONFIG_USE_INDEX);
            click(window, IDC_CONFIG_SHELL);
            SetDlgItemTextW(window, IDC_CONFIG_EDITOR, L"\"C:\\Pro gram\\ed it.exe\" -n");
            pressButton(window, IDOK);
            return true;
        },
        [&] {
            HWND question = selfIconQuestion();
            if (question == nullptr) {
                return false;
            }
            const std::vector<std::wstring> texts = test::childTexts(question);
            EXPECT_NE(std::find(texts.begin(), texts.end(),
                                L"Show self icon of the *.exe, when call the windows-API , this "
                                L"program sometime maybe crash. Would you like to continue?"),
                      texts.end());
            PostMessageW(question, WM_COMMAND, IDNO, 0);
            return true;
        },
        [&] {
            if (selfIconQuestion() != nullptr) {
                return false;
            }
            EXPECT_TRUE(IsWindowVisible(window));
            EXPECT_EQ(folder.readFile("prog/anna.desk7.ini"), before);
            EXPECT_EQ(userEntry("\\Folder\\shell\\Quillfen!\\command"), "");
            pressButton(window, IDOK);
            return true;
        },
        [&] {
            HWND question = selfIconQuestion();
            if (question == nullptr) {
                return false;
            }
            PostMessageW(question, WM_COMMAND, IDYES, 0);
            return true;
        },
    });
    EXPECT_EQ(dialog.run(), IDOK);
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(setting("ShowSelfIcon"), "Y");
    EXPECT_EQ(setting("SearchInRecycleBin"), "Y");
    EXPECT_EQ(setting("UseIndex"), "Y");
    EXPECT_TRUE(Application::instance().useIndex);
    EXPECT_EQ(setting("Editor"), "\"C:\\Pro gram\\ed it.exe\" -n");
    EXPECT_EQ(setting("LanguageID"), "2052");
    EXPECT_TRUE(Application::instance().searchInRecycleBin);
    EXPECT_EQ(Application::instance().editor, "\"C:\\Pro gram\\ed it.exe\" -n");
    const std::string command = "\"" + (folder / "prog/quillfen") + "\" %1";
    EXPECT_EQ(userEntry("\\Folder\\shell\\Quillfen!\\command"), command);
    EXPECT_EQ(userEntry("\\*\\shell\\Quillfen!\\command"), command);
    EXPECT_EQ(userEntry("\\*\\shell\\Quillfen!"), translate("Document Duplication Search"));
    EXPECT_TRUE(processes.launches.empty());
    EXPECT_EQ(dialog.programEnds, 0);
}

TEST_F(ConfigDialogWindowTest, TheIntegrationBoxOffRemovesTheEntries) {
    entries.install("2052");
    TestConfigDialog dialog(nullptr, &entries);
    const ModalScript script({[&] {
        HWND window = dialog.window();
        if (window == nullptr) {
            return false;
        }
        click(window, IDC_CONFIG_SELF_ICON);
        click(window, IDC_CONFIG_SHELL);
        pressButton(window, IDOK);
        return true;
    }});
    EXPECT_EQ(dialog.run(), IDOK);
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(setting("ShowSelfIcon"), "N");
    EXPECT_FALSE(Application::instance().showSelfIcon);
    EXPECT_EQ(userEntry("\\Folder\\shell\\Quillfen!\\command"), "");
    EXPECT_EQ(userEntry("\\*\\shell\\Quillfen!"), "");
    EXPECT_FALSE(entries.isInstalled());
}

TEST_F(ConfigDialogWindowTest, AnotherLanguageIsSavedAndRestartsTheProgram) {
    TestConfigDialog dialog(nullptr, &entries);
    const ModalScript script({[&] {
        HWND window = dialog.window();
        if (window == nullptr) {
            return false;
        }
        click(window, IDC_CONFIG_SELF_ICON);
        SendDlgItemMessageW(window, IDC_CONFIG_LANGUAGE, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(L"Deutsch"));
        pressButton(window, IDOK);
        return true;
    }});
    EXPECT_EQ(dialog.run(), kEndedProgram);
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(setting("LanguageID"), "1031");
    ASSERT_EQ(processes.launches.size(), 1u);
    EXPECT_EQ(processes.launches[0], std::vector<std::string>{folder / "prog/quillfen"});
    EXPECT_FALSE(processes.waited);
    EXPECT_EQ(dialog.programEnds, 1);
}

TEST_F(ConfigDialogWindowTest, TheEditorButtonOffersProgramsAndTakesTheChosenPath) {
    folder.writeFile("tools/my editor.exe", "MZ");
    const std::string chosen = folder / "tools/my editor.exe";
    TestConfigDialog dialog(nullptr, &entries);
    HWND window = nullptr;
    const ModalScript script({
        [&] {
            window = dialog.window();
            if (window == nullptr) {
                return false;
            }
            pressButton(window, IDC_CONFIG_BROWSE_EDITOR);
            return true;
        },
        [&] {
            HWND chooser = nullptr;
            for (HWND candidate : test::threadDialogs()) {
                if (candidate != window && GetWindow(candidate, GW_OWNER) == window) {
                    chooser = candidate;
                }
            }
            if (chooser == nullptr || GetDlgItem(chooser, cmb1) == nullptr) {
                return false;
            }
            EXPECT_EQ(windowText(GetDlgItem(chooser, cmb1)), L"Exe Files(*.exe)");
            SetWindowTextW(GetDlgItem(chooser, cmb13), platform::toWide(chosen).c_str());
            pressButton(chooser, IDOK);
            return true;
        },
        [&] {
            if (text(window, IDC_CONFIG_EDITOR) != chosen) {
                return false;
            }
            pressButton(window, IDC_CONFIG_CANCEL);
            return true;
        },
    });
    EXPECT_EQ(dialog.run(), IDCANCEL);
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(setting("Editor"), "");
}

// The shell's chooser, picked by the path of an existing folder as a user's click picks it.
class FolderChooserTest : public testing::Test {
protected:
    static std::optional<std::string> choose(const std::string& title, const std::wstring& pick,
                                             std::vector<std::wstring>& shown) {
        // The chooser takes a selection only once its folder tree is filled, which a new Wine
        // prefix takes a while to do; it is asked again until the tree shows the picked folder.
        const ModalScript script({[&] {
            std::vector<HWND> dialogs = test::threadDialogs();
            if (dialogs.empty()) {
                return false;
            }
            HWND chooser = dialogs.front();
            shown = test::childTexts(chooser);
            if (pick.empty()) {
                PostMessageW(chooser, WM_COMMAND, IDCANCEL, 0);
                return true;
            }
            SendMessageW(chooser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(pick.c_str()));
            if (selectedFolderName(chooser) != pick.substr(pick.rfind(L'\\') + 1)) {
                return false;
            }
            pressButton(chooser, IDOK);
            return true;
        }});
        std::optional<std::string> folder = win32::browseForFolder(nullptr, title);
        EXPECT_TRUE(script.finished());
        return folder;
    }

    // The text of the item selected in the chooser's folder tree.
    static std::wstring selectedFolderName(HWND chooser) {
        HWND tree = nullptr;
        EnumChildWindows(
            chooser,
            [](HWND child, LPARAM found) {
                wchar_t name[32] = {};
                GetClassNameW(child, name, 32);
                if (lstrcmpiW(name, WC_TREEVIEWW) != 0) {
                    return TRUE;
                }
                *reinterpret_cast<HWND*>(found) = child;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&tree));
        const HTREEITEM selected = tree == nullptr ? nullptr : TreeView_GetSelection(tree);
        wchar_t text[MAX_PATH] = {};
        TVITEMW item{};
        item.mask = TVIF_TEXT;
        item.hItem = selected;
        item.pszText = text;
        item.cchTextMax = MAX_PATH;
        if (selected == nullptr || !TreeView_GetItem(tree, &item)) {
            return {};
        }
        return text;
    }
    static bool shows(const std::vector<std::wstring>& texts, const std::wstring& text) {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }

    test::TemporaryFolder folder;
};

TEST_F(FolderChooserTest, TheChosenFolderEndsWithABackslash) {
    std::filesystem::create_directories(std::filesystem::u8path(folder / "picked one"));
    std::vector<std::wstring> shown;
    const std::string picked = folder / "picked one";
    EXPECT_EQ(choose("", platform::toWide(picked), shown), picked + "\\");
    EXPECT_TRUE(shows(shown, L"Select a directory...")) << shown.size();
}

TEST_F(FolderChooserTest, CancelChoosesNothingAndTheTitleIsShown) {
    std::vector<std::wstring> shown;
    EXPECT_EQ(choose("Look in", L"", shown), std::nullopt);
    EXPECT_TRUE(shows(shown, L"Look in"));
}

}  // namespace
}  // namespace quillfen
