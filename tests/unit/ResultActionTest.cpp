#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <set>
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

// A list whose row paths are "/r0", "/r1", ...; the actions' effects on it are logged.
class FakeList : public ResultSelection {
public:
    FakeList(std::size_t rows, std::vector<std::size_t> selected, std::vector<std::string>& log)
        : rows_(rows), selected_(std::move(selected)), log_(log) {}

    std::size_t rowCount() const override { return rows_; }
    std::vector<std::size_t> selectedRows() const override { return selected_; }
    std::string rowPath(std::size_t row) const override { return "/r" + std::to_string(row); }
    void selectAll() override { log_.push_back("select all"); }
    void invertSelection() override { log_.push_back("invert"); }

private:
    std::size_t rows_;
    std::vector<std::size_t> selected_;
    std::vector<std::string>& log_;
};

class FakeHost : public ResultActionHost {
public:
    explicit FakeHost(std::vector<std::string>& log) : log_(log) {}

    void openConfiguration() override { log_.push_back("config"); }
    void openDuplicateSearch(const std::optional<std::string>& path) override {
        log_.push_back("duplicates " + path.value_or("(none)"));
    }

private:
    std::vector<std::string>& log_;
};

class FakeShell : public platform::DesktopShell {
public:
    explicit FakeShell(std::vector<std::string>& log) : log_(log) {}

    void openWithDefaultApplication(const std::string& path) override {
        log_.push_back("open " + path);
    }
    bool hasDefaultApplication(const std::string& path) const override {
        return withApplication.contains(path);
    }
    void showInFolder(const std::string& path) override { log_.push_back("show " + path); }
    void putOnClipboard(const platform::ClipboardContent& content) override {
        log_.push_back("clipboard");
        clipboard = content;
    }

    std::set<std::string> withApplication;
    std::optional<platform::ClipboardContent> clipboard;

private:
    std::vector<std::string>& log_;
};

using Log = std::vector<std::string>;

struct Stage {
    Log log;
    FakeHost host{log};
    FakeShell shell{log};

    Log run(ResultAction action, std::size_t rows, std::vector<std::size_t> selected) {
        FakeList list(rows, std::move(selected), log);
        runResultAction(action, list, host, shell);
        return log;
    }
};

TEST(ResultActionShortcut, CtrlLettersRunTheirActionsInEitherCase) {
    const struct {
        char letter;
        std::optional<ResultAction> action;
    } cases[] = {
        {'O', ResultAction::Open},
        {'g', ResultAction::OpenContainingFolder},
        {'E', ResultAction::OpenWithEditor},
        {'D', ResultAction::DuplicateSearch},
        {'x', ResultAction::Cut},
        {'C', ResultAction::Copy},
        {'N', ResultAction::CopyFileName},
        {'a', ResultAction::SelectAll},
        {'I', ResultAction::InvertSelection},
        {'V', std::nullopt},
        {'F', std::nullopt},
        {'S', std::nullopt},
        {'1', std::nullopt},
        {'\x0F', std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(shortcutAction(c.letter), c.action) << c.letter;
    }
}

TEST(ResultActionRun, EachActionReachesTheRightService) {
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
        {ResultAction::Cut, {}, {"clipboard"}},
        {ResultAction::CopyFileName, {}, {"clipboard"}},
        {ResultAction::SelectAll, {}, {"select all"}},
        {ResultAction::InvertSelection, {0}, {"invert"}},
        {ResultAction::Config, {0}, {"config"}},
        {ResultAction::DuplicateSearch, {2, 3}, {"duplicates /r2"}},
        {ResultAction::DuplicateSearch, {}, {"duplicates (none)"}},
    };
    for (const auto& c : cases) {
        Stage stage;
        EXPECT_EQ(stage.run(c.action, 4, c.selected), c.effects) << static_cast<int>(c.action);
    }
}

TEST(ResultActionRun, ClipboardActionsTakeEverySelectedRowInListOrder) {
    const struct {
        ResultAction action;
        const char* format;
        const char* bytes;
    } cases[] = {
        {ResultAction::Cut, "x-special/gnome-copied-files", "cut\nfile:///r0\nfile:///r2"},
        {ResultAction::Cut, "application/x-kde-cutselection", "1"},
        {ResultAction::Copy, "text/uri-list", "file:///r0\r\nfile:///r2\r\n"},
        {ResultAction::Copy, "application/x-kde-cutselection", "0"},
    };
    for (const auto& c : cases) {
        Stage stage;
        stage.run(c.action, 3, {0, 2});
        ASSERT_TRUE(stage.shell.clipboard);
        std::string bytes = "(missing)";
        for (const auto& [type, data] : stage.shell.clipboard->formats) {
            if (type == c.format) {
                bytes = data;
            }
        }
        EXPECT_EQ(bytes, c.bytes) << static_cast<int>(c.action) << " " << c.format;
        EXPECT_EQ(stage.shell.clipboard->plainText, "/r0\n/r2");
    }

    Stage names;
    names.run(ResultAction::CopyFileName, 3, {0, 2});
    EXPECT_EQ(names.shell.clipboard->plainText, "\"/r0\"\r\n\"/r2\"\r\n");
}

TEST(ResultActionDoubleClick, OpensKnownTypesAndShowsTheOthersInTheirFolder) {
    const struct {
        std::optional<std::size_t> row;
        Log effects;
    } cases[] = {
        {0, {"open /r0"}},
        {1, {"show /r1"}},
        {std::nullopt, {}},
        {2, {}},
    };
    for (const auto& c : cases) {
        Log log;
        FakeShell shell(log);
        shell.withApplication = {"/r0"};
        const FakeList list(2, {}, log);
        runDoubleClick(c.row, list, shell);
        EXPECT_EQ(log, c.effects) << c.row.value_or(99);
    }
}

// A stand-in editor records its arguments, each ending with a zero byte, and renames the record
// into place when it is complete.
class ResultActionEditor : public testing::Test {
protected:
    void SetUp() override {
        savedEditor_ = Application::instance().editor;
        folder.writeFile("my editor.sh",
                         "#!/bin/sh\n"
                         "out=\"$(dirname \"$0\")/arguments\"\n"
                         ": > \"$out.part\"\n"
                         "for word in \"$@\"; do printf '%s\\0' \"$word\" >> \"$out.part\"; done\n"
                         "mv \"$out.part\" \"$out\"\n");
        std::filesystem::permissions(folder / "my editor.sh", std::filesystem::perms::owner_all);
    }
    void TearDown() override { Application::instance().editor = savedEditor_; }

    std::string recordedArguments() const {
        for (int i = 0; i < 1000 && !std::filesystem::exists(folder / "arguments"); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return folder.readFile("arguments");
    }

    test::TemporaryFolder folder;

private:
    std::string savedEditor_;
};

class OneRowList : public ResultSelection {
public:
    explicit OneRowList(std::string path) : path_(std::move(path)) {}

    std::size_t rowCount() const override { return 1; }
    std::vector<std::size_t> selectedRows() const override { return {0}; }
    std::string rowPath(std::size_t) const override { return path_; }
    void selectAll() override {}
    void invertSelection() override {}

private:
    std::string path_;
};

TEST_F(ResultActionEditor, PathWithBlanksAndQuotesArrivesAsOneArgument) {
    Application::instance().editor = "\"" + (folder / "my editor.sh") + "\" --new-window -x";
    const std::string path = "/data/it's a \"quoted\" name; $(rm -rf x) \xFF.txt";
    Log log;
    FakeHost host(log);
    FakeShell shell(log);
    OneRowList list(path);

    runResultAction(ResultAction::OpenWithEditor, list, host, shell);

    EXPECT_EQ(recordedArguments(), std::string("--new-window\0-x\0", 16) + path + '\0');
    EXPECT_TRUE(log.empty());
}

}  // namespace
}  // namespace quillfen
