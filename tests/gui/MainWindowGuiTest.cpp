#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <thread>

#include "app/Application.h"
#include "app/NumberFormat.h"
#include "support/ProgramFolderFixture.h"
#include "support/ProgramRun.h"
#include "ui/qt/ProgramLocale.h"
#include "ui/qt/QtMainWindow.h"

namespace quillfen {
namespace {

class MainWindowGuiTest : public test::ProgramFolderFixture {
protected:
    void SetUp() override {
        ProgramFolderFixture::SetUp();
        platform.facts().fixedLanguageId = 1033;
        window = std::make_unique<qt::QtMainWindow>("");
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void TearDown() override {
        window.reset();
        ProgramFolderFixture::TearDown();
    }

    template <typename T>
    T* child(const QString& text) const {
        for (T* candidate : window->findChildren<T*>()) {
            if (candidate->text() == text) {
                return candidate;
            }
        }
        return nullptr;
    }

    QComboBox* box(MainControl control) const {
        return qobject_cast<QComboBox*>(controlWidget(control));
    }
    QWidget* controlWidget(MainControl control) const;

    void typeInto(MainControl control, const std::string& text) {
        QComboBox* target = box(control);
        target->setFocus();
        target->lineEdit()->clear();
        QTest::keyClicks(target->lineEdit(), QString::fromStdString(text));
    }

    void waitForSearchEnd() {
        for (int i = 0; i < 500 && window->presenter().searching(); ++i) {
            QTest::qWait(10);
        }
    }

    std::unique_ptr<qt::QtMainWindow> window;
};

QWidget* MainWindowGuiTest::controlWidget(MainControl control) const {
    // The combo boxes in their layout order: names, look in, text, hex.
    const auto boxes = window->findChildren<QComboBox*>();
    std::vector<QComboBox*> editable;
    for (QComboBox* candidate : boxes) {
        if (candidate->isEditable()) {
            editable.push_back(candidate);
        }
    }
    switch (control) {
        case MainControl::NamePatterns:
            return editable.at(0);
        case MainControl::LookIn:
            return editable.at(1);
        case MainControl::ContentText:
            return editable.at(2);
        case MainControl::HexText:
            return editable.at(3);
        default:
            return nullptr;
    }
}

TEST_F(MainWindowGuiTest, FindFillsTheListAndHeaderClicksSort) {
    folder.writeFile("tree/b.txt", std::string(2000, 'x'));
    folder.writeFile("tree/a.txt", "x");
    folder.writeFile("tree/sub/c.log", "x");
    typeInto(MainControl::LookIn, folder / "tree");
    typeInto(MainControl::NamePatterns, "*.txt");
    QTest::keyClick(box(MainControl::NamePatterns)->lineEdit(), Qt::Key_Return);
    waitForSearchEnd();
    QTableView* list = window->resultView();
    ASSERT_EQ(list->model()->rowCount(), 2);
    EXPECT_TRUE(list->isColumnHidden(5));
    EXPECT_EQ(list->model()->headerData(5, Qt::Horizontal).toString(), "Size Byte");

    QHeaderView* header = list->horizontalHeader();
    EXPECT_FALSE(header->isSortIndicatorShown());
    header->sectionClicked(4);
    EXPECT_EQ(list->model()->index(0, 0).data().toString(), "a.txt");
    EXPECT_TRUE(header->isSortIndicatorShown());
    EXPECT_EQ(header->sortIndicatorSection(), 4);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    header->sectionClicked(4);
    EXPECT_EQ(list->model()->index(0, 0).data().toString(), "b.txt");
    EXPECT_EQ(list->model()->index(0, 4).data().toString(), "1.95 KB");
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    header->sectionClicked(0);
    EXPECT_EQ(header->sortIndicatorSection(), 0);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);

    // A new search lists its rows as found: no arrow claims an order for them.
    QTest::keyClick(box(MainControl::NamePatterns)->lineEdit(), Qt::Key_Return);
    waitForSearchEnd();
    EXPECT_FALSE(header->isSortIndicatorShown());
}

// The window's menu exports through Qt's save dialog, which adds the chosen type's extension, and
// the file holds what the command line prints for the same search, byte for byte.
TEST_F(MainWindowGuiTest, ExportFromTheMenuWritesTheCommandLinesTsv) {
    folder.writeFile("tree/b,c.txt", "xx");
    folder.writeFile("tree/a\tb.txt", "x");
    typeInto(MainControl::LookIn, folder / "tree");
    QTest::keyClick(box(MainControl::LookIn)->lineEdit(), Qt::Key_Return);
    waitForSearchEnd();
    QAction* exportList = nullptr;
    for (QToolButton* button : window->findChildren<QToolButton*>()) {
        for (QAction* action :
             button->menu() != nullptr ? button->menu()->actions() : QList<QAction*>()) {
            if (action->text() == "Export List...") {
                exportList = action;
            }
        }
    }
    ASSERT_NE(exportList, nullptr);
    bool answered = false;
    int polls = 0;
    std::function<void()> answer = [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            if (++polls < 500) {
                QTimer::singleShot(10, answer);
            }
            return;
        }
        // The user picks the second file type in the dialog's type box and types a name.
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (types != nullptr && name != nullptr) {
            types->setCurrentIndex(1);
            emit types->activated(1);
            emit types->textActivated(types->currentText());
            name->setText(QString::fromStdString(folder / "exported"));
            static_cast<QDialog*>(dialog)->accept();
            answered = !dialog->isVisible();
        }
        // A dialog that did not take the answer is closed, so the test fails instead of hanging.
        if (dialog->isVisible()) {
            dialog->reject();
        }
    };
    QTimer::singleShot(10, answer);
    exportList->trigger();
    EXPECT_TRUE(answered);
    const std::string printed =
        test::runProgram(QUILLFEN_CLI_PATH,
                         {"find", "--in", folder / "tree", "--name", "*", "--format", "tsv"})
            .out;
    EXPECT_EQ(folder.readFile("exported.tsv"), printed);
}

TEST_F(MainWindowGuiTest, HomeAndEndGoToTheFirstAndTheLastRow) {
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"}) {
        folder.writeFile(std::string("tree/") + name, "x");
    }
    typeInto(MainControl::LookIn, folder / "tree");
    QTest::keyClick(box(MainControl::LookIn)->lineEdit(), Qt::Key_Return);
    waitForSearchEnd();
    QTableView* list = window->resultView();
    ASSERT_EQ(list->model()->rowCount(), 4);
    list->setFocus();
    list->selectRow(1);
    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int currentRow;
        int selectedRows;
    };
    for (const Step& step :
         {Step{Qt::Key_End, Qt::NoModifier, 3, 1}, Step{Qt::Key_Home, Qt::NoModifier, 0, 1},
          Step{Qt::Key_End, Qt::ShiftModifier, 3, 4}}) {
        QTest::keyClick(list, step.key, step.modifiers);
        EXPECT_EQ(list->currentIndex().row(), step.currentRow) << QTest::toString(step.key);
        EXPECT_EQ(list->selectionModel()->selectedRows().size(), step.selectedRows)
            << QTest::toString(step.key);
    }
}

TEST_F(MainWindowGuiTest, ShortcutsSelectCopyAndOpenInTheEditor) {
    folder.writeFile("tree/one file.txt", "x");
    folder.writeFile("tree/two.txt", "x");
    const std::string arguments = folder / "arguments.txt";
    folder.writeFile("editor.sh", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + arguments +
                                      ".part\"\nmv \"" + arguments + ".part\" \"" + arguments +
                                      "\"\n");
    std::filesystem::permissions(folder / "editor.sh", std::filesystem::perms::owner_all);
    Application::instance().editor = "\"" + folder / "editor.sh" + "\" --new";

    typeInto(MainControl::LookIn, folder / "tree");
    QTest::keyClick(box(MainControl::LookIn)->lineEdit(), Qt::Key_Return);
    waitForSearchEnd();
    QTableView* list = window->resultView();
    ASSERT_EQ(list->model()->rowCount(), 2);
    window->presenter().onHeaderClicked(0);

    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(list->selectionModel()->selectedRows().size(), 2);
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    const std::string tree = folder / "tree";
    const QByteArray uris = copied->data(QStringLiteral("text/uri-list"));
    EXPECT_EQ(uris.toStdString(),
              "file://" +
                  QUrl::toPercentEncoding(QString::fromStdString(tree + "/one file.txt"), "/")
                      .toStdString() +
                  "\r\nfile://" + tree + "/two.txt\r\n");
    EXPECT_TRUE(copied->data(QStringLiteral("x-special/gnome-copied-files")).startsWith("copy\n"));
    EXPECT_EQ(copied->data(QStringLiteral("application/x-kde-cutselection")), "0");
    EXPECT_EQ(copied->text().toStdString(), tree + "/one file.txt\n" + tree + "/two.txt");

    QTest::keyClick(list, Qt::Key_X, Qt::ControlModifier);
    EXPECT_TRUE(QApplication::clipboard()
                    ->mimeData()
                    ->data(QStringLiteral("x-special/gnome-copied-files"))
                    .startsWith("cut\n"));

    QTest::keyClick(list, Qt::Key_I, Qt::ControlModifier);
    EXPECT_TRUE(list->selectionModel()->selectedRows().isEmpty());
    list->selectRow(0);
    QTest::keyClick(list, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "\"" + tree + "/one file.txt\"\r\n");

    QTest::keyClick(list, Qt::Key_E, Qt::ControlModifier);
    for (int i = 0; i < 300 && !std::filesystem::exists(arguments); ++i) {
        QTest::qWait(10);
    }
    EXPECT_EQ(folder.readFile("arguments.txt"), "--new\n" + tree + "/one file.txt\n");
    Application::instance().editor.clear();
}

TEST_F(MainWindowGuiTest, PlainTextOnTheClipboardKeepsThePathsOwnBytes) {
    const std::string name = "caf\xff \xc3\xa9.txt";
    folder.writeFile("tree/" + name, "x");
    typeInto(MainControl::LookIn, folder / "tree");
    QTest::keyClick(box(MainControl::LookIn)->lineEdit(), Qt::Key_Return);
    waitForSearchEnd();
    QTableView* list = window->resultView();
    ASSERT_EQ(list->model()->rowCount(), 1);
    list->selectRow(0);
    const std::string path = folder / "tree/" + name;
    struct Case {
        Qt::Key key;
        std::string plainText;
    };
    for (const Case& entry :
         {Case{Qt::Key_N, "\"" + path + "\"\r\n"}, Case{Qt::Key_C, path}, Case{Qt::Key_X, path}}) {
        QTest::keyClick(list, entry.key, Qt::ControlModifier);
        const QMimeData* copied = QApplication::clipboard()->mimeData();
        ASSERT_NE(copied, nullptr);
        EXPECT_EQ(copied->data(QStringLiteral("text/plain")).toStdString(), entry.plainText)
            << QTest::toString(entry.key);
    }
}

TEST_F(MainWindowGuiTest, TypedTextIsNeverCompletedFromTheHistory) {
    struct Case {
        MainControl control;
        std::string earlier;
        std::string typed;
    };
    const Case cases[] = {
        {MainControl::LookIn, "/home/anna/photos/2019", "/home/anna/photos"},
        {MainControl::NamePatterns, "*.txt *.log", "*.t"},
        {MainControl::ContentText, "hello world", "hello"},
        {MainControl::HexText, "31 32 33", "31 32"},
    };
    for (const Case& entry : cases) {
        box(entry.control)->insertItem(0, QString::fromStdString(entry.earlier));
        typeInto(entry.control, entry.typed);
        EXPECT_EQ(box(entry.control)->currentText().toStdString(), entry.typed) << entry.typed;
    }
}

// What the platform names for themes: nothing off screen, hicolor on a bare X server.
TEST_F(MainWindowGuiTest, EachKindOfFileShowsItsOwnIcon) {
    const std::vector<std::string> names = {"archive.zip", "notes.txt", "photo.png", "report.pdf",
                                            "run.sh"};
    for (const std::string& name : names) {
        folder.writeFile("tree/" + name, "x");
    }
    for (const QString& platformTheme : {QStringLiteral("hicolor"), QString()}) {
        QIcon::setThemeName(platformTheme);
        QIcon::setFallbackThemeName(platformTheme);
        qt::QtMainWindow shown("");
        shown.setText(MainControl::LookIn, folder / "tree");
        shown.presenter().onFind();
        for (int i = 0; i < 500 && shown.presenter().searching(); ++i) {
            QTest::qWait(10);
        }
        QAbstractItemModel* rows = shown.resultView()->model();
        ASSERT_EQ(rows->rowCount(), static_cast<int>(names.size()));
        std::map<std::string, QImage> pictures;
        for (int row = 0; row < rows->rowCount(); ++row) {
            const auto icon = rows->index(row, 0).data(Qt::DecorationRole).value<QIcon>();
            pictures[rows->index(row, 0).data().toString().toStdString()] =
                icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
        }
        for (const auto& [name, picture] : pictures) {
            EXPECT_FALSE(picture.isNull()) << name;
            for (const auto& [other, otherPicture] : pictures) {
                if (name < other) {
                    EXPECT_NE(picture, otherPicture) << name << " and " << other << " under '"
                                                     << platformTheme.toStdString() << "'";
                }
            }
        }
    }
}

TEST_F(MainWindowGuiTest, TheTypeColumnSpeaksTheProgramsLanguage) {
    folder.writeFile("tree/notes.txt", "x");
    const QLocale saved;
    struct Case {
        const char* languageId;
        const char* locale;
        std::string plainText;
    };
    for (const Case& entry : {Case{"1031", "de_DE", "Einfaches Textdokument"},
                              Case{"2052", "zh_CN", "\u7eaf\u6587\u672c\u6587\u6863"}}) {
        writeSetting(settingsFile(), "Config", "LanguageID", entry.languageId);
        qt::ProgramLocale::apply();
        qt::QtMainWindow speaking("");
        speaking.setText(MainControl::LookIn, folder / "tree");
        speaking.presenter().onFind();
        for (int i = 0; i < 500 && speaking.presenter().searching(); ++i) {
            QTest::qWait(10);
        }
        ASSERT_EQ(speaking.resultView()->model()->rowCount(), 1);
        const QString type = speaking.resultView()->model()->index(0, 2).data().toString();
        EXPECT_EQ(QLocale().name(), entry.locale);
        EXPECT_EQ(type.toStdString(), entry.plainText);
    }
    QLocale::setDefault(saved);
}

TEST_F(MainWindowGuiTest, TheNextWindowOpensWithTheSizeAndColumnWidthsThisOneClosedWith) {
    window->resize(1234, 777);
    window->resultView()->setColumnWidth(1, 333);
    window->resultView()->setColumnWidth(4, 99);
    window->close();
    window.reset();
    qt::QtMainWindow next("");
    next.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&next));
    EXPECT_EQ(next.size(), QSize(1234, 777));
    EXPECT_EQ(next.resultView()->columnWidth(1), 333);
    EXPECT_EQ(next.resultView()->columnWidth(4), 99);
    EXPECT_TRUE(next.resultView()->isColumnHidden(5));
}

// A window once shrunk to a sliver, or a date column narrowed below its dates in today's font,
// opens usable again; and the window cannot be made smaller than its controls.
TEST_F(MainWindowGuiTest, TooSmallStoredSizesAreNotTakenAndDatesFitTheirColumn) {
    window->close();
    window.reset();
    writeSetting(settingsFile(), "Config", "WindowWidth", "250");
    writeSetting(settingsFile(), "Config", "WindowHeight", "120");
    writeSetting(settingsFile(), "Config", "DateModifiedColumnWidth", "40");
    qt::QtMainWindow next("");
    next.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&next));
    EXPECT_GE(next.width(), next.minimumSizeHint().width());
    EXPECT_GE(next.height(), next.minimumSizeHint().height());
    EXPECT_GT(next.height(), 400);
    const QFontMetrics metrics = next.resultView()->fontMetrics();
    EXPECT_GT(next.resultView()->columnWidth(3),
              metrics.horizontalAdvance(QStringLiteral("2026-12-31 23:59:59")));
    next.resize(250, 120);
    EXPECT_GE(next.width(), next.minimumSizeHint().width());
    EXPECT_GT(next.resultView()->height(), 3 * metrics.height()) << "a few rows stay in sight";
}

TEST_F(MainWindowGuiTest, EscapeNeverClosesTheWindow) {
    QTest::keyClick(window.get(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowGuiTest, StopEndsALongSearchAndClosingDuringASearchWaitsForIt) {
    for (int i = 0; i < 400; ++i) {
        folder.writeFile("tree/d" + std::to_string(i) + "/f.txt", "x");
    }
    typeInto(MainControl::LookIn, folder / "tree");
    child<QPushButton>("Find")->click();
    EXPECT_TRUE(window->presenter().searching());
    child<QPushButton>("Stop")->click();
    waitForSearchEnd();
    EXPECT_FALSE(window->presenter().searching());
    EXPECT_TRUE(child<QPushButton>("Find")->isVisible());

    child<QPushButton>("Find")->click();
    window->close();
    EXPECT_FALSE(window->presenter().searching());
}

// What the walk could not read shows on the progress line after the search, beside the word
// that it was stopped, and a click on the line lists each folder with its reason.
TEST_F(MainWindowGuiTest, AStoppedSearchSaysSoAndAClickListsWhatItCouldNotRead) {
    std::atomic<bool> reported{false};
    window->presenter().resultList().start(
        [&](SearchObserver& observer, const std::atomic<bool>& stop) {
            observer.searchingFolder("/x/");
            observer.skipped("/x/locked/", "Permission denied");
            reported = true;
            while (!stop.load()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
    while (!reported.load()) {
        QTest::qWait(5);
    }
    child<QPushButton>("Stop")->click();
    waitForSearchEnd();
    QLabel* line = nullptr;
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->text().startsWith("Search stopped after ")) {
            line = label;
        }
    }
    ASSERT_NE(line, nullptr);
    const QString mark = QString::fromStdString(NumberFormat::ofShownLanguage().decimalMark());
    EXPECT_TRUE(QRegularExpression("^Search stopped after \\d+[" + mark +
                                   "]\\d\\d seconds\\. 1 folder\\(s\\) could not be read$")
                    .match(line->text())
                    .hasMatch())
        << line->text().toStdString();

    QString listed;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box != nullptr) {
            listed = box->text() + "|" + box->detailedText();
            box->accept();
        }
    });
    QTest::mouseClick(line, Qt::LeftButton);
    EXPECT_EQ(listed.toStdString(), "1 folder(s) could not be read|/x/locked: Permission denied\n");
}

TEST_F(MainWindowGuiTest, ScreenshotAfterASearch) {
    for (const char* name : {"notes/todo.txt", "notes/ideas.md", "src/main.cpp", "src/util.h",
                             "report.pdf", "photo.png"}) {
        folder.writeFile(std::string("demo/") + name, std::string(1500, 'x'));
    }
    typeInto(MainControl::LookIn, folder / "demo");
    child<QPushButton>("Find")->click();
    waitForSearchEnd();
    window->resize(1000, 600);
    QApplication::processEvents();
    const char* target = std::getenv("QUILLFEN_SCREENSHOT");
    if (target != nullptr) {
        ASSERT_TRUE(window->grab().save(QString::fromUtf8(target)));
    }
    EXPECT_EQ(window->resultView()->model()->rowCount(), 8);
}

}  // namespace
}  // namespace quillfen
