#include "shell/linux/FileManagerThunarActions.h"

#include <array>
#include <utility>

#include "shell/linux/FileManagerFormats.h"
#include "shell/linux/FileManagerQuoting.h"

namespace quillfen {

namespace {

constexpr auto npos = std::string_view::npos;
constexpr std::string_view kOurIdPrefix = "quillfen-";
constexpr std::string_view kStandardDocument =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n</actions>\n";

// A stretch of the document, [begin, end).
struct Span {
    size_t begin = 0;
    size_t end = 0;
};

// Where the actions are and where new ones go.
struct Layout {
    std::vector<Span> actions;
    std::optional<size_t> closingTag;
};

// The position behind a comment, CDATA section or processing instruction that starts at `at`, or
// `at` itself when none starts there; tags inside them are text, not markup.
size_t behindInertMarkup(std::string_view text, size_t at) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 3> kInert = {
        {{"<!--", "-->"}, {"<![CDATA[", "]]>"}, {"<?", "?>"}}};
    for (const auto& [open, close] : kInert) {
        if (text.substr(at).starts_with(open)) {
            const size_t end = text.find(close, at + open.size());
            return end == npos ? text.size() : end + close.size();
        }
    }
    return at;
}

size_t nextTag(std::string_view text, size_t from) {
    size_t at = text.find('<', from);
    while (at != npos) {
        const size_t behind = behindInertMarkup(text, at);
        if (behind == at) {
            return at;
        }
        at = text.find('<', behind);
    }
    return npos;
}

// True when a tag of that name, "/name" for an end tag, starts at `at`.
bool isTag(std::string_view text, size_t at, std::string_view name) {
    const std::string_view rest = text.substr(at + 1);
    if (!rest.starts_with(name) || rest.size() == name.size()) {
        return false;
    }
    const char next = rest[name.size()];
    return next == '>' || next == '/' || next == ' ' || next == '\t' || next == '\n' ||
           next == '\r';
}

// The end of the action element whose start tag is at `at`; npos for an empty or unclosed one.
size_t actionEnd(std::string_view text, size_t at) {
    const size_t startTagEnd = text.find('>', at);
    if (startTagEnd == npos || text[startTagEnd - 1] == '/') {
        return npos;
    }
    for (size_t tag = nextTag(text, startTagEnd); tag != npos; tag = nextTag(text, tag + 1)) {
        if (isTag(text, tag, "/action")) {
            const size_t end = text.find('>', tag);
            return end == npos ? npos : end + 1;
        }
    }
    return npos;
}

Layout layoutOf(std::string_view text) {
    Layout layout;
    size_t at = nextTag(text, 0);
    while (at != npos) {
        size_t resumeAt = at + 1;
        if (isTag(text, at, "action")) {
            if (const size_t end = actionEnd(text, at); end != npos) {
                layout.actions.push_back({at, end});
                resumeAt = end;
            }
        } else if (isTag(text, at, "/actions")) {
            layout.closingTag = at;
        }
        at = nextTag(text, resumeAt);
    }
    return layout;
}

// The text of the first child element of that name inside the span, escapes kept.
std::optional<std::string_view> childText(std::string_view text, Span span, std::string_view name) {
    const std::string_view element = text.substr(span.begin, span.end - span.begin);
    const std::string open = "<" + std::string(name) + ">";
    const size_t begin = element.find(open);
    if (begin == npos) {
        return std::nullopt;
    }
    const size_t end = element.find("</" + std::string(name) + ">", begin);
    if (end == npos) {
        return std::nullopt;
    }
    return element.substr(begin + open.size(), end - begin - open.size());
}

std::string uniqueIdOf(std::string_view text, Span span) {
    const auto id = childText(text, span, "unique-id");
    if (!id) {
        return {};
    }
    const std::string plain = xmlUnescaped(*id);
    const size_t first = plain.find_first_not_of(" \t\r\n");
    const size_t last = plain.find_last_not_of(" \t\r\n");
    return first == npos ? std::string() : plain.substr(first, last - first + 1);
}

std::string ourUniqueId(ItemKind kind) {
    return std::string(kOurIdPrefix) + (kind == ItemKind::Folders ? "folders" : "files");
}

size_t lineStartOf(std::string_view text, size_t at) {
    if (at == 0) {
        return 0;
    }
    const size_t newline = text.rfind('\n', at - 1);
    return newline == npos ? 0 : newline + 1;
}

bool onlyBlanks(std::string_view text) {
    return text.find_first_not_of(" \t") == npos;
}

// What removing an action takes away: its whole lines when it stands on lines of its own, as our
// inserted actions do, else the element alone, so that removal undoes insertion exactly.
Span removalSpan(std::string_view text, Span action) {
    const size_t lineStart = lineStartOf(text, action.begin);
    if (!onlyBlanks(text.substr(lineStart, action.begin - lineStart))) {
        return action;
    }
    size_t after = text.find_first_not_of(" \t", action.end);
    if (after == npos) {
        return {lineStart, text.size()};
    }
    if (text[after] == '\r') {
        ++after;
    }
    if (after < text.size() && text[after] == '\n') {
        return {lineStart, after + 1};
    }
    return action;
}

void removeOurActions(std::string& text) {
    const Layout layout = layoutOf(text);
    for (auto action = layout.actions.rbegin(); action != layout.actions.rend(); ++action) {
        if (uniqueIdOf(text, *action).starts_with(kOurIdPrefix)) {
            const Span removed = removalSpan(text, *action);
            text.erase(removed.begin, removed.end - removed.begin);
        }
    }
}

void insertActions(std::string& text, size_t closingTag,
                   const std::vector<FileManagerEntry>& entries) {
    const size_t lineStart = lineStartOf(text, closingTag);
    const bool ownLines =
        onlyBlanks(std::string_view(text).substr(lineStart, closingTag - lineStart));
    std::string actions;
    for (const FileManagerEntry& entry : entries) {
        actions += thunarAction(entry);
        if (ownLines) {
            actions.push_back('\n');
        }
    }
    text.insert(ownLines ? lineStart : closingTag, actions);
}

std::string fileTypeElements(ItemKind kind) {
    if (kind == ItemKind::Folders) {
        return "\t<directories/>\n";
    }
    return "\t<other-files/>\n"
           "\t<text-files/>\n"
           "\t<image-files/>\n"
           "\t<audio-files/>\n"
           "\t<video-files/>\n";
}

}  // namespace

// Thunar has no condition that hides an action, so the command itself asks whether the program
// is there. The script is constant; the message, the program and the path reach it as arguments,
// so none of them is ever read as shell code.
std::string thunarCommand(const FileManagerEntry& entry) {
    const std::string script = std::string("message=$1; shift; [ -x \"$1\" ] && exec \"$@\"; ") +
                               "set -- \"$message\"; " + kMissingProgramNotice + "; exit 1";
    return percentsDoubled("/bin/sh -c " + shellQuoted(script) + " sh " +
                           shellQuoted(entry.missingProgramMessage) + " " +
                           shellQuoted(entry.program)) +
           " %f";
}

std::string thunarAction(const FileManagerEntry& entry) {
    return "<action>\n"
           "\t<icon>" +
           std::string(kEntryIconName) +
           "</icon>\n"
           "\t<name>" +
           xmlEscaped(entry.label) +
           "</name>\n"
           "\t<unique-id>" +
           ourUniqueId(entry.kind) +
           "</unique-id>\n"
           "\t<command>" +
           xmlEscaped(thunarCommand(entry)) +
           "</command>\n"
           "\t<description></description>\n"
           "\t<patterns>*</patterns>\n" +
           fileTypeElements(entry.kind) + "</action>";
}

std::optional<std::string> withOurThunarActions(std::string_view document,
                                                const std::vector<FileManagerEntry>& entries) {
    const bool blank = document.find_first_not_of(" \t\r\n") == npos;
    if (blank && entries.empty()) {
        return std::string(document);
    }
    std::string text(blank ? kStandardDocument : document);
    removeOurActions(text);
    if (entries.empty()) {
        return text;
    }
    const auto closingTag = layoutOf(text).closingTag;
    if (!closingTag) {
        return std::nullopt;
    }
    insertActions(text, *closingTag, entries);
    return text;
}

std::optional<std::string> thunarStoredCommand(std::string_view document, ItemKind kind) {
    for (const Span action : layoutOf(document).actions) {
        if (uniqueIdOf(document, action) == ourUniqueId(kind)) {
            if (const auto command = childText(document, action, "command")) {
                return xmlUnescaped(*command);
            }
        }
    }
    return std::nullopt;
}

}  // namespace quillfen
