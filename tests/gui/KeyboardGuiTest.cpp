#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/ProgramFolderFixture.h"
#include "ui/qt/QtDuplicateWindow.h"
#include "ui/qt/QtMainWindow.h"

namespace quillfen {
namespace {

// Answers every message box that opens while it lives, by pressing a key in it, and keeps their
// texts.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(Qt::Key key) {
        QObject::connect(&timer_, &QTimer::timeout, [this, key] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box != nullptr && box->isVisible() && !box->property(kAnswered).toBool()) {
                box->setProperty(kAnswered, true);
                texts.push_back(box->text().toStdString());
                QTest::keyClick(box, key);
            }
        });
        timer_.start(20);
    }

    std::vector<std::string> texts;

private:
    static constexpr const char* kAnswered = "answeredByTest";
    QTimer timer_;
};

// The keyboard in both search windows: where the focus starts and where Tab takes it, Enter in
// the list and in the boxes, and message boxes that Enter opened and closes.
class KeyboardGuiTest : public test::ProgramFolderFixture {
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

    QComboBox* box(int index) const {
        std::vector<QComboBox*> editable;
        for (QComboBox* candidate : window->findChildren<QComboBox*>()) {
            if (candidate->isEditable()) {
                editable.push_back(candidate);
            }
        }
        return editable.at(static_cast<std::size_t>(index));
    }
    QComboBox* names() const { return box(0); }
    QComboBox* lookIn() const { return box(1); }
    QComboBox* contentText() const { return box(2); }
    QComboBox* hexText() const { return box(3); }

    void searchTree(int files) {
        for (int file = 0; file < files; ++file) {
            folder.writeFile("tree/f" + std::to_string(file) + ".txt", "x");
        }
        lookIn()->setEditText(QString::fromStdString(folder / "tree"));
        window->presenter().onFind();
        for (int i = 0; i < 500 && window->presenter().searching(); ++i) {
            QTest::qWait(10);
        }
        ASSERT_EQ(window->resultView()->model()->rowCount(), files);
    }

    // The window's own control that holds the focus: a combo box rather than its line edit.
    QWidget* focused() const {
        QWidget* focus = window->focusWidget();
        if (focus != nullptr && qobject_cast<QComboBox*>(focus->parentWidget()) != nullptr) {
            return focus->parentWidget();
        }
        return focus;
    }

    std::unique_ptr<qt::QtMainWindow> window;
};

TEST_F(KeyboardGuiTest, TheFocusStartsInTheNameBoxAndTheModesTakeItToTheirBoxes) {
    EXPECT_EQ(focused(), names());
    const QList<QRadioButton*> modes = window->findChildren<QRadioButton*>();
    ASSERT_EQ(modes.size(), 2);
    modes[1]->click();
    EXPECT_EQ(focused(), hexText());
    modes[0]->click();
    EXPECT_EQ(focused(), contentText());
}

// Tab and Shift+Tab leave the list as they leave every other control; the arrows stay within it.
TEST_F(KeyboardGuiTest, TabLeavesTheListAndTheArrowsMoveWithinIt) {
    searchTree(3);
    QTableView* list = window->resultView();
    list->setFocus();
    list->selectRow(0);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(focused(), list);
    EXPECT_EQ(list->currentIndex().row(), 1);
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    for (const Case& entry :
         {Case{Qt::Key_Tab, Qt::NoModifier}, Case{Qt::Key_Backtab, Qt::ShiftModifier}}) {
        list->setFocus();
        QTest::keyClick(list, entry.key, entry.modifiers);
        EXPECT_NE(focused(), list) << QTest::toString(entry.key);
        EXPECT_EQ(list->currentIndex().row(), 1) << QTest::toString(entry.key);
    }
    // Round the whole window and back into the list, past every other control on the way.
    list->setFocus();
    std::vector<QWidget*> round;
    for (int step = 0; step < 40 && (round.empty() || round.back() != list); ++step) {
        QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
        round.push_back(focused());
    }
    ASSERT_EQ(round.back(), list);
    EXPECT_GT(round.size(), 10u);
}

// Enter on selected rows opens them and keeps them selected; with too many rows selected it
// says so, and that message closes with Enter too. No search starts either way.
TEST_F(KeyboardGuiTest, EnterOnSelectedRowsOpensThemInsteadOfSearching) {
    searchTree(20);
    QTableView* list = window->resultView();
    list->setFocus();
    list->selectAll();
    const MessageBoxAnswerer answer(Qt::Key_Return);
    QTest::keyClick(list, Qt::Key_Return);
    for (int i = 0; i < 200 && answer.texts.empty(); ++i) {
        QTest::qWait(10);
    }
    ASSERT_EQ(answer.texts,
              (std::vector<std::string>{"Select at most 16 files to open them at once."}));
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(window->presenter().searching());
    EXPECT_EQ(list->selectionModel()->selectedRows().size(), 20);
    EXPECT_EQ(window->presenter().foundCount(), 20);

    list->clearSelection();
    folder.writeFile("tree/new.txt", "x");
    QTest::keyClick(list, Qt::Key_Return);
    for (int i = 0; i < 500 && window->presenter().searching(); ++i) {
        QTest::qWait(10);
    }
    EXPECT_EQ(window->presenter().foundCount(), 21) << "with nothing selected, Enter searches";
}

// The box that Enter opened closes with Enter, once: the key that opened it does not open it
// again.
TEST_F(KeyboardGuiTest, AMessageThatEnterOpenedClosesWithEnter) {
    lookIn()->setFocus();
    lookIn()->setEditText(QString::fromStdString(folder / "missing"));
    const MessageBoxAnswerer answer(Qt::Key_Return);
    QTest::keyClick(lookIn()->lineEdit(), Qt::Key_Return);
    for (int i = 0; i < 20; ++i) {
        QTest::qWait(10);
    }
    EXPECT_EQ(answer.texts, (std::vector<std::string>{"Folder not exists."}));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(focused(), lookIn());
}

// Find and Stop take turns in one place, so nothing around them moves when a search starts.
TEST_F(KeyboardGuiTest, TheFormStaysStillWhileASearchRuns) {
    for (int i = 0; i < 400; ++i) {
        folder.writeFile("tree/d" + std::to_string(i) + "/f.txt", "x");
    }
    lookIn()->setEditText(QString::fromStdString(folder / "tree"));
    const auto placeOf = [this](QWidget* control) {
        QApplication::processEvents();
        return QRect(control->mapTo(window.get(), QPoint(0, 0)), control->size());
    };
    const QRect names = placeOf(this->names());
    const QRect list = placeOf(window->resultView());
    window->presenter().onFind();
    ASSERT_TRUE(window->presenter().searching());
    EXPECT_EQ(placeOf(this->names()), names);
    EXPECT_EQ(placeOf(window->resultView()), list);
    window->presenter().onStop();
    window->presenter().onClose();
}

}  // namespace
}  // namespace quillfen
