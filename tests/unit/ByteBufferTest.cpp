#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>

#include "search/ByteBuffer.h"

namespace quillfen {
namespace {

// The two bytes after the used ones must read as zero whatever happened before.
void expectZeroTail(const ByteBuffer& buffer) {
    ASSERT_GE(buffer.length(), 0);
    EXPECT_EQ(buffer.data()[buffer.length()], 0);
    EXPECT_EQ(buffer.data()[buffer.length() + 1], 0);
}

void fill(ByteBuffer& buffer, char byte) {
    std::fill(buffer.data(), buffer.data() + buffer.capacity() + 2, byte);
}

struct CreateCase {
    std::int32_t requested;
    std::int32_t expected;
};

class ByteBufferCreate : public testing::TestWithParam<CreateCase> {};

TEST_P(ByteBufferCreate, ZeroesEveryByteAndTheTail) {
    ByteBuffer buffer;
    buffer.fromString("leftover bytes");
    EXPECT_EQ(buffer.create(GetParam().requested), GetParam().expected);
    EXPECT_EQ(buffer.length(), GetParam().expected);
    EXPECT_EQ(buffer.capacity(), GetParam().expected);
    for (std::int32_t index = 0; index < buffer.length() + 2; ++index) {
        ASSERT_EQ(buffer.data()[index], 0) << "at " << index;
    }
}

INSTANTIATE_TEST_SUITE_P(ByteBufferCounts, ByteBufferCreate,
                         testing::Values(CreateCase{-5, 0}, CreateCase{0, 0}, CreateCase{1, 1},
                                         CreateCase{17, 17}));

TEST(ByteBufferLength, ShorteningKeepsCapacityAndZeroesTheNewTail) {
    ByteBuffer buffer;
    buffer.create(10);
    fill(buffer, 'x');
    EXPECT_EQ(buffer.setLength(4), 4);
    EXPECT_EQ(buffer.capacity(), 10);
    EXPECT_EQ(buffer.view(), "xxxx");
    expectZeroTail(buffer);
    EXPECT_EQ(buffer.setLength(-3), 0);
    expectZeroTail(buffer);
}

TEST(ByteBufferLength, LengtheningWithinCapacityZeroesTheNewTail) {
    ByteBuffer buffer;
    buffer.create(10);
    fill(buffer, 'x');
    buffer.setLength(2);
    EXPECT_EQ(buffer.setLength(10), 10);
    EXPECT_EQ(buffer.capacity(), 10);
    expectZeroTail(buffer);
}

TEST(ByteBufferLength, GrowingKeepsTheUsedBytes) {
    ByteBuffer buffer;
    buffer.fromString(std::string("ab\0c", 4));
    EXPECT_EQ(buffer.setLength(1000), 1000);
    EXPECT_EQ(buffer.capacity(), 1000);
    EXPECT_EQ(buffer.view().substr(0, 4), std::string_view("ab\0c", 4));
    expectZeroTail(buffer);
}

TEST(ByteBufferString, CopiesBytesIncludingZeroes) {
    ByteBuffer buffer;
    buffer.create(50);
    EXPECT_EQ(buffer.fromString(std::string("\0x\0", 3)), 3);
    EXPECT_EQ(buffer.view(), std::string_view("\0x\0", 3));
    EXPECT_EQ(buffer.capacity(), 3);
    expectZeroTail(buffer);
    EXPECT_EQ(buffer.fromString(""), 0);
    expectZeroTail(buffer);
}

TEST(ByteBufferMove, LeavesTheSourceEmptyAndTerminated) {
    ByteBuffer source;
    source.fromString("abc");
    ByteBuffer target(std::move(source));
    EXPECT_EQ(target.view(), "abc");
    EXPECT_EQ(source.length(), 0);
    expectZeroTail(source);
    source = std::move(target);
    EXPECT_EQ(source.view(), "abc");
    expectZeroTail(target);
}

TEST(ByteBufferMemory, ReportsALengthNoBufferCanHoldAndKeepsTheContents) {
    std::string reported;
    ByteBuffer::setOutOfMemoryHandler([&reported](const std::string& message) {
        reported = message;
    });
    ByteBuffer buffer;
    buffer.fromString("kept");
    EXPECT_EQ(buffer.setLength(INT_MAX), -1);
    ByteBuffer::setOutOfMemoryHandler({});
    EXPECT_EQ(reported, "Out of Memory.");
    EXPECT_EQ(buffer.view(), "kept");
    EXPECT_EQ(buffer.capacity(), 4);
    expectZeroTail(buffer);
}

}  // namespace
}  // namespace quillfen
