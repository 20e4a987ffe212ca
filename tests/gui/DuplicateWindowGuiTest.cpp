#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <sstream>

#include "support/ProgramFolderFixture.h"
#include "support/ProgramRun.h"
#include "ui/qt/QtDuplicateWindow.h"
#include "ui/qt/QtMainWindow.h"

namespace quillfen {
namespace {

class DuplicateWindowGuiTest : public test::ProgramFolderFixture {
protected:
    void SetUp() override {
        ProgramFolderFixture::SetUp();
        platform.facts().fixedLanguageId = 1033;
        folder.writeFile("tree/ref.txt", "same body");
        folder.writeFile("tree/a/copy.txt", "same body");
        folder.writeFile("tree/b/copy.bin", "same body");
        folder.writeFile("tree/b/other.txt", "different");
    }

    // What the command line finds for the same reference, sorted.
    std::vector<std::string> cliDuplicates(const std::vector<std::string>& options = {}) const {
        std::vector<std::string> arguments{
            "dupes", folder / "tree/ref.txt", "--in", folder / "tree", "--format", "paths"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const auto result = test::runProgram(QUILLFEN_CLI_PATH, arguments);
        std::vector<std::string> lines;
        std::istringstream stream(result.out);
        for (std::string line; std::getline(stream, line);) {
            lines.push_back(line);
        }
        std::sort(lines.begin(), lines.end());
        return lines;
    }

    static std::vector<std::string> rowsOf(qt::QtDuplicateWindow& window) {
        std::vector<std::string> rows;
        const ResultTable& table = window.presenter().resultList().table();
        for (std::size_t row = 0; row < table.rowCount(); ++row) {
            rows.push_back(table.rowPath(row));
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    static void findAndWait(qt::QtDuplicateWindow& window) {
        window.presenter().onFind();
        for (int i = 0; i < 500 && window.presenter().searching(); ++i) {
            QTest::qWait(10);
        }
    }
};

TEST_F(DuplicateWindowGuiTest, AFileArgumentOpensTheWindowThatFindsWhatTheCommandLineFinds) {
    qt::QtDuplicateWindow window(folder / "tree/ref.txt");
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.setText(DuplicateControl::LookIn, folder / "tree");
    findAndWait(window);
    EXPECT_EQ(rowsOf(window), cliDuplicates());
    EXPECT_EQ(rowsOf(window).size(), 2u);
}

// The window opens with the body ticked and each option ticked adds to it, as the command line's
// options do.
TEST_F(DuplicateWindowGuiTest, EachOptionFindsWhatTheCommandLineFindsWithIt) {
    folder.writeFile("tree/c/ref.txt", "different");
    folder.writeFile("tree/c/ref.doc", "same body");
    const struct {
        std::vector<DuplicateControl> ticked;
        std::vector<DuplicateControl> unticked;
        std::vector<std::string> options;
    } cases[] = {
        {{DuplicateControl::MatchName}, {}, {"--match-name"}},
        {{DuplicateControl::MatchExtension}, {}, {"--match-extension"}},
        {{DuplicateControl::MatchTime}, {}, {"--match-time"}},
        {{DuplicateControl::MatchName, DuplicateControl::MatchExtension},
         {},
         {"--match-name", "--match-extension"}},
        {{DuplicateControl::MatchName},
         {DuplicateControl::MatchBody},
         {"--match-name", "--no-match-body"}},
    };
    for (const auto& c : cases) {
        qt::QtDuplicateWindow window(folder / "tree/ref.txt");
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.setText(DuplicateControl::LookIn, folder / "tree");
        for (const DuplicateControl control : c.ticked) {
            window.setChecked(control, true);
        }
        for (const DuplicateControl control : c.unticked) {
            window.setChecked(control, false);
        }
        findAndWait(window);
        EXPECT_EQ(rowsOf(window), cliDuplicates(c.options)) << c.options.front();
    }
}

TEST_F(DuplicateWindowGuiTest, TheMainWindowsActionOpensItOnTheSelectedRow) {
    qt::QtMainWindow main("");
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    main.setText(MainControl::LookIn, folder / "tree");
    main.setText(MainControl::NamePatterns, "ref.txt");
    main.presenter().onFind();
    for (int i = 0; i < 500 && main.presenter().searching(); ++i) {
        QTest::qWait(10);
    }
    ASSERT_EQ(main.resultView()->model()->rowCount(), 1);
    main.resultView()->selectRow(0);

    std::vector<std::string> found;
    std::string reference;
    QTimer::singleShot(0, [&] {
        auto* window = qobject_cast<qt::QtDuplicateWindow*>(QApplication::activeModalWidget());
        ASSERT_NE(window, nullptr);
        reference = window->text(DuplicateControl::ReferenceFile);
        window->setText(DuplicateControl::LookIn, folder / "tree");
        findAndWait(*window);
        found = rowsOf(*window);
        window->close();
    });
    QTest::keyClick(main.resultView(), Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(reference, folder / "tree/ref.txt");
    EXPECT_EQ(found, cliDuplicates());
}

TEST_F(DuplicateWindowGuiTest, TheLookInBoxTakesWhatIsTypedWithoutCompletingIt) {
    qt::QtDuplicateWindow window(folder / "tree/ref.txt");
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* lookIn = window.findChild<QComboBox*>();
    ASSERT_NE(lookIn, nullptr);
    lookIn->insertItem(0, QString::fromStdString(folder / "tree/a"));
    lookIn->setFocus();
    lookIn->lineEdit()->clear();
    QTest::keyClicks(lookIn->lineEdit(), QString::fromStdString(folder / "tree"));
    EXPECT_EQ(window.text(DuplicateControl::LookIn), folder / "tree");
    findAndWait(window);
    EXPECT_EQ(rowsOf(window).size(), 2u);
}

TEST_F(DuplicateWindowGuiTest, BothWindowsOpenWideEnoughForAllColumns) {
    qt::QtDuplicateWindow duplicates(folder / "tree/ref.txt");
    qt::QtMainWindow main("");
    for (QWidget* window : std::initializer_list<QWidget*>{&duplicates, &main}) {
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    }
    for (QTableView* list : {duplicates.resultView(), main.resultView()}) {
        EXPECT_LE(list->horizontalHeader()->length(), list->viewport()->width());
    }
}

TEST_F(DuplicateWindowGuiTest, EscapeDoesNotCloseItAndScreenshot) {
    qt::QtDuplicateWindow window(folder / "tree/ref.txt");
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.setText(DuplicateControl::LookIn, folder / "tree");
    findAndWait(window);
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible());
    if (const char* target = std::getenv("QUILLFEN_DUPLICATE_SCREENSHOT")) {
        window.resize(900, 480);
        QApplication::processEvents();
        ASSERT_TRUE(window.grab().save(QString::fromUtf8(target)));
    }
}

}  // namespace
}  // namespace quillfen
