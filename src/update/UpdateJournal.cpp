#include "update/UpdateJournal.h"

#include <array>
#include <utility>

namespace quillfen {

namespace {

constexpr std::string_view kFirstLine = "quillfen in-place update 1";
// The last line, so that a journal cut short is never taken for a whole one.
constexpr std::string_view kLastLine = "end";

constexpr std::array<std::pair<UpdateJournal::Stage, std::string_view>, 5> kStageNames{{
    {UpdateJournal::Stage::Staged, "staged"},
    {UpdateJournal::Stage::Swapping, "swapping"},
    {UpdateJournal::Stage::Checking, "checking"},
    {UpdateJournal::Stage::Done, "done"},
    {UpdateJournal::Stage::RolledBack, "rolled-back"},
}};

std::string_view nameOf(UpdateJournal::Stage stage) {
    for (const auto& [known, name] : kStageNames) {
        if (known == stage) {
            return name;
        }
    }
    return {};
}

std::optional<UpdateJournal::Stage> stageNamed(std::string_view name) {
    for (const auto& [stage, known] : kStageNames) {
        if (known == name) {
            return stage;
        }
    }
    return std::nullopt;
}

}  // namespace

std::string UpdateJournal::text() const {
    std::string out(kFirstLine);
    out += "\nstage ";
    out += nameOf(stage);
    out += "\nversion " + version + "\n";
    for (const std::string& name : createdFolders) {
        out += "folder " + name + "\n";
    }
    for (const std::string& name : replaced) {
        out += "replace " + name + "\n";
    }
    for (const std::string& name : added) {
        out += "add " + name + "\n";
    }
    out += kLastLine;
    out += "\n";
    return out;
}

std::optional<UpdateJournal> UpdateJournal::parse(std::string_view text) {
    UpdateJournal journal;
    bool first = true;
    bool ended = false;
    bool staged = false;
    while (!text.empty()) {
        const auto end = text.find('\n');
        if (end == std::string_view::npos || ended) {
            return std::nullopt;
        }
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        const auto blank = line.find(' ');
        const std::string_view key = line.substr(0, blank);
        const std::string value(blank == std::string_view::npos ? std::string_view()
                                                                : line.substr(blank + 1));
        if (first) {
            if (line != kFirstLine) {
                return std::nullopt;
            }
            first = false;
        } else if (line == kLastLine) {
            ended = true;
        } else if (key == "stage" && stageNamed(value)) {
            journal.stage = *stageNamed(value);
            staged = true;
        } else if (key == "version") {
            journal.version = value;
        } else if (key == "folder" && !value.empty()) {
            journal.createdFolders.push_back(value);
        } else if (key == "replace" && !value.empty()) {
            journal.replaced.push_back(value);
        } else if (key == "add" && !value.empty()) {
            journal.added.push_back(value);
        } else {
            return std::nullopt;
        }
    }
    return ended && staged ? std::optional<UpdateJournal>(std::move(journal)) : std::nullopt;
}

}  // namespace quillfen
