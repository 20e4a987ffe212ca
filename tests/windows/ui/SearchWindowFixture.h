#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <functional>
#include <string>
#include <vector>

#include "support/ProgramFolderFixture.h"

namespace quillfen::test {

// One row of a result list as the user reads it.
struct ShownRow {
    std::string name;
    std::string folder;
    std::string size;

    bool operator==(const ShownRow&) const = default;
    bool operator<(const ShownRow& other) const {
        return std::tie(folder, name) < std::tie(other.folder, other.name);
    }
};

// A search window's surroundings: a program folder of its own (settings land there), a tree of
// files under the temporary folder on C:, and the ways a user drives a dialog, sent as messages.
class SearchWindowFixture : public ProgramFolderFixture {
protected:
    std::string tree() const { return folder / "tree"; }
    void write(const std::string& name, const std::string& contents) const {
        folder.writeFile("tree/" + name, contents);
    }

    // Runs the window's messages until `done` holds; false when it did not within a generous
    // limit, which only a fault reaches.
    static bool pumpUntil(HWND dialog, const std::function<bool()>& done);
    static void type(HWND dialog, int id, const std::string& text);
    static void click(HWND dialog, int id);
    static void clickHeader(HWND dialog, int listId, int column);
    // Sends a key to a control as if typed with Ctrl held.
    static void pressControlKey(HWND control, WORD key);
    static void selectRows(HWND list, const std::vector<int>& rows);

    static std::string cellText(HWND list, int row, int column);
    static std::vector<ShownRow> shownRows(HWND list);
    static int headerFormat(HWND list, int column);

    // What quillfen-cli.exe, built beside this test program, finds for the same search.
    std::vector<ShownRow> cliRows(const std::vector<std::string>& arguments) const;

    // The files that the clipboard holds as a CF_HDROP list, and its "Preferred DropEffect".
    static std::vector<std::string> clipboardFiles();
    static DWORD clipboardDropEffect();
};

}  // namespace quillfen::test
