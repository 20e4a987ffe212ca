#include "ui/SearchSession.h"

#include <gtest/gtest.h>

#include <future>

namespace quillfen {
namespace {

// Runs a search that finds `rows` rows, the window taking a batch after the first when
// `takeFirst`, and counts how often the window was told of its first rows while the search ran
// and in all.
std::pair<int, int> tellsOfFirstRows(std::size_t rows, bool takeFirst) {
    SearchSession session;
    std::atomic<int> told{0};
    std::promise<void> firstTaken;
    std::promise<void> released;
    std::promise<int> toldWhileRunning;
    session.start(
        [&, taken = firstTaken.get_future().share(), release = released.get_future().share()](
            SearchObserver& observer, const std::atomic<bool>&) {
            observer.found(FoundEntry{});
            if (takeFirst) {
                taken.wait();
            }
            for (std::size_t row = 1; row < rows; ++row) {
                observer.found(FoundEntry{});
            }
            toldWhileRunning.set_value(told.load());
            release.wait();
        },
        [](const FoundEntry&) { return PendingRow{}; }, [&] { ++told; });
    if (takeFirst) {
        while (session.takeBatch().rows.empty()) {
        }
        firstTaken.set_value();
    }
    const int whileRunning = toldWhileRunning.get_future().get();
    released.set_value();
    session.stopAndWait();
    return {whileRunning, told.load()};
}

// The window hears of the first rows as soon as a screenful waits, or the search ended with fewer,
// once per search and only before it took a batch itself.
TEST(SearchSession, TellsOfTheFirstRowsOnceWithoutWaitingForATick) {
    const std::size_t screenful = SearchSession::kFirstRows;
    const struct {
        std::size_t rows;
        bool takeFirst;
        std::pair<int, int> told;
    } cases[] = {{screenful - 1, false, {0, 1}},
                 {screenful, false, {1, 1}},
                 {3 * screenful, false, {1, 1}},
                 {3 * screenful, true, {0, 0}}};
    for (const auto& c : cases) {
        EXPECT_EQ(tellsOfFirstRows(c.rows, c.takeFirst), c.told) << c.rows << " " << c.takeFirst;
    }
}

}  // namespace
}  // namespace quillfen
