#include "ui/qt/QtProgram.h"

#include <QApplication>
#include <cstdio>

#include "shell/linux/ShellIntegration.h"
#include "ui/qt/GetIconCommand.h"
#include "ui/qt/ProgramIcon.h"
#include "ui/qt/ProgramLocale.h"
#include "ui/qt/QtDuplicateWindow.h"
#include "ui/qt/QtIconTheme.h"
#include "ui/qt/QtMainWindow.h"

namespace quillfen::qt {

ProgramCourses QtProgram::courses(int& argc, char** argv) {
    ProgramCourses courses;
    courses.writeIcon = runGetIcon;
    courses.printText = printText;
    courses.removeShellEntries = removeShellEntries;
    courses.openWindow = [&argc, argv](const std::string& argument, bool duplicateSearch) {
        return openWindow(argc, argv, argument, duplicateSearch);
    };
    return courses;
}

int QtProgram::printText(const std::string& text) {
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    return written && std::fflush(stdout) == 0 ? 0 : 1;
}

int QtProgram::removeShellEntries() {
    if (ShellIntegration().remove()) {
        return 0;
    }
    std::fputs("quillfen: some file-manager entries could not be removed\n", stderr);
    return 1;
}

int QtProgram::openWindow(int& argc, char** argv, const std::string& argument,
                          bool duplicateSearch) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillfen"));
    // Lets a Wayland desktop match the window with the menu entry and its icon.
    QApplication::setDesktopFileName(QStringLiteral("org.quillfen.Quillfen"));
    QApplication::setWindowIcon(ProgramIcon::icon());
    QtIconTheme::prepare();
    ProgramLocale::apply();
    if (duplicateSearch) {
        QtDuplicateWindow window(argument);
        window.show();
        return application.exec();
    }
    QtMainWindow window(argument);
    window.show();
    return application.exec();
}

}  // namespace quillfen::qt
