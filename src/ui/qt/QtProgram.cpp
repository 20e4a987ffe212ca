#include "ui/qt/QtProgram.h"

#include <QApplication>

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
    courses.openWindow = [&argc, argv](const std::string& argument, bool duplicateSearch) {
        return openWindow(argc, argv, argument, duplicateSearch);
    };
    return courses;
}

int QtProgram::openWindow(int& argc, char** argv, const std::string& argument,
                          bool duplicateSearch) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillfen"));
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
