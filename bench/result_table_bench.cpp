// A window's worst case: a million results from 20,000 folders, appended, then sorted by header
// clicks, and what each row costs in memory.

#include <benchmark/benchmark.h>

#include <malloc.h>
#include "LinuxBenchmarkMain.h"

#include <array>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "results/FoundFile.h"
#include "results/ResultTable.h"
#include "results/SortKeyList.h"

namespace {

using quillfen::FoundFile;
using quillfen::ResultTable;
using quillfen::SortKeyList;

constexpr std::size_t kRowCount = 1'000'000;
constexpr std::size_t kFolderCount = 20'000;
constexpr std::size_t kTypeCount = 50;
constexpr int kFolderPercent = 5;

const std::array<const char*, 24> kWords{
    "Report", "invoice", "IMG",    "photo",   "Backup", "notes",     "draft",   "Budget",
    "scan",   "holiday", "README", "config",  "final",  "export",    "Meeting", "summary",
    "data",   "log",     "Screen", "archive", "résumé", "Übersicht", "test",    "Projekt"};

struct Sample {
    FoundFile file;
    std::string type;
};

struct Dataset {
    std::vector<Sample> samples;
    std::size_t nameBytes = 0;
};

std::string randomFolder(std::mt19937_64& random) {
    std::string folder = "/home/user";
    const int depth = 2 + static_cast<int>(random() % 4);
    for (int level = 0; level < depth; ++level) {
        folder += '/';
        folder += kWords[random() % kWords.size()];
        folder += std::to_string(random() % 100);
    }
    return folder;
}

std::string randomName(std::mt19937_64& random, std::size_t typeIndex) {
    std::string name = kWords[random() % kWords.size()];
    name += random() % 2 == 0 ? '_' : ' ';
    name += kWords[random() % kWords.size()];
    name += '-';
    name += std::to_string(random() % 100000);
    name += ".ext";
    name += std::to_string(typeIndex);
    return name;
}

// Sizes spread over every unit from bytes to gigabytes, as a home folder's are.
std::int64_t randomSize(std::mt19937_64& random) {
    const int bits = static_cast<int>(random() % 34);
    return static_cast<std::int64_t>(random() % (std::uint64_t{1} << bits));
}

Dataset makeDataset() {
    std::mt19937_64 random(20220312);
    std::vector<std::string> folders;
    for (std::size_t index = 0; index < kFolderCount; ++index) {
        folders.push_back(randomFolder(random));
    }
    std::vector<std::string> types;
    for (std::size_t index = 0; index < kTypeCount; ++index) {
        types.push_back("EXT" + std::to_string(index) + " File");
    }
    // 2000-01-01 to 2025-01-01 in file-time units.
    std::uniform_int_distribution<std::uint64_t> times(125'911'584'000'000'000ULL,
                                                       133'801'632'000'000'000ULL);
    Dataset dataset;
    dataset.samples.reserve(kRowCount);
    for (std::size_t index = 0; index < kRowCount; ++index) {
        const bool isFolder = random() % 100 < kFolderPercent;
        const std::size_t type = random() % kTypeCount;
        std::string name = randomName(random, type);
        dataset.nameBytes += name.size();
        dataset.samples.push_back(
            {FoundFile::describe(std::move(name), folders[random() % kFolderCount],
                                 randomSize(random), times(random), isFolder),
             isFolder ? std::string("Folder") : types[type]});
    }
    return dataset;
}

const Dataset& dataset() {
    static const Dataset built = makeDataset();
    return built;
}

std::unique_ptr<ResultTable> filledTable() {
    auto table = std::make_unique<ResultTable>();
    for (const Sample& sample : dataset().samples) {
        table->append(sample.file, sample.type);
    }
    return table;
}

std::size_t allocatedBytes() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

void appendMillionRows(benchmark::State& state) {
    const Dataset& samples = dataset();
    for (auto _ : state) {
        std::unique_ptr<ResultTable> table = filledTable();
        benchmark::DoNotOptimize(table->rowCount());
        state.PauseTiming();
        table.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * samples.samples.size()));
}

void sortAfterClicks(benchmark::State& state, std::vector<int> untimedClicks, int timedClick) {
    dataset();
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<ResultTable> table = filledTable();
        SortKeyList keys;
        for (const int column : untimedClicks) {
            keys.clickHeader(column);
            table->sort(keys);
        }
        state.ResumeTiming();
        keys.clickHeader(timedClick);
        table->sort(keys);
        state.PauseTiming();
        table.reset();
        state.ResumeTiming();
    }
}

void sortByName(benchmark::State& state) {
    sortAfterClicks(state, {}, ResultTable::kNameColumn);
}

void sortBySizeAfterName(benchmark::State& state) {
    sortAfterClicks(state, {ResultTable::kNameColumn}, ResultTable::kSizeColumn);
}

void sortByFolder(benchmark::State& state) {
    sortAfterClicks(state, {}, ResultTable::kFolderColumn);
}

void bytesPerRow(benchmark::State& state) {
    const Dataset& samples = dataset();
    for (auto _ : state) {
        const std::size_t before = allocatedBytes();
        std::unique_ptr<ResultTable> table = filledTable();
        const auto used = static_cast<double>(allocatedBytes() - before);
        const auto rows = static_cast<double>(table->rowCount());
        state.counters["bytes_per_row"] = used / rows;
        state.counters["beyond_name_bytes"] =
            (used - static_cast<double>(samples.nameBytes)) / rows;
    }
}

BENCHMARK(appendMillionRows)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(sortByName)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(sortBySizeAfterName)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(sortByFolder)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(bytesPerRow)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    return quillfen::bench::runBenchmarks(argc, argv);
}
