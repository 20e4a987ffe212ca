// Measures the search window with real rows: how long the event loop is ever blocked while rows
// arrive, how fast they arrive, how long a header click takes to sort them, and how long the
// window takes to open. Usage: window_bench TREE [PATTERN]
//        window_bench --first-rows TREE [RUNS]
// The second form times, for twenty patterns RUNS times each (5 by default), how long after Find
// the first 100 rows (or all, when fewer) are in the list, and prints the median and the 95th
// percentile; with the tree indexed (quillfen-cli index add TREE) the index answers.
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/Application.h"
#include "platform/linux/LinuxPlatform.h"
#include "ui/MainControl.h"
#include "ui/qt/QtMainWindow.h"

namespace {

// Milliseconds from Find until the list holds 100 rows, or every row when the search finds fewer.
double firstRowsAfterFind(quillfen::qt::QtMainWindow& window, const char* pattern) {
    window.setText(quillfen::MainControl::NamePatterns, pattern);
    QElapsedTimer sinceFind;
    sinceFind.start();
    window.presenter().onFind();
    for (;;) {
        QApplication::processEvents();
        if (window.resultView()->model()->rowCount() >= 100 || !window.presenter().searching()) {
            const double took = static_cast<double>(sinceFind.nsecsElapsed()) / 1e6;
            while (window.presenter().searching()) {
                QTest::qWait(5);
            }
            return took;
        }
    }
}

int firstRows(quillfen::qt::QtMainWindow& window, const char* tree, int runs) {
    const char* patterns[] = {"report-0001.*", "*.txt",         "*.log",     "draft*",
                              "notes-1*",      "*-0042.*",      "image*",    "*99*",
                              "backup-00*",    "*.zip",         "index-2*",  "summary*",
                              "invoice-9*",    "*.cpp",         "*7.png",    "*-12*",
                              "*.ini",         "report* *.pdf", "*nothing*", "n*s-3*"};
    window.setText(quillfen::MainControl::LookIn, tree);
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        for (const char* pattern : patterns) {
            times.push_back(firstRowsAfterFind(window, pattern));
        }
    }
    std::sort(times.begin(), times.end());
    std::printf(
        "first 100 rows after Find, %zu searches: median %.1f ms, p95 %.1f ms, max %.1f ms\n",
        times.size(), times[times.size() / 2], times[times.size() * 95 / 100], times.back());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || (std::string(argv[1]) == "--first-rows" && argc < 3)) {
        std::fprintf(stderr,
                     "usage: window_bench TREE [PATTERN]\n"
                     "       window_bench --first-rows TREE [RUNS]\n");
        return 2;
    }
    const bool measureFirstRows = std::string(argv[1]) == "--first-rows";
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
    if (measureFirstRows) {
        return firstRows(window, argv[2], argc > 3 ? std::atoi(argv[3]) : 5);
    }

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
