#include "results/TextEscapes.h"

#include <algorithm>
#include <cstdio>

namespace quillfen {

namespace {

// Length of the valid UTF-8 sequence starting at `at`, or 0 when the bytes there are not one.
size_t utf8SequenceLength(const std::string& text, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    size_t length = 0;
    unsigned minimum = 0;
    unsigned value = 0;
    if (lead < 0x80) {
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, minimum = 0x80, value = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, minimum = 0x800, value = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, minimum = 0x10000, value = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            return 0;
        }
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    return value < minimum || value > 0x10FFFF || surrogate ? 0 : length;
}

std::string hexEscape(unsigned char byte) {
    static constexpr char kDigits[] = "0123456789abcdef";
    return std::string("\\x") + kDigits[byte >> 4] + kDigits[byte & 0xF];
}

// Walks the text, handing valid UTF-8 characters to `keep` and every other byte to `escape`.
template <typename Keep, typename Escape>
std::string transcribe(const std::string& text, Keep keep, Escape escape) {
    std::string result;
    result.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const size_t length = utf8SequenceLength(text, at);
        if (length == 0) {
            result += escape(static_cast<unsigned char>(text[at]));
            ++at;
        } else {
            keep(result, text.substr(at, length));
            at += length;
        }
    }
    return result;
}

}  // namespace

std::string TextEscapes::escapeForTerminal(const std::string& text) {
    return transcribe(
        text,
        [](std::string& out, const std::string& character) {
            const unsigned char first = static_cast<unsigned char>(character[0]);
            if (character.size() == 1 && (first < 0x20 || first == 0x7F)) {
                out += hexEscape(first);
            } else if (character == "\\") {
                // Doubled, so that a name holding the text \xff differs from one holding that byte.
                out += "\\\\";
            } else {
                out += character;
            }
        },
        hexEscape);
}

std::string TextEscapes::escapeForTsv(const std::string& text) {
    return transcribe(
        text,
        [](std::string& out, const std::string& character) {
            switch (character[0]) {
                case '\\':
                    out += "\\\\";
                    break;
                case '\t':
                    out += "\\t";
                    break;
                case '\r':
                    out += "\\r";
                    break;
                case '\n':
                    out += "\\n";
                    break;
                default:
                    out += character;
            }
        },
        hexEscape);
}

std::string TextEscapes::quoteForCsv(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + "\"";
}

std::string TextEscapes::quoteForJson(const std::string& text) {
    const auto unicodeEscape = [](unsigned value) {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "\\u%04x", value);
        return std::string(buffer);
    };
    return "\"" +
           transcribe(
               text,
               [&](std::string& out, const std::string& character) {
                   const unsigned char first = static_cast<unsigned char>(character[0]);
                   if (character == "\"" || character == "\\") {
                       out += "\\" + character;
                   } else if (character.size() == 1 && first < 0x20) {
                       out += unicodeEscape(first);
                   } else {
                       out += character;
                   }
               },
               // JSON text must be UTF-8: a byte that is not becomes the text \xHH.
               [](unsigned char byte) { return "\\" + hexEscape(byte); }) +
           "\"";
}

bool TextEscapes::isUtf8(const std::string& text) {
    for (size_t at = 0; at < text.size();) {
        const size_t length = utf8SequenceLength(text, at);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

std::string TextEscapes::base64(const std::string& bytes) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string encoded;
    encoded.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t at = 0; at < bytes.size(); at += 3) {
        const size_t count = std::min<size_t>(3, bytes.size() - at);
        unsigned group = 0;
        for (size_t i = 0; i < 3; ++i) {
            group = (group << 8) | (i < count ? static_cast<unsigned char>(bytes[at + i]) : 0U);
        }
        for (size_t i = 0; i < 4; ++i) {
            encoded += i <= count ? kAlphabet[(group >> (18 - 6 * i)) & 0x3F] : '=';
        }
    }
    return encoded;
}

}  // namespace quillfen
