#include "cli/ProgressLine.h"

#include <cstdio>

#include "cli/Terminal.h"
#include "results/TextEscapes.h"

namespace quillfen::cli {

namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

// Cuts the text to the given number of characters, keeping its end, where a path is most telling.
std::string keepEnd(const std::string& text, size_t columns) {
    size_t characters = 0;
    for (size_t at = text.size(); at > 0; --at) {
        if ((static_cast<unsigned char>(text[at - 1]) & 0xC0) != 0x80 && ++characters > columns) {
            return "…" + text.substr(at);
        }
    }
    return text;
}

}  // namespace

ProgressLine::ProgressLine(bool quiet, std::string counted)
    : enabled_(!quiet && terminal::standardErrorIsTerminal()), counted_(std::move(counted)) {}

ProgressLine::~ProgressLine() {
    erase();
}

void ProgressLine::update(const std::string& folder, std::int64_t count) {
    if (!enabled_) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (shown_ && now - lastDraw_ < kRedrawInterval) {
        return;
    }
    lastDraw_ = now;
    const std::string counted = std::to_string(count) + " " + counted_ + "  ";
    const size_t columns = terminal::terminalColumns();
    const size_t room = columns > counted.size() + 2 ? columns - counted.size() - 2 : 0;
    const std::string line =
        "\r\x1b[K" + counted + keepEnd(TextEscapes::escapeForTerminal(folder), room);
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    shown_ = true;
}

void ProgressLine::erase() {
    if (shown_) {
        std::fputs("\r\x1b[K", stderr);
        std::fflush(stderr);
        shown_ = false;
    }
}

void ProgressLine::showLast(const std::string& text) {
    if (!enabled_) {
        return;
    }
    erase();
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
}

}  // namespace quillfen::cli
