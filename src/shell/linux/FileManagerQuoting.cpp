#include "shell/linux/FileManagerQuoting.h"

#include <array>
#include <cstdint>
#include <optional>
#include <utility>

namespace quillfen {

namespace {

void appendUtf8(std::string& out, std::uint32_t codePoint) {
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

std::optional<std::uint32_t> numericReference(std::string_view digits) {
    int base = 10;
    if (!digits.empty() && (digits.front() == 'x' || digits.front() == 'X')) {
        base = 16;
        digits.remove_prefix(1);
    }
    if (digits.empty() || digits.size() > 8) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (const char c : digits) {
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        }
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(digit);
    }
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::string> referenceText(std::string_view name) {
    static constexpr std::array<std::pair<std::string_view, char>, 5> kNamed = {
        {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}}};
    for (const auto& [entity, character] : kNamed) {
        if (name == entity) {
            return std::string(1, character);
        }
    }
    if (name.starts_with('#')) {
        if (const auto codePoint = numericReference(name.substr(1))) {
            std::string text;
            appendUtf8(text, *codePoint);
            return text;
        }
    }
    return std::nullopt;
}

}  // namespace

std::string shellQuoted(std::string_view text) {
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted.push_back(c);
        }
    }
    quoted.push_back('\'');
    return quoted;
}

std::string desktopExecQuoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted.push_back('\\');
        }
        quoted.push_back(c);
    }
    quoted.push_back('"');
    return quoted;
}

std::string keyFileEscaped(std::string_view text) {
    std::string escaped;
    for (size_t at = 0; at < text.size(); ++at) {
        switch (text[at]) {
            case '\\':
                escaped += "\\\\";
                break;
            case '\n':
                escaped += "\\n";
                break;
            case '\t':
                escaped += "\\t";
                break;
            case '\r':
                escaped += "\\r";
                break;
            case ' ':
                escaped += at == 0 ? "\\s" : " ";
                break;
            default:
                escaped.push_back(text[at]);
        }
    }
    return escaped;
}

std::string percentsDoubled(std::string_view text) {
    std::string doubled;
    for (const char c : text) {
        if (c == '%') {
            doubled.push_back('%');
        }
        doubled.push_back(c);
    }
    return doubled;
}

std::string xmlEscaped(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            case '\'':
                escaped += "&apos;";
                break;
            default:
                escaped.push_back(c);
        }
    }
    return escaped;
}

std::string xmlUnescaped(std::string_view text) {
    std::string plain;
    size_t at = 0;
    while (at < text.size()) {
        const size_t semicolon = text[at] == '&' ? text.find(';', at) : std::string_view::npos;
        if (semicolon != std::string_view::npos) {
            if (const auto replaced = referenceText(text.substr(at + 1, semicolon - at - 1))) {
                plain += *replaced;
                at = semicolon + 1;
                continue;
            }
        }
        plain.push_back(text[at]);
        ++at;
    }
    return plain;
}

}  // namespace quillfen
