#pragma once

#include <cstddef>
#include <thread>

namespace quillfen {

// Runs `task(from, to)` over the range from `first` to `end` as two halves side by side when the
// range holds at least `least` items, so that both cores of a small machine share it, and as one
// call otherwise. Each half must write only to its own part of any result.
template <typename Task>
void inTwoHalves(std::size_t first, std::size_t end, std::size_t least, const Task& task) {
    if (end - first < least) {
        task(first, end);
        return;
    }
    const std::size_t middle = first + (end - first) / 2;
    std::thread second([&] { task(middle, end); });
    task(first, middle);
    second.join();
}

}  // namespace quillfen
