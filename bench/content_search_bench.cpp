// Content search speed on one core: 1 MiB chunks of text held in memory, searched the way a file
// is (a full chunk with its following chunk), for one literal that never occurs, so every byte is
// scanned. A last case reads a cached file through the platform to show what reading adds.

#include <benchmark/benchmark.h>

#include "LinuxBenchmarkMain.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "search/ChunkScanner.h"
#include "search/ChunkSearch.h"
#include "search/ContentCriteria.h"
#include "search/ContentMatcher.h"

namespace {

using quillfen::ChunkScanner;
using quillfen::ContentCriteria;
using quillfen::ContentInputs;
using quillfen::kContentChunkSize;

const std::array<const char*, 32> kWords{
    "the",    "of",      "and",     "to",   "in",       "is",     "that",   "for",
    "it",     "as",      "was",     "with", "be",       "by",     "on",     "not",
    "he",     "this",    "are",     "or",   "his",      "from",   "at",     "which",
    "Report", "invoice", "Meeting", "data", "function", "return", "Budget", "(x);"};

// Prose-like text: words, blanks, now and then a line end or a number.
std::string sampleText(std::size_t length) {
    std::mt19937 random(42);
    std::uniform_int_distribution<std::size_t> word(0, kWords.size() - 1);
    std::string text;
    text.reserve(length + 16);
    while (text.size() < length) {
        text += kWords[word(random)];
        text += random() % 12 == 0 ? "\n" : random() % 9 == 0 ? " 1999 " : " ";
    }
    text.resize(length);
    return text;
}

struct Chunks {
    std::string current = sampleText(kContentChunkSize);
    std::string following = sampleText(kContentChunkSize);
};

const Chunks& chunks() {
    static const Chunks shared;
    return shared;
}

ContentCriteria compile(const std::string& text, bool matchCase, bool ansi, bool unicode,
                        bool utf8) {
    ContentInputs inputs;
    inputs.text = text;
    inputs.matchCase = matchCase;
    inputs.matchAnsi = ansi;
    inputs.matchUnicode = unicode;
    inputs.matchUtf8 = utf8;
    return quillfen::compileContent(inputs);
}

void searchChunks(benchmark::State& state,
                  const std::vector<const std::vector<std::string>*>& lists, bool fold) {
    std::string current = chunks().current;
    const std::string_view following = chunks().following;
    ChunkScanner scanner(lists);
    for (auto _ : state) {
        for (std::size_t encoding = 0; encoding < scanner.encodingCount(); ++encoding) {
            scanner.state(encoding) = {};
        }
        if (fold) {
            quillfen::foldAsciiLetters(current.data(), current.size());
        }
        benchmark::DoNotOptimize(scanner.scan(current, following));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kContentChunkSize);
}

// The words never occur in the sample text. "Quarterly" has letters that are rare there, so the
// scan mostly tests anchor bytes alone; "entertain" has only common ones, so it tests pairs.
void AnsiMatchCase(benchmark::State& state, const char* word) {
    const ContentCriteria criteria = compile(word, true, true, false, false);
    searchChunks(state, criteria.enabledPieceLists(), false);
}

void AnsiIgnoreCase(benchmark::State& state, const char* word) {
    const ContentCriteria criteria = compile(word, false, true, false, false);
    searchChunks(state, criteria.enabledPieceLists(), true);
}

// All three boxes ticked. On Linux the 8-bit pieces are the UTF-8 pieces, so the compiler keeps
// ANSI and Unicode.
void AllEncodingsMatchCase(benchmark::State& state, const char* word) {
    const ContentCriteria criteria = compile(word, true, true, true, true);
    searchChunks(state, criteria.enabledPieceLists(), false);
}

void AllEncodingsIgnoreCase(benchmark::State& state, const char* word) {
    const ContentCriteria criteria = compile(word, false, true, true, true);
    searchChunks(state, criteria.enabledPieceLists(), true);
}

// Three distinct byte forms of one word, as a Windows code page gives them: Latin-1, UTF-16LE
// and UTF-8 of "Grüße", against the Latin-1 form alone.
const std::vector<std::string> kLatin1{
    "Gr\xfc\xdf"
    "e"};
const std::vector<std::string> kUtf16{std::string("G\0r\0\xfc\0\xdf\0e\0", 10)};
const std::vector<std::string> kUtf8{
    "Gr\xc3\xbc\xc3\x9f"
    "e"};

void OneDistinctEncoding(benchmark::State& state) {
    searchChunks(state, {&kLatin1}, false);
}

void ThreeDistinctEncodings(benchmark::State& state) {
    searchChunks(state, {&kLatin1, &kUtf16, &kUtf8}, false);
}

// A 64 MiB file read through the platform in 1 MiB chunks; after the first run it is cached.
void searchCachedFile(benchmark::State& state, const ContentCriteria& criteria) {
    const std::string path =
        (std::filesystem::temp_directory_path() / "quillfen-content-bench.txt").string();
    constexpr std::size_t kFileSize = 64 * static_cast<std::size_t>(kContentChunkSize);
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        const std::string& chunk = chunks().current;
        for (std::size_t written = 0; written < kFileSize; written += chunk.size()) {
            out << chunk;
        }
    }
    const std::atomic<bool> stop{false};
    for (auto _ : state) {
        benchmark::DoNotOptimize(quillfen::fileContentMatches(
            path, static_cast<std::int64_t>(kFileSize), criteria, stop));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(kFileSize));
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}

void CachedFileAnsiMatchCase(benchmark::State& state, const char* word) {
    searchCachedFile(state, compile(word, true, true, false, false));
}

void CachedFileAllEncodingsMatchCase(benchmark::State& state, const char* word) {
    searchCachedFile(state, compile(word, true, true, true, true));
}

void CachedFileAnsiIgnoreCase(benchmark::State& state, const char* word) {
    searchCachedFile(state, compile(word, false, true, false, false));
}

void CachedFileAllEncodingsIgnoreCase(benchmark::State& state, const char* word) {
    searchCachedFile(state, compile(word, false, true, true, true));
}

void CachedFileThreeDistinctEncodings(benchmark::State& state) {
    ContentCriteria criteria;
    criteria.ansiOn = criteria.unicodeOn = criteria.utf8On = true;
    criteria.ansiPieces = kLatin1;
    criteria.unicodePieces = kUtf16;
    criteria.utf8Pieces = kUtf8;
    searchCachedFile(state, criteria);
}

BENCHMARK_CAPTURE(AnsiMatchCase, rare_letters, "Quarterly");
BENCHMARK_CAPTURE(AllEncodingsMatchCase, rare_letters, "Quarterly");
BENCHMARK_CAPTURE(AnsiIgnoreCase, rare_letters, "Quarterly");
BENCHMARK_CAPTURE(AllEncodingsIgnoreCase, rare_letters, "Quarterly");
BENCHMARK_CAPTURE(AnsiMatchCase, common_letters, "entertain");
BENCHMARK_CAPTURE(AllEncodingsMatchCase, common_letters, "entertain");
BENCHMARK_CAPTURE(AnsiIgnoreCase, common_letters, "entertain");
BENCHMARK_CAPTURE(AllEncodingsIgnoreCase, common_letters, "entertain");
BENCHMARK(OneDistinctEncoding);
BENCHMARK(ThreeDistinctEncodings);
BENCHMARK_CAPTURE(CachedFileAnsiMatchCase, rare_letters, "Quarterly");
BENCHMARK_CAPTURE(CachedFileAllEncodingsMatchCase, rare_letters, "Quarterly");
BENCHMARK_CAPTURE(CachedFileAnsiIgnoreCase, rare_letters, "Quarterly");
BENCHMARK_CAPTURE(CachedFileAllEncodingsIgnoreCase, rare_letters, "Quarterly");
BENCHMARK_CAPTURE(CachedFileAnsiMatchCase, common_letters, "entertain");
BENCHMARK_CAPTURE(CachedFileAllEncodingsMatchCase, common_letters, "entertain");
BENCHMARK_CAPTURE(CachedFileAnsiIgnoreCase, common_letters, "entertain");
BENCHMARK_CAPTURE(CachedFileAllEncodingsIgnoreCase, common_letters, "entertain");
BENCHMARK(CachedFileThreeDistinctEncodings);

}  // namespace

int main(int argc, char** argv) {
    return quillfen::bench::runBenchmarks(argc, argv);
}
