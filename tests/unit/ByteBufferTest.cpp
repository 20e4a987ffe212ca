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

// Dirties every byte the buffer holds, tail included, as a reader that filled it would.
void scribble(ByteBuffer& buffer) {
    std::fill(buffer.data(), buffer.data() + buffer.capacity() + 2, 'x');
}

class ByteBufferCreate : public testing::TestWithParam<std::pair<int, int>> {};

TEST_P(ByteBufferCreate, ZeroesEveryByteAndTheTail) {
    ByteBuffer buffer;
    buffer.fromString("leftover bytes");
    EXPECT_EQ(buffer.create(GetParam().first), GetParam().second);
    EXPECT_EQ(buffer.length(), GetParam().second);
    EXPECT_EQ(buffer.capacity(), GetParam().second);
    EXPECT_TRUE(std::all_of(buffer.data(), buffer.data() + buffer.length() + 2,
                            [](char c) { return c == 0; }));
}

INSTANTIATE_TEST_SUITE_P(ByteBufferCounts, ByteBufferCreate,
                         testing::Values(std::pair{-5, 0}, std::pair{0, 0}, std::pair{1, 1},
                                         std::pair{17, 17}));

TEST(ByteBufferLength, ChangesWithinTheCapacityKeepTheMemoryAndZeroTheTail) {
    ByteBuffer buffer;
    buffer.create(10);
    scribble(buffer);
    EXPECT_EQ(buffer.setLength(4), 4);
    EXPECT_EQ(buffer.view(), "xxxx");
    expectZeroTail(buffer);
    scribble(buffer);
    EXPECT_EQ(buffer.setLength(10), 10);
    expectZeroTail(buffer);
    EXPECT_EQ(buffer.setLength(-3), 0);
    expectZeroTail(buffer);
    EXPECT_EQ(buffer.capacity(), 10);
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
}

TEST(ByteBufferMemory, ReportsALengthNoBufferCanHoldAndKeepsTheContents) {
    std::string reported;
    ByteBuffer::setOutOfMemoryHandler(
        [&reported](const std::string& message) { reported = message; });
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
