#include "cli/RowWriter.h"

#include <algorithm>
#include <array>
#include <cerrno>

namespace quillfen::cli {

namespace {

constexpr std::array<const char*, 6> kHeadings = {"Name",          "In Folder", "Type",
                                                  "Date Modified", "Size",      "Size Byte"};

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

size_t displayWidth(const std::string& text) {
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

}  // namespace

RowWriter::RowWriter(std::FILE* out, OutputFormat format, bool nullTerminated)
    : out_(out), format_(format), nullTerminated_(nullTerminated) {}

std::string RowWriter::escapeForTerminal(const std::string& text) {
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

std::string RowWriter::escapeForTsv(const std::string& text) {
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

std::string RowWriter::quoteForCsv(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + "\"";
}

std::string RowWriter::quoteForJson(const std::string& text) {
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

bool RowWriter::isUtf8(const std::string& text) {
    for (size_t at = 0; at < text.size();) {
        const size_t length = utf8SequenceLength(text, at);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

std::string RowWriter::base64(const std::string& bytes) {
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

void RowWriter::put(const std::string& bytes) {
    if (writeError_ != 0) {
        return;
    }
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), out_) != bytes.size()) {
        writeError_ = errno != 0 ? errno : EIO;
    }
}

void RowWriter::writeHeader() {
    if (headerWritten_) {
        return;
    }
    headerWritten_ = true;
    if (format_ == OutputFormat::Tsv || format_ == OutputFormat::Csv) {
        const char* separator = format_ == OutputFormat::Tsv ? "\t" : ",";
        std::string line;
        for (size_t i = 0; i < kHeadings.size(); ++i) {
            line += (i > 0 ? separator : "") + std::string(kHeadings[i]);
        }
        line += format_ == OutputFormat::Csv ? "\r\n" : "\n";
        put(line);
    }
}

void RowWriter::write(const OutputRow& row) {
    writeHeader();
    const std::array<const std::string*, 6> cells = {&row.name,     &row.inFolder, &row.type,
                                                     &row.modified, &row.sizeText, &row.sizeKey};
    std::string line;
    switch (format_) {
        case OutputFormat::Paths:
            writePath(row.path);
            return;
        case OutputFormat::Table:
            tableRows_.push_back({escapeForTerminal(row.name), escapeForTerminal(row.inFolder),
                                  escapeForTerminal(row.type), row.modified, row.sizeText});
            return;
        case OutputFormat::Tsv:
            for (size_t i = 0; i < cells.size(); ++i) {
                line += (i > 0 ? "\t" : "") + escapeForTsv(*cells[i]);
            }
            line += "\n";
            break;
        case OutputFormat::Csv:
            for (size_t i = 0; i < cells.size(); ++i) {
                line += (i > 0 ? "," : "") + quoteForCsv(*cells[i]);
            }
            line += "\r\n";
            break;
        case OutputFormat::Jsonl:
            line = "{\"name\":" + quoteForJson(row.name) +
                   ",\"in_folder\":" + quoteForJson(row.inFolder) +
                   ",\"type\":" + quoteForJson(row.type) +
                   ",\"date_modified\":" + quoteForJson(row.modified) +
                   ",\"size\":" + quoteForJson(row.sizeText) +
                   ",\"size_byte\":" + quoteForJson(row.sizeKey) +
                   ",\"path\":" + quoteForJson(row.path);
            if (!isUtf8(row.path)) {
                line += ",\"path_bytes\":\"" + base64(row.path) + "\"";
            }
            line += "}\n";
            break;
    }
    put(line);
}

void RowWriter::writePath(const std::string& path) {
    put(path + (nullTerminated_ ? '\0' : '\n'));
}

void RowWriter::writeTable() {
    constexpr size_t kColumns = 5;
    std::array<size_t, kColumns> widths{};
    for (size_t i = 0; i < kColumns; ++i) {
        widths[i] = displayWidth(kHeadings[i]);
    }
    for (const auto& cells : tableRows_) {
        for (size_t i = 0; i < kColumns; ++i) {
            widths[i] = std::max(widths[i], displayWidth(cells[i]));
        }
    }
    const auto printLine = [&](const std::array<std::string, kColumns>& cells) {
        std::string line;
        for (size_t i = 0; i < kColumns; ++i) {
            const std::string padding(widths[i] - displayWidth(cells[i]), ' ');
            // Sizes align right, as in the window.
            line += i == kColumns - 1 ? padding + cells[i] : cells[i] + padding + "  ";
        }
        line += "\n";
        put(line);
    };
    printLine({kHeadings[0], kHeadings[1], kHeadings[2], kHeadings[3], kHeadings[4]});
    for (const auto& cells : tableRows_) {
        printLine({cells[0], cells[1], cells[2], cells[3], cells[4]});
    }
}

void RowWriter::finish() {
    if (format_ == OutputFormat::Table && !tableRows_.empty()) {
        writeTable();
    } else if (format_ == OutputFormat::Tsv || format_ == OutputFormat::Csv) {
        writeHeader();
    }
    errno = 0;
    if ((std::fflush(out_) != 0 || std::ferror(out_) != 0) && writeError_ == 0) {
        writeError_ = errno != 0 ? errno : EIO;
    }
}

}  // namespace quillfen::cli
