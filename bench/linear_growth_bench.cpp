// How the work grows with the length of what is searched for, on the inputs that cost most: a
// zero-filled file searched for zeros ending in 01 (every start near a chunk end is a near miss)
// and a file of "ba" repeated searched for "baba…bae" (every other start is a near miss), each a
// few chunks held in memory and searched the way a file is. And how compiling a pasted list of
// file names grows with its length.

#include <benchmark/benchmark.h>

#include "LinuxBenchmarkMain.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/ChunkScanner.h"
#include "search/ChunkSearch.h"
#include "search/NamePattern.h"

namespace {

using quillfen::ChunkScanner;
using quillfen::kContentChunkSize;

constexpr std::size_t kChunks = 4;
constexpr std::size_t kFileSize = kChunks * static_cast<std::size_t>(kContentChunkSize);

void searchFile(benchmark::State& state, const std::string& file, const std::string& piece) {
    const std::vector<std::string> pieces{piece};
    const std::string_view bytes = file;
    const auto chunkSize = static_cast<std::size_t>(kContentChunkSize);
    for (auto _ : state) {
        ChunkScanner scanner({&pieces});
        bool found = false;
        for (std::size_t chunk = 0; chunk < kChunks && !found; ++chunk) {
            const std::optional<std::string_view> following =
                chunk + 1 < kChunks ? std::optional<std::string_view>(
                                          bytes.substr((chunk + 1) * chunkSize, chunkSize))
                                    : std::nullopt;
            found = scanner.scan(bytes.substr(chunk * chunkSize, chunkSize), following);
        }
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileSize));
}

// Zeros with a last byte 01 that the file never has.
void ZeroFilled(benchmark::State& state) {
    const auto length = static_cast<std::size_t>(state.range(0));
    static const std::string file(kFileSize, '\0');
    searchFile(state, file, std::string(length - 1, '\0') + '\x01');
}

// "baba…" with a last byte that the file never has.
void Periodic(benchmark::State& state) {
    const auto length = static_cast<std::size_t>(state.range(0));
    static const std::string file = [] {
        std::string text;
        text.reserve(kFileSize);
        while (text.size() < kFileSize) {
            text += "ba";
        }
        return text;
    }();
    searchFile(state, file, file.substr(0, length - 1) + 'e');
}

// A pasted list of distinct names, as the name box holds it.
void NameList(benchmark::State& state) {
    std::string text;
    for (std::int64_t index = 0; index < state.range(0); ++index) {
        text += "report-" + std::to_string(index) + ".txt ";
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(quillfen::compileNamePatterns(text));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(ZeroFilled)->Arg(1)->Arg(1024)->Arg(16384)->Arg(65536)->Unit(benchmark::kMillisecond);
BENCHMARK(Periodic)->Arg(1)->Arg(1024)->Arg(16384)->Arg(65536)->Unit(benchmark::kMillisecond);
BENCHMARK(NameList)->Arg(24000)->Arg(250000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return quillfen::bench::runBenchmarks(argc, argv);
}
