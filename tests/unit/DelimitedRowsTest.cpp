#include <gtest/gtest.h>

#include <string>

#include "results/DelimitedRows.h"

namespace quillfen {
namespace {

using Format = DelimitedRows::Format;

TEST(DelimitedRows, HeadingAndCellsAreEscapedAsTheirReadersNeed) {
    const struct {
        Format format;
        std::string name;
        std::string line;
    } cases[] = {
        {Format::Tsv, "plain.txt", "plain.txt\t/d/\tt\tm\t1  B\t01\n"},
        {Format::Tsv, "a\tb\nc\rd\\e", "a\\tb\\nc\\rd\\\\e\t/d/\tt\tm\t1  B\t01\n"},
        {Format::Tsv, "bad\xff.txt", "bad\\xff.txt\t/d/\tt\tm\t1  B\t01\n"},
        {Format::Csv, "plain.txt", "plain.txt,/d/,t,m,1  B,01\r\n"},
        {Format::Csv, "com,ma \"q\".txt", "\"com,ma \"\"q\"\".txt\",/d/,t,m,1  B,01\r\n"},
        {Format::Csv, "line\nbreak", "\"line\nbreak\",/d/,t,m,1  B,01\r\n"},
        {Format::Csv, "bad\xff\\x", "bad\xff\\x,/d/,t,m,1  B,01\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DelimitedRows::rowLine(c.format, {c.name, "/d/", "t", "m", "1  B", "01"}), c.line)
            << c.name;
    }
    EXPECT_EQ(DelimitedRows::headingLine(Format::Tsv),
              "Name\tIn Folder\tType\tDate Modified\tSize\tSize Byte\n");
    EXPECT_EQ(DelimitedRows::headingLine(Format::Csv),
              "Name,In Folder,Type,Date Modified,Size,Size Byte\r\n");
}

}  // namespace
}  // namespace quillfen
