#include "ui/MainWindowPresenter.h"

#include <array>
#include <cstdio>
#include <string>
#include <utility>

#include "app/Application.h"
#include "app/LanguageTable.h"
#include "app/Settings.h"
#include "app/TextUtilities.h"
#include "index/IndexedSearch.h"
#include "platform/Platform.h"
#include "search/DatePresets.h"
#include "search/InputCheck.h"
#include "search/SearchCriteria.h"
#include "update/AvailableVersion.h"

namespace quillfen {

namespace {

constexpr std::array kDateOptions = {
    translatable("Don't remember"), translatable("Within the last week"),
    translatable("Past month"), translatable("Within the pass year"),
    translatable("Specify dates")};
constexpr std::array kSizeOptions = {
    translatable("Don't remember"), translatable("Small(less than 100 KB)"),
    translatable("Medium(less than 1 MB)"), translatable("Large(more than 1MB)"),
    translatable("Specify size (in KB)")};
constexpr std::array kSizeBounds = {translatable("at least"), translatable("at most")};

constexpr std::array kNameHints = {
    translatable("* or Empty , for all files."),
    translatable("*.tx , the file 1.tx can be found. the file 2.txt can not be found."),
    translatable("*.tx* , both of the files 1.tx and 2.txt can be found."),
    translatable("*.txt *.log , both of the files 1.txt and 2.log can be found."),
    translatable("1*.txt , the file 12.txt can be found. the file 21.txt can not be found.")};

// The captions the window translates when it opens, in this order.
constexpr std::array<std::pair<MainControl, const char*>, 15> kCaptions = {{
    {MainControl::NameGroup, translatable("All or part of the file name:")},
    {MainControl::LookInGroup, translatable("Look in:")},
    {MainControl::ContentGroup, translatable("Find:")},
    {MainControl::DateGroup, translatable("When was it modified?")},
    {MainControl::SizeGroup, translatable("What size is it?")},
    {MainControl::ProgressLine, ""},
    {MainControl::MatchCase, translatable("Match case")},
    {MainControl::SearchSubfolders, translatable("Search subfolders")},
    {MainControl::MatchAnsi, translatable("Match Ansi")},
    {MainControl::MatchUnicode, translatable("Match Unicode")},
    {MainControl::MatchUtf8, translatable("Match UTF-8")},
    {MainControl::FindButton, translatable("Find")},
    {MainControl::StopButton, translatable("Stop")},
    {MainControl::TextMode, translatable("Text")},
    {MainControl::HexMode, translatable("Hex")},
}};

std::vector<std::string> translated(const auto& texts) {
    std::vector<std::string> result;
    for (const char* text : texts) {
        result.push_back(translate(text));
    }
    return result;
}

// The type text of folders as the search window shows it, kept for the whole process.
FolderTypeText& mainWindowFolderTypeText() {
    static FolderTypeText text;
    return text;
}

}  // namespace

MainWindowPresenter::MainWindowPresenter(MainWindowView& view, std::string lookInArgument)
    : view_(view),
      lookInArgument_(std::move(lookInArgument)),
      history_(settingsFilePath()),
      list_(view, mainWindowFolderTypeText(), true) {}

MainWindowPresenter::~MainWindowPresenter() {
    list_.onClose();
}

bool MainWindowPresenter::languageNeedsNoTranslation(int languageId) {
    return languageId == 0x0404 || languageId == 0x0409 || languageId == 0x0804 ||
           languageId == 0x0C04 || languageId == 0x1004 || languageId == 0x1404;
}

void MainWindowPresenter::open() {
    view_.setTitle(std::string(Application::kName) + " " + Application::instance().version);
    for (const auto& [control, caption] : kCaptions) {
        view_.setText(control, translate(caption));
    }
    for (const MainControl control :
         {MainControl::SearchSubfolders, MainControl::MatchAnsi, MainControl::MatchUnicode,
          MainControl::MatchUtf8, MainControl::TextMode}) {
        view_.setChecked(control, true);
    }
    view_.setChecked(MainControl::MatchCase, false);
    view_.setChecked(MainControl::HexMode, false);
    onTextMode();
    view_.setVisible(MainControl::StopButton, false);
    view_.setVisible(MainControl::DebugButton, Application::instance().developerMode);

    const int languageId = platform::currentPlatform().system().systemLanguageId();
    if (languageNeedsNoTranslation(languageId)) {
        view_.setVisible(MainControl::TranslationBanner, false);
    } else {
        view_.setText(MainControl::TranslationBanner,
                      "This is a free software, if you like , please help us to translate "
                      "Quillfen! to " +
                          systemLanguageName() + " .");
        view_.setVisible(MainControl::TranslationBanner, true);
        view_.setVisible(MainControl::ProgressLine, false);
        view_.setVisible(MainControl::CountLine, false);
    }
    fillOptionLists();
    list_.attach();
    for (const MainControl control : {MainControl::SizeBound, MainControl::SizeKilobytes,
                                      MainControl::DateFrom, MainControl::DateTo}) {
        view_.setEnabled(control, false);
    }
    loadHistory();
    if (!lookInArgument_.empty()) {
        view_.setText(MainControl::LookIn, lookInArgument_);
    }
    setToolTips();
    announceAvailableVersion();
    // Most searches start from a name; a pattern typed into the content box would search file
    // contents for it and find nothing.
    view_.setFocus(MainControl::NamePatterns);
}

// A copy that the system's package manager updates learns of a newer version from the version
// check, which may not write the program; the window tells the user once, in the status lines,
// which take the banner's place for it.
void MainWindowPresenter::announceAvailableVersion() {
    const std::optional<std::string> version =
        takeAvailableVersionNotice(Application::instance().version);
    if (!version) {
        return;
    }
    view_.setVisible(MainControl::TranslationBanner, false);
    view_.setVisible(MainControl::CountLine, true);
    view_.setVisible(MainControl::ProgressLine, true);
    view_.setStatusLine(StatusLine::Progress,
                        filledIn(translate("Version %s is available."), "%s", {*version}));
}

void MainWindowPresenter::fillOptionLists() {
    view_.setItems(MainControl::DateOption, translated(kDateOptions));
    view_.selectItem(MainControl::DateOption, 0);
    view_.setItems(MainControl::SizeOption, translated(kSizeOptions));
    view_.selectItem(MainControl::SizeOption, 0);
    view_.setItems(MainControl::SizeBound, translated(kSizeBounds));
    view_.selectItem(MainControl::SizeBound, 0);
    const platform::LocalTime now =
        platform::currentPlatform().clock().toLocalTime(platform::currentPlatform().clock().now());
    const CalendarDate today{now.year, now.month, now.day};
    view_.setDate(MainControl::DateFrom, today);
    view_.setDate(MainControl::DateTo, today);
}

void MainWindowPresenter::loadHistory() {
    const std::vector<std::string> paths = history_.load("Path");
    view_.setItems(MainControl::LookIn, paths);
    view_.setText(MainControl::LookIn, paths.empty() ? "*" : paths.front());
    view_.setItems(MainControl::NamePatterns, history_.load("FileName"));
    view_.setText(MainControl::NamePatterns, "");
    view_.setItems(MainControl::ContentText, history_.load("Text"));
    view_.setText(MainControl::ContentText, "");
    view_.setItems(MainControl::HexText, history_.load("Hex"));
    view_.setText(MainControl::HexText, "");
}

void MainWindowPresenter::setToolTips() {
    std::string names;
    for (const char* hint : kNameHints) {
        names += (names.empty() ? "" : "\r\n\r\n") + translate(hint);
    }
    view_.setToolTip(MainControl::NamePatterns, names);
    view_.setToolTip(MainControl::LookIn, translate("* for all drives on your computer."));
    view_.setToolTip(
        MainControl::ContentText,
        translate("12*56 ,the file which include 12[...any other character...]56 can be found."));
    view_.setToolTip(MainControl::HexText,
                     translate("31 32 * 35 36 ,the file which include 12[...any other "
                               "character...]56 can be found."));
}

void MainWindowPresenter::onTextMode() {
    view_.setVisible(MainControl::ContentText, true);
    view_.setVisible(MainControl::HexText, false);
    for (const MainControl control : {MainControl::MatchCase, MainControl::MatchAnsi,
                                      MainControl::MatchUnicode, MainControl::MatchUtf8}) {
        view_.setEnabled(control, true);
    }
    view_.setFocus(MainControl::ContentText);
}

void MainWindowPresenter::onHexMode() {
    view_.setVisible(MainControl::HexText, true);
    view_.setVisible(MainControl::ContentText, false);
    for (const MainControl control : {MainControl::MatchCase, MainControl::MatchAnsi,
                                      MainControl::MatchUnicode, MainControl::MatchUtf8}) {
        view_.setEnabled(control, false);
    }
    view_.setFocus(MainControl::HexText);
}

void MainWindowPresenter::onDateOptionChanged() {
    SearchInputs inputs = readInputs();
    const auto option = static_cast<DateOption>(view_.selectedItem(MainControl::DateOption));
    const bool editable =
        applyDateOption(option, platform::currentPlatform().clock().now(), inputs);
    if (option != DateOption::DontRemember && option != DateOption::SpecifyDates) {
        view_.setDate(MainControl::DateFrom, inputs.dateFrom);
        view_.setDate(MainControl::DateTo, inputs.dateTo);
    }
    view_.setEnabled(MainControl::DateFrom, editable);
    view_.setEnabled(MainControl::DateTo, editable);
}

void MainWindowPresenter::onSizeOptionChanged() {
    SearchInputs inputs = readInputs();
    const auto option = static_cast<SizeOption>(view_.selectedItem(MainControl::SizeOption));
    const bool editable = applySizeOption(option, inputs);
    if (option != SizeOption::DontRemember && option != SizeOption::SpecifySize) {
        view_.selectItem(MainControl::SizeBound, inputs.sizeBound == SizeBound::AtLeast ? 0 : 1);
        view_.setText(MainControl::SizeKilobytes, inputs.sizeKilobytes);
    }
    view_.setEnabled(MainControl::SizeBound, editable);
    view_.setEnabled(MainControl::SizeKilobytes, editable);
}

void MainWindowPresenter::onBrowseLookIn() {
    std::string folder;
    if (view_.chooseFolder(translate("Please select a folder for search."), folder)) {
        view_.setText(MainControl::LookIn, folder);
    }
}

SearchInputs MainWindowPresenter::readInputs() const {
    SearchInputs inputs;
    inputs.namePatterns = view_.text(MainControl::NamePatterns);
    inputs.lookIn = view_.text(MainControl::LookIn);
    inputs.searchSubfolders = view_.isChecked(MainControl::SearchSubfolders);
    inputs.content.hexMode = view_.isChecked(MainControl::HexMode);
    inputs.content.text = view_.text(MainControl::ContentText);
    inputs.content.hexText = view_.text(MainControl::HexText);
    inputs.content.matchCase = view_.isChecked(MainControl::MatchCase);
    inputs.content.matchAnsi = view_.isChecked(MainControl::MatchAnsi);
    inputs.content.matchUnicode = view_.isChecked(MainControl::MatchUnicode);
    inputs.content.matchUtf8 = view_.isChecked(MainControl::MatchUtf8);
    inputs.dateOption = static_cast<DateOption>(view_.selectedItem(MainControl::DateOption));
    inputs.dateFrom = view_.date(MainControl::DateFrom);
    inputs.dateTo = view_.date(MainControl::DateTo);
    inputs.sizeOption = static_cast<SizeOption>(view_.selectedItem(MainControl::SizeOption));
    inputs.sizeBound =
        view_.selectedItem(MainControl::SizeBound) == 1 ? SizeBound::AtMost : SizeBound::AtLeast;
    inputs.sizeKilobytes = view_.text(MainControl::SizeKilobytes);
    return inputs;
}

void MainWindowPresenter::onFind() {
    // One search at a time: Find is hidden while one runs, and Enter is ignored.
    if (list_.searching()) {
        return;
    }
    SearchInputs inputs = readInputs();
    const std::string lookInBefore = inputs.lookIn;
    const std::optional<InputProblem> problem = checkInputs(inputs);
    if (inputs.lookIn != lookInBefore) {
        view_.setText(MainControl::LookIn, inputs.lookIn);
    }
    if (problem) {
        view_.showMessage(translate(problem->message));
        const MainControl focus = problem->field == InputField::NamePatterns
                                      ? MainControl::NamePatterns
                                  : problem->field == InputField::HexText ? MainControl::HexText
                                                                          : MainControl::LookIn;
        view_.setFocus(focus);
        return;
    }
    if (inputs.content.hexMode) {
        view_.setText(MainControl::HexText, inputs.content.hexText);
    }
    startSearch(std::move(inputs));
}

void MainWindowPresenter::saveHistory(const SearchInputs& inputs) {
    const std::pair<const char*, MainControl> lists[] = {
        {"Path", MainControl::LookIn},
        {"FileName", MainControl::NamePatterns},
        inputs.content.hexMode ? std::pair{"Hex", MainControl::HexText}
                               : std::pair{"Text", MainControl::ContentText}};
    for (const auto& [section, control] : lists) {
        const std::string text = view_.text(control);
        const SearchHistory::SaveOutcome outcome = history_.save(section, text);
        if (outcome.movedFrom) {
            view_.moveItemToTop(control, *outcome.movedFrom);
        }
    }
}

void MainWindowPresenter::startSearch(SearchInputs inputs) {
    view_.setVisible(MainControl::TranslationBanner, false);
    view_.setVisible(MainControl::CountLine, true);
    view_.setVisible(MainControl::ProgressLine, true);
    saveHistory(inputs);
    const bool recycleBin = Application::instance().searchInRecycleBin;
    const bool useIndex = Application::instance().useIndex;
    inputs.content.ansiCodePage = Application::instance().ansiCodePage;
    // A pasted list of hundreds of thousands of names takes a noticeable time to compile, so the
    // worker compiles them and the window stays responsive.
    std::string namePatterns = std::exchange(inputs.namePatterns, {});
    SearchCriteria criteria = buildCriteria(inputs);
    if (inputs.content.matchAnsi && !view_.isChecked(MainControl::MatchAnsi)) {
        view_.setChecked(MainControl::MatchAnsi, true);
    }
    list_.start([criteria = std::move(criteria), namePatterns = std::move(namePatterns), recycleBin,
                 useIndex](SearchObserver& observer, const std::atomic<bool>& stop) mutable {
        criteria.namePatterns = compileNamePatterns(namePatterns);
        IndexedSearch::run(criteria, observer, stop, recycleBin, useIndex);
    });
}

void MainWindowPresenter::onStop() {
    list_.onStop();
}

void MainWindowPresenter::onSearchTick() {
    list_.onTick();
}

void MainWindowPresenter::onHeaderClicked(int column) {
    list_.onHeaderClicked(column);
}

void MainWindowPresenter::onTranslationBanner() {
    openTranslationReadme();
}

std::vector<ContextMenuItem> MainWindowPresenter::contextMenu(bool clickOnRow) const {
    return list_.contextMenu(clickOnRow);
}

void MainWindowPresenter::onAction(ResultAction action) {
    list_.onAction(action);
}

void MainWindowPresenter::onControlKey(char letter) {
    list_.onControlKey(letter);
}

void MainWindowPresenter::onDoubleClick(std::optional<std::size_t> row) {
    list_.onDoubleClick(row);
}

void MainWindowPresenter::onClose() {
    list_.onClose();
}

}  // namespace quillfen
