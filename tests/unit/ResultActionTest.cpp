#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/Application.h"
#include "results/DoubleClick.h"
#include "results/ResultAction.h"
#include "results/ResultActions.h"
#include "support/TemporaryFolder.h"

namespace quillfen {
namespace {

using Log = std::vector<std::string>;

class FakeList : public ResultSelection {
public:
    FakeList(std::vector<std::string> paths, std::vector<std::size_t> selected, Log& log)
        : paths_(std::move(paths)), selected_(std::move(selected)), log_(log) {}

    std::size_t rowCount() const override { return paths_.size(); }
    std::vector<std::size_t> selectedRows() const override { return selected_; }
    std::string rowPath(std::size_t row) const override { return paths_.at(row); }
    void selectAll() override { log_.push_back("select all"); }
    void invertSelection() override { log_.push_back("invert"); }

private:
    std::vector<std::string> paths_;
    std::vector<std::size_t> selected_;
    Log& log_;
};

// The window and the desktop in one, logging every request in order.
class FakeDesk : public ResultActionHost, public platform::DesktopShell {
public:
    void openConfiguration() override { log.push_back("config"); }
    void openDuplicateSearch(const std::optional<std::string>& path) override {
        log.push_back("duplicates " + path.value_or("(none)"));
    }
    void openWithDefaultApplication(const std::string& path) override {
        log.push_back("open " + path);
    }
    bool hasDefaultApplication(const std::string& path) const override { return path == "/r0"; }
    void showInFolder(const std::string& path) override { log.push_back("show " + path); }
    void putFilesOnClipboard(const std::vector<std::string>& paths,
                             platform::FileTransfer transfer) override {
        log.push_back(transfer == platform::FileTransfer::Cut ? "cut" : "copy");
        clipboard = paths;
    }
    void putTextOnClipboard(const std::string& text) override {
        log.push_back("text");
        clipboard = {text};
    }
    void openWithChosenApplication(const std::string& path) override {
        log.push_back("choose " + path);
    }
    // A path named in `refusals` stays where it is, with that reason.
    std::optional<std::string> moveToTrash(const std::string& path) override {
        log.push_back("trash " + path);
        const auto refused = refusals.find(path);
        return refused == refusals.end() ? std::nullopt : std::optional(refused->second);
    }
    void forgetRowsWhoseFilesAreGone(const std::vector<std::size_t>& rows) override {
        std::string text = "forget";
        for (const std::size_t row : rows) {
            text += " " + std::to_string(row);
        }
        log.push_back(text);
    }
    void reportTrashFailures(
        const std::vector<std::pair<std::string, std::string>>& failures) override {
        for (const auto& [path, reason] : failures) {
            log.push_back("failed " + path + ": " + reason);
        }
    }
    void exportList() override { log.push_back("export"); }

    std::map<std::string, std::string> refusals;

    Log log;
    std::optional<std::vector<std::string>> clipboard;
};

const std::vector<std::string> kFourRows = {"/r0", "/r1", "/r2", "/r3"};

TEST(ResultActionShortcut, CtrlLettersRunTheirActionsInEitherCase) {
    const std::string letters = "OGEDXCNAIogedxcnai";
    const int codes[] = {0, 1, 7, 9, 2, 3, 4, 5, 6};
    for (std::size_t i = 0; i < letters.size(); ++i) {
        EXPECT_EQ(shortcutAction(letters[i]), ResultAction{codes[i % 9]}) << letters[i];
    }
    for (const char other : {'V', 'F', 'S', 'z', '1', '\x0F'}) {
        EXPECT_EQ(shortcutAction(other), std::nullopt) << other;
    }
}

TEST(ResultActionRun, EachActionReachesTheRightServiceWithTheFirstSelectedRow) {
    const struct {
        ResultAction action;
        std::vector<std::size_t> selected;
        Log effects;
    } cases[] = {
        {ResultAction::Open, {1, 3}, {"open /r1"}},
        {ResultAction::Open, {}, {}},
        {ResultAction::OpenContainingFolder, {2}, {"show /r2"}},
        {ResultAction::OpenContainingFolder, {}, {}},
        {ResultAction::OpenWithEditor, {}, {}},
        {ResultAction::Cut, {}, {"cut"}},
        {ResultAction::Copy, {}, {"copy"}},
        {ResultAction::CopyFileName, {}, {"text"}},
        {ResultAction::SelectAll, {}, {"select all"}},
        {ResultAction::InvertSelection, {0}, {"invert"}},
        {ResultAction::Config, {0}, {"config"}},
        {ResultAction::DuplicateSearch, {2, 3}, {"duplicates /r2"}},
        {ResultAction::DuplicateSearch, {}, {"duplicates (none)"}},
        {ResultAction::OpenWithChosenApplication, {3, 1}, {"choose /r3"}},
        {ResultAction::OpenWithChosenApplication, {}, {}},
        {ResultAction::MoveToTrash, {}, {"forget"}},
        {ResultAction::ExportList, {}, {"export"}},
    };
    for (const auto& c : cases) {
        FakeDesk desk;
        FakeList list(kFourRows, c.selected, desk.log);
        runResultAction(c.action, list, desk, desk);
        EXPECT_EQ(desk.log, c.effects) << static_cast<int>(c.action);
    }
}

TEST(ResultActionRun, ClipboardActionsTakeEverySelectedRowInListOrder) {
    const struct {
        ResultAction action;
        const char* effect;
        std::vector<std::string> content;
    } cases[] = {
        {ResultAction::Cut, "cut", {"/r0", "/r2"}},
        {ResultAction::Copy, "copy", {"/r0", "/r2"}},
        {ResultAction::CopyFileName, "text", {"\"/r0\"\r\n\"/r2\"\r\n"}},
    };
    for (const auto& c : cases) {
        FakeDesk desk;
        FakeList list(kFourRows, {0, 2}, desk.log);
        runResultAction(c.action, list, desk, desk);
        EXPECT_EQ(desk.log, Log{c.effect}) << static_cast<int>(c.action);
        EXPECT_EQ(desk.clipboard, c.content) << static_cast<int>(c.action);
    }
}

TEST(ResultActionRun, TrashTriesEverySelectedRowThenForgetsThemAndReportsTheRefusals) {
    FakeDesk desk;
    desk.refusals["/r1"] = "Permission denied";
    FakeList list(kFourRows, {0, 1, 3}, desk.log);
    runResultAction(ResultAction::MoveToTrash, list, desk, desk);
    EXPECT_EQ(desk.log, (Log{"trash /r0", "trash /r1", "trash /r3", "forget 0 1 3",
                             "failed /r1: Permission denied"}));
}

TEST(ResultActionDoubleClick, OpensKnownTypesAndShowsTheOthersInTheirFolder) {
    const struct {
        std::optional<std::size_t> row;
        Log effects;
    } cases[] = {{0, {"open /r0"}}, {1, {"show /r1"}}, {std::nullopt, {}}, {4, {}}};
    for (const auto& c : cases) {
        FakeDesk desk;
        const FakeList list(kFourRows, {}, desk.log);
        runDoubleClick(c.row, list, desk);
        EXPECT_EQ(desk.log, c.effects) << c.row.value_or(99);
    }
}

TEST(ResultActionEditor, PathWithBlanksAndQuotesArrivesAsOneArgument) {
    const test::TemporaryFolder folder;
    // The stand-in records each argument with a zero byte behind it and renames the record into
    // place once it is complete.
    folder.writeFile("my editor.sh",
                     "#!/bin/sh\n"
                     "out=\"$(dirname \"$0\")/arguments\"\n"
                     ": > \"$out.part\"\n"
                     "for word in \"$@\"; do printf '%s\\0' \"$word\" >> \"$out.part\"; done\n"
                     "mv \"$out.part\" \"$out\"\n");
    std::filesystem::permissions(folder / "my editor.sh", std::filesystem::perms::owner_all);
    const std::string savedEditor = Application::instance().editor;
    Application::instance().editor = "\"" + (folder / "my editor.sh") + "\" --new-window -x";
    const std::string path = "/data/it's a \"quoted\" name; $(rm -rf x) \xFF.txt";
    FakeDesk desk;
    FakeList list({path}, {0}, desk.log);

    runResultAction(ResultAction::OpenWithEditor, list, desk, desk);
    Application::instance().editor = savedEditor;

    for (int i = 0; i < 1000 && !std::filesystem::exists(folder / "arguments"); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(folder.readFile("arguments"), std::string("--new-window\0-x\0", 16) + path + '\0');
    EXPECT_TRUE(desk.log.empty());
}

}  // namespace
}  // namespace quillfen
