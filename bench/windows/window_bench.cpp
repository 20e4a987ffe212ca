// Measures the Win32 search window with real rows: how long it takes to show, how long its message
// loop is ever kept from answering while rows arrive, how fast they arrive, how long Stop and
// closing take to end a running search, and how long a header click takes to sort the rows.
// Usage: window_bench.exe TREE [PATTERN]
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>

#include "platform/windows/WideText.h"
#include "platform/windows/WindowsPlatform.h"
#include "ui/win32/ScreenScale.h"
#include "ui/win32/SearchDialogIds.h"
#include "ui/win32/Win32MainWindow.h"

namespace {

using Clock = std::chrono::steady_clock;
using quillfen::win32::Win32MainWindow;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// How long the process has existed, Wine's own start included.
double millisecondsSinceProcessCreation() {
    FILETIME created{};
    FILETIME unused{};
    FILETIME now{};
    GetProcessTimes(GetCurrentProcess(), &created, &unused, &unused, &unused);
    GetSystemTimePreciseAsFileTime(&now);
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return static_cast<double>(ticks(now) - ticks(created)) / 10'000.0;
}

// The longest time one message took to handle, which message it was, and how many took long.
struct LongestMessage {
    double milliseconds = 0;
    UINT message = 0;
    long over50 = 0;
    long over100 = 0;
};

// Runs the window's messages, as the program's own loop does, until `done` holds.
void pumpUntil(HWND dialog, const std::function<bool()>& done, LongestMessage* longest = nullptr) {
    while (!done()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            const Clock::time_point start = Clock::now();
            if (!IsWindow(dialog) || !IsDialogMessageW(dialog, &message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            const double took = millisecondsSince(start);
            if (longest == nullptr) {
                continue;
            }
            longest->over50 += took > 50 ? 1 : 0;
            longest->over100 += took > 100 ? 1 : 0;
            if (took > longest->milliseconds) {
                longest->milliseconds = took;
                longest->message = message.message;
            }
        }
    }
}

void pumpPending(HWND dialog) {
    bool once = false;
    pumpUntil(dialog, [&once] { return std::exchange(once, true); });
}

// Asks the window, from a thread of its own, to answer an empty message every few milliseconds:
// the longest wait for an answer is the longest time the window could not have answered the user.
class ResponsivenessProbe {
public:
    ResponsivenessProbe(HWND dialog, std::function<std::int64_t()> rowsShown)
        : dialog_(dialog), rowsShown_(std::move(rowsShown)), thread_([this] { run(); }) {}
    ~ResponsivenessProbe() {
        running_.store(false);
        thread_.join();
    }
    double longestMilliseconds() const { return longest_.load(); }
    std::int64_t rowsAtLongest() const { return rowsAtLongest_.load(); }
    long answers() const { return answers_.load(); }

private:
    void run() {
        while (running_.load()) {
            const Clock::time_point start = Clock::now();
            DWORD_PTR answer = 0;
            SendMessageTimeoutW(dialog_, WM_NULL, 0, 0, SMTO_NORMAL, 60'000, &answer);
            const double waited = millisecondsSince(start);
            if (waited > longest_.load()) {
                longest_.store(waited);
                rowsAtLongest_.store(rowsShown_());
            }
            answers_.fetch_add(1);
            Sleep(2);
        }
    }

    HWND dialog_;
    std::function<std::int64_t()> rowsShown_;
    std::atomic<bool> running_{true};
    std::atomic<double> longest_{0};
    std::atomic<std::int64_t> rowsAtLongest_{0};
    std::atomic<long> answers_{0};
    std::thread thread_;
};

void setText(HWND dialog, int id, const std::string& text) {
    SetWindowTextW(GetDlgItem(dialog, id), quillfen::platform::toWide(text).c_str());
}

void click(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// The notification the list sends its dialog when a column's header is clicked.
void clickHeader(HWND dialog, int column) {
    NMLISTVIEW notification{};
    notification.hdr.hwndFrom = GetDlgItem(dialog, IDC_RESULT_LIST);
    notification.hdr.idFrom = IDC_RESULT_LIST;
    notification.hdr.code = LVN_COLUMNCLICK;
    notification.iItem = -1;
    notification.iSubItem = column;
    SendMessageW(dialog, WM_NOTIFY, IDC_RESULT_LIST, reinterpret_cast<LPARAM>(&notification));
}

const char* messageName(UINT message) {
    switch (message) {
        case WM_TIMER:
            return "WM_TIMER";
        case WM_PAINT:
            return "WM_PAINT";
        case WM_APP + 1:
            return "posted task";
        default:
            return "other";
    }
}

class Bench {
public:
    Bench(std::string tree, std::string pattern)
        : tree_(std::move(tree)), pattern_(std::move(pattern)) {}

    void showWindow(Clock::time_point programStart) {
        const double beforeWindow = millisecondsSince(programStart);
        window_ = std::make_unique<Win32MainWindow>("");
        dialog_ = window_->window();
        const double created = millisecondsSince(programStart);
        ShowWindow(dialog_, SW_SHOW);
        UpdateWindow(dialog_);
        pumpPending(dialog_);
        std::printf(
            "window shown after %.0f ms (window_bench's start), %.0f ms (process "
            "creation, Wine's start included); of it, common controls and platform "
            "%.0f ms, the window's creation %.0f ms, showing and drawing %.0f ms\n",
            millisecondsSince(programStart), millisecondsSinceProcessCreation(), beforeWindow,
            created - beforeWindow, millisecondsSince(programStart) - created);
    }

    void searchWholeTree() {
        LongestMessage longestMessage;
        const Clock::time_point start = Clock::now();
        {
            const ResponsivenessProbe probe(dialog_, [this] { return rowsShown(); });
            find();
            pumpUntil(
                dialog_, [this] { return !searching(); }, &longestMessage);
            std::printf("%lld rows in %.0f ms (%.0f rows/s)\n", static_cast<long long>(rowsShown()),
                        millisecondsSince(start),
                        static_cast<double>(rowsShown()) / millisecondsSince(start) * 1000.0);
            std::printf(
                "longest wait for the window to answer: %.1f ms (at %lld rows; %ld "
                "answers)\n",
                probe.longestMilliseconds(), static_cast<long long>(probe.rowsAtLongest()),
                probe.answers());
        }
        std::printf(
            "longest single message: %.1f ms (%s); messages over 50 ms: %ld, over 100 "
            "ms: %ld\n",
            longestMessage.milliseconds, messageName(longestMessage.message), longestMessage.over50,
            longestMessage.over100);
    }

    void sortByHeaders() {
        HWND list = GetDlgItem(dialog_, IDC_RESULT_LIST);
        for (const int column : {0, 4, 1}) {
            const Clock::time_point start = Clock::now();
            clickHeader(dialog_, column);
            UpdateWindow(list);
            std::printf("header click on column %d sorted and drawn in %.0f ms\n", column,
                        millisecondsSince(start));
        }
    }

    // Stop is clicked once the search has shown `rows` rows; the time is until Find is back.
    void stopAfter(std::int64_t rows) {
        find();
        pumpUntil(dialog_, [this, rows] { return !searching() || rowsShown() >= rows; });
        if (!searching()) {
            std::printf("the search ended before %lld rows\n", static_cast<long long>(rows));
            return;
        }
        const std::int64_t shownAtStop = rowsShown();
        const Clock::time_point start = Clock::now();
        click(dialog_, IDC_SEARCH_STOP);
        pumpUntil(dialog_, [this] { return !searching(); });
        std::printf("Stop at %lld rows: Find back after %.1f ms\n",
                    static_cast<long long>(shownAtStop), millisecondsSince(start));
    }

    // Closing waits for the running search before the window goes.
    void closeAfter(std::int64_t rows) {
        find();
        pumpUntil(dialog_, [this, rows] { return !searching() || rowsShown() >= rows; });
        const std::int64_t shownAtClose = rowsShown();
        const Clock::time_point start = Clock::now();
        SendMessageW(dialog_, WM_CLOSE, 0, 0);
        std::printf("close at %lld rows: window gone after %.1f ms\n",
                    static_cast<long long>(shownAtClose), millisecondsSince(start));
        window_.reset();
    }

private:
    void find() {
        setText(dialog_, IDC_NAME_PATTERNS, pattern_);
        setText(dialog_, IDC_LOOK_IN, tree_);
        click(dialog_, IDC_SEARCH_FIND);
    }
    bool searching() { return window_->presenter().searching(); }
    std::int64_t rowsShown() { return ListView_GetItemCount(GetDlgItem(dialog_, IDC_RESULT_LIST)); }

    std::string tree_;
    std::string pattern_;
    std::unique_ptr<Win32MainWindow> window_;
    HWND dialog_ = nullptr;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const Clock::time_point programStart = Clock::now();
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_bench TREE [PATTERN]\n");
        return 2;
    }
    quillfen::win32::initCommonControls();
    quillfen::platform::WindowsPlatform platform;
    quillfen::platform::installPlatform(&platform);

    Bench bench(quillfen::platform::fromWide(argv[1]),
                argc > 2 ? quillfen::platform::fromWide(argv[2]) : std::string());
    bench.showWindow(programStart);
    bench.searchWholeTree();
    bench.sortByHeaders();
    for (const std::int64_t rows : {20'000, 200'000, 600'000}) {
        bench.stopAfter(rows);
    }
    bench.closeAfter(200'000);
    std::fflush(stdout);
    return 0;
}
