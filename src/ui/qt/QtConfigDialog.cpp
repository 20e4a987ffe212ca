#include "ui/qt/QtConfigDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdlib>

#include "app/Application.h"
#include "shell/linux/FileManagerShellEntries.h"
#include "ui/qt/ProgramChooser.h"
#include "ui/qt/ProgramIcon.h"

namespace quillfen::qt {

QtConfigDialog::QtConfigDialog(QWidget* parent, ShellEntries* shellEntries) : QDialog(parent) {
    setWindowIcon(ProgramIcon::icon());
    buildControls();
    if (shellEntries == nullptr) {
        ownShellEntries_ = std::make_unique<FileManagerShellEntries>();
        shellEntries = ownShellEntries_.get();
    }
    presenter_ = std::make_unique<ConfigDialogPresenter>(*this, *shellEntries);
    connect(qobject_cast<QPushButton*>(widget(ConfigControl::OkButton)), &QPushButton::clicked,
            this, [this] { presenter_->onOk(); });
    connect(qobject_cast<QPushButton*>(widget(ConfigControl::CancelButton)), &QPushButton::clicked,
            this, [this] { presenter_->onCancel(); });
    connect(qobject_cast<QPushButton*>(widget(ConfigControl::BrowseEditor)), &QPushButton::clicked,
            this, [this] { presenter_->onBrowseEditor(); });
    presenter_->open();
}

QtConfigDialog::~QtConfigDialog() = default;

void QtConfigDialog::buildControls() {
    auto* layout = new QVBoxLayout(this);
    auto* about = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramIcon::icon().pixmap(48, 48));
    auto* texts = new QVBoxLayout;
    auto* version = new QLabel(this);
    auto* fixedLine = new QLabel(this);
    texts->addWidget(version);
    texts->addWidget(fixedLine);
    about->addWidget(icon);
    about->addLayout(texts, 1);
    layout->addLayout(about);

    auto* selfIcon = new QCheckBox(this);
    auto* shell = new QCheckBox(this);
    auto* recycleBin = new QCheckBox(this);
    auto* useIndex = new QCheckBox(this);
    layout->addWidget(selfIcon);
    layout->addWidget(shell);
    layout->addWidget(recycleBin);
    layout->addWidget(useIndex);

    auto* grid = new QGridLayout;
    auto* editorLabel = new QLabel(this);
    auto* editor = new QLineEdit(this);
    auto* browse = new QPushButton(QStringLiteral("..."), this);
    browse->setAutoDefault(false);
    browse->setMaximumWidth(32);
    auto* languageLabel = new QLabel(this);
    auto* language = new QComboBox(this);
    grid->addWidget(editorLabel, 0, 0);
    grid->addWidget(editor, 0, 1);
    grid->addWidget(browse, 0, 2);
    grid->addWidget(languageLabel, 1, 0);
    grid->addWidget(language, 1, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);
    // A label's Alt letter moves the focus to its buddy; without one, Qt shows the '&' itself.
    editorLabel->setBuddy(editor);
    languageLabel->setBuddy(language);

    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(this);
    auto* cancel = new QPushButton(this);
    ok->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    add(ConfigControl::Version, version);
    add(ConfigControl::Description, fixedLine);
    add(ConfigControl::ShowSelfIcon, selfIcon);
    add(ConfigControl::ShellIntegration, shell);
    add(ConfigControl::SearchInRecycleBin, recycleBin);
    add(ConfigControl::UseIndex, useIndex);
    add(ConfigControl::EditorLabel, editorLabel);
    add(ConfigControl::Editor, editor);
    add(ConfigControl::BrowseEditor, browse);
    add(ConfigControl::LanguageLabel, languageLabel);
    add(ConfigControl::Language, language);
    add(ConfigControl::OkButton, ok);
    add(ConfigControl::CancelButton, cancel);
    resize(520, sizeHint().height());
}

void QtConfigDialog::setTitle(const std::string& title) {
    setWindowTitle(QtControls::fromBytes(title));
}

bool QtConfigDialog::askYesNo(const std::string& question) {
    return QMessageBox::warning(this, QString::fromUtf8(Application::kName),
                                QtControls::fromBytes(question), QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No) == QMessageBox::Yes;
}

void QtConfigDialog::showInformation(const std::string& text) {
    QMessageBox::information(this, QString::fromUtf8(Application::kName),
                             QtControls::fromBytes(text));
}

bool QtConfigDialog::chooseProgram(std::string& path) {
    ProgramChooser dialog(this);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    path = QtControls::toBytes(dialog.selectedFiles().front());
    return true;
}

void QtConfigDialog::closeDialog() {
    accept();
}

void QtConfigDialog::endProgram() {
    std::_Exit(0);
}

}  // namespace quillfen::qt
