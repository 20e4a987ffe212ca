// Build tool: renders the program's SVG icon as square PNG files, one per size, for the icon theme
// and the Windows icon: render_icon SVG FOLDER SIZE... writes FOLDER/icon-SIZE.png.
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QSize>
#include <QString>
#include <cstdio>

namespace {

bool render(const QString& svg, int size, const QString& target) {
    QImageReader reader(svg, "svg");
    reader.setScaledSize(QSize(size, size));
    const QImage image = reader.read();
    if (image.isNull()) {
        std::fprintf(stderr, "render_icon: cannot render %s: %s\n", qPrintable(svg),
                     qPrintable(reader.errorString()));
        return false;
    }
    if (!image.convertToFormat(QImage::Format_ARGB32).save(target, "png")) {
        std::fprintf(stderr, "render_icon: cannot write %s\n", qPrintable(target));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fputs("usage: render_icon SVG FOLDER SIZE...\n", stderr);
        return 2;
    }
    // A build machine may have no display; rendering needs none.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QString svg = QString::fromLocal8Bit(argv[1]);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    for (int index = 3; index < argc; ++index) {
        const int size = QString::fromLocal8Bit(argv[index]).toInt();
        if (size <= 0) {
            std::fprintf(stderr, "render_icon: not a size: %s\n", argv[index]);
            return 2;
        }
        if (!render(svg, size, folder + QStringLiteral("/icon-%1.png").arg(size))) {
            return 1;
        }
    }
    return 0;
}
