// Writes the program icon that the Qt windows draw as PNG files of the given sizes, so the
// Windows build can carry the same picture in an .ico: RenderProgramIcon FOLDER SIZE...
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <cstdio>

#include "ui/qt/ProgramIcon.h"

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: RenderProgramIcon FOLDER SIZE...\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QIcon icon = quillfen::qt::ProgramIcon::icon();
    for (int index = 2; index < argc; ++index) {
        const int size = QString::fromLocal8Bit(argv[index]).toInt();
        const QString file = folder + QStringLiteral("/icon-%1.png").arg(size);
        if (size <= 0 || !icon.pixmap(size, size).save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
