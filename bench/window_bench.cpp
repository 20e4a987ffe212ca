// Measures the search window with real rows: how long the event loop is ever blocked while rows
// arrive, how fast they arrive, how long a header click takes to sort them, and how long the
// window takes to open. Usage: window_bench TREE [PATTERN]
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/Application.h"
#include "platform/linux/LinuxPlatform.h"
#include "ui/MainControl.h"
#include "ui/qt/QtMainWindow.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_bench TREE [PATTERN]\n");
        return 2;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication application(argc, argv);
    quillfen::platform::LinuxPlatform platform;
    quillfen::platform::installPlatform(&platform);

    quillfen::qt::QtMainWindow window("");
    window.show();
    static_cast<void>(QTest::qWaitForWindowExposed(&window));
    std::printf("window shown after %lld ms (application and window)\n",
                static_cast<long long>(sinceStart.elapsed()));

    window.setText(quillfen::MainControl::LookIn, argv[1]);
    window.setText(quillfen::MainControl::NamePatterns, argc > 2 ? argv[2] : "");
    QElapsedTimer gap;
    qint64 longestGap = 0;
    QTimer probe;
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout,
                     [&] { longestGap = std::max(longestGap, gap.restart()); });
    QElapsedTimer searchTime;
    searchTime.start();
    gap.start();
    probe.start();
    window.presenter().onFind();
    while (window.presenter().searching()) {
        QTest::qWait(10);
    }
    probe.stop();
    const auto rows = window.resultView()->model()->rowCount();
    std::printf("%d rows in %lld ms; longest event-loop gap %lld ms\n", rows,
                static_cast<long long>(searchTime.elapsed()), static_cast<long long>(longestGap));

    for (const int column : {0, 4, 1}) {
        QElapsedTimer sortTime;
        sortTime.start();
        window.resultView()->horizontalHeader()->sectionClicked(column);
        QApplication::processEvents();
        std::printf("header click on column %d sorted in %lld ms\n", column,
                    static_cast<long long>(sortTime.elapsed()));
    }
    return 0;
}
