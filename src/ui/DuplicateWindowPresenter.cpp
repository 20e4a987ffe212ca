#include "ui/DuplicateWindowPresenter.h"

#include <array>

#include "app/Application.h"
#include "app/LanguageTable.h"
#include "app/Settings.h"
#include "index/IndexedSearch.h"
#include "search/DuplicateRequest.h"

namespace quillfen {

namespace {

constexpr const char* kCaption = translatable("Document Duplication Search");

// The captions the window translates when it opens.
constexpr std::array<std::pair<DuplicateControl, const char*>, 10> kCaptions = {{
    {DuplicateControl::Group, translatable("Document Duplication Search")},
    {DuplicateControl::FileNameGroup, translatable("File name:")},
    {DuplicateControl::LookInGroup, translatable("Look in:")},
    {DuplicateControl::OptionsGroup, translatable("Options:")},
    {DuplicateControl::MatchName, translatable("Match Filename")},
    {DuplicateControl::MatchExtension, translatable("Match Extension")},
    {DuplicateControl::MatchTime, translatable("Match Modified Time")},
    {DuplicateControl::MatchBody, translatable("Match File Body")},
    {DuplicateControl::FindButton, translatable("Find")},
    {DuplicateControl::StopButton, translatable("Stop")},
}};

// The type text of folders as this window shows it, kept for the whole process.
FolderTypeText& duplicateWindowFolderTypeText() {
    static FolderTypeText text;
    return text;
}

DuplicateControl controlAtFault(InputField field) {
    return field == InputField::ReferenceFile ? DuplicateControl::ReferenceFile
                                              : DuplicateControl::LookIn;
}

}  // namespace

DuplicateWindowPresenter::DuplicateWindowPresenter(DuplicateWindowView& view,
                                                   std::string referencePath)
    : view_(view),
      referencePath_(std::move(referencePath)),
      history_(settingsFilePath()),
      list_(view, duplicateWindowFolderTypeText(), false) {}

DuplicateWindowPresenter::~DuplicateWindowPresenter() {
    list_.onClose();
}

void DuplicateWindowPresenter::open() {
    view_.setTitle(translate(kCaption) + " - " + Application::kName + " " +
                   Application::instance().version);
    for (const auto& [control, caption] : kCaptions) {
        view_.setText(control, translate(caption));
    }
    view_.setChecked(DuplicateControl::MatchBody, true);
    view_.showSearchRunning(false);
    list_.attach();
    const std::vector<std::string> paths = history_.load("Path");
    view_.setItems(DuplicateControl::LookIn, paths);
    if (paths.empty() || !referencePath_.empty()) {
        ownDefaultLookIn_ = "*";
    }
    view_.setText(DuplicateControl::LookIn, ownDefaultLookIn_.empty() ? paths.front() : "*");
    if (!referencePath_.empty()) {
        view_.setText(DuplicateControl::ReferenceFile, referencePath_);
    }
}

void DuplicateWindowPresenter::onBrowseFile() {
    std::string file;
    if (view_.chooseFile(file)) {
        view_.setText(DuplicateControl::ReferenceFile, file);
    }
}

void DuplicateWindowPresenter::onBrowseLookIn() {
    std::string folder;
    if (view_.chooseFolder(translate("Please select a folder for search."), folder) &&
        !folder.empty()) {
        view_.setText(DuplicateControl::LookIn, folder);
    }
}

void DuplicateWindowPresenter::onFind() {
    if (list_.searching()) {
        return;
    }
    DuplicateInputs inputs{view_.text(DuplicateControl::ReferenceFile),
                           view_.text(DuplicateControl::LookIn),
                           view_.isChecked(DuplicateControl::MatchName),
                           view_.isChecked(DuplicateControl::MatchExtension),
                           view_.isChecked(DuplicateControl::MatchTime),
                           view_.isChecked(DuplicateControl::MatchBody)};
    const std::string lookInBefore = inputs.lookIn;
    const std::optional<InputProblem> problem = checkDuplicateInputs(inputs);
    if (inputs.lookIn != lookInBefore) {
        view_.setText(DuplicateControl::LookIn, inputs.lookIn);
    }
    if (problem) {
        view_.showMessage(translate(problem->message));
        view_.setFocus(controlAtFault(problem->field));
        return;
    }
    if (inputs.lookIn != ownDefaultLookIn_) {
        const SearchHistory::SaveOutcome saved = history_.save("Path", inputs.lookIn);
        if (saved.movedFrom) {
            view_.moveItemToTop(DuplicateControl::LookIn, *saved.movedFrom);
        }
    }
    DuplicateRequest request = buildDuplicateRequest(inputs);
    view_.setChecked(DuplicateControl::MatchBody, inputs.matchBody);
    const bool recycleBin = Application::instance().searchInRecycleBin;
    const bool useIndex = Application::instance().useIndex;
    list_.start([request = std::move(request), recycleBin, useIndex](
                    SearchObserver& observer, const std::atomic<bool>& stop) {
        IndexedSearch::runDuplicates(request, observer, stop, recycleBin, useIndex);
    });
}

}  // namespace quillfen
