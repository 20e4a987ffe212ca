#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <filesystem>

#include "support/ProgramFolderFixture.h"
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

    list->horizontalHeader()->sectionClicked(4);
    EXPECT_EQ(list->model()->index(0, 0).data().toString(), "a.txt");
    list->horizontalHeader()->sectionClicked(4);
    EXPECT_EQ(list->model()->index(0, 0).data().toString(), "b.txt");
    EXPECT_EQ(list->model()->index(0, 4).data().toString(), "1.95 KB");
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
