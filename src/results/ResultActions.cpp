#include "results/ResultActions.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/RunCommand.h"
#include "results/FileNameText.h"

namespace quillfen {

namespace {

std::vector<std::string> selectedPaths(const ResultSelection& selection) {
    std::vector<std::string> paths;
    for (const std::size_t row : selection.selectedRows()) {
        paths.push_back(selection.rowPath(row));
    }
    return paths;
}

std::optional<std::string> firstSelectedPath(const ResultSelection& selection) {
    const std::vector<std::size_t> rows = selection.selectedRows();
    if (rows.empty()) {
        return std::nullopt;
    }
    return selection.rowPath(rows.front());
}

// The path stays one argument whatever blanks or quotes it holds, as no shell reads it.
void openWithEditor(const std::string& path) {
    std::vector<std::string> command = splitCommandWords(Application::instance().editor);
    // Without an editor the path itself would become the program to run.
    if (command.empty()) {
        return;
    }
    command.push_back(path);
    runCommand(command, false, true, -1);
}

void openFirstSelected(const ResultSelection& selection,
                       const std::function<void(const std::string&)>& open) {
    if (const std::optional<std::string> path = firstSelectedPath(selection)) {
        open(*path);
    }
}

// Every selected file is tried, whatever happened to the ones before it; the rows whose files
// went leave the list, and the host hears which could not go and why.
void moveSelectedToTrash(const ResultSelection& selection, ResultActionHost& host,
                         platform::DesktopShell& shell) {
    const std::vector<std::size_t> rows = selection.selectedRows();
    std::vector<std::pair<std::string, std::string>> failures;
    for (const std::size_t row : rows) {
        const std::string path = selection.rowPath(row);
        if (std::optional<std::string> reason = shell.moveToTrash(path)) {
            failures.emplace_back(path, std::move(*reason));
        }
    }
    host.forgetRowsWhoseFilesAreGone(rows);
    if (!failures.empty()) {
        host.reportTrashFailures(failures);
    }
}

}  // namespace

void runResultAction(ResultAction action, ResultSelection& selection, ResultActionHost& host,
                     platform::DesktopShell& shell) {
    switch (action) {
        case ResultAction::Open:
            openFirstSelected(selection, [&](const std::string& path) {
                shell.openWithDefaultApplication(path);
            });
            return;
        case ResultAction::OpenContainingFolder:
            openFirstSelected(selection,
                              [&](const std::string& path) { shell.showInFolder(path); });
            return;
        case ResultAction::OpenWithEditor:
            openFirstSelected(selection, openWithEditor);
            return;
        case ResultAction::Cut:
            shell.putFilesOnClipboard(selectedPaths(selection), platform::FileTransfer::Cut);
            return;
        case ResultAction::Copy:
            shell.putFilesOnClipboard(selectedPaths(selection), platform::FileTransfer::Copy);
            return;
        case ResultAction::CopyFileName:
            shell.putTextOnClipboard(fileNameText(selectedPaths(selection)));
            return;
        case ResultAction::SelectAll:
            selection.selectAll();
            return;
        case ResultAction::InvertSelection:
            selection.invertSelection();
            return;
        case ResultAction::Config:
            host.openConfiguration();
            return;
        case ResultAction::DuplicateSearch:
            host.openDuplicateSearch(firstSelectedPath(selection));
            return;
        case ResultAction::OpenWithChosenApplication:
            openFirstSelected(
                selection, [&](const std::string& path) { shell.openWithChosenApplication(path); });
            return;
        case ResultAction::MoveToTrash:
            moveSelectedToTrash(selection, host, shell);
            return;
        case ResultAction::ExportList:
            host.exportList();
            return;
    }
}

}  // namespace quillfen
