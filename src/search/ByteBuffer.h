#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace quillfen {

// A growable byte string whose used bytes are always followed by two zero bytes, so code that
// reads one or two bytes past the end (a UTF-16 terminator, a lookahead) never leaves the memory.
// Allocation never throws: when memory runs out the process-wide out-of-memory handler is told
// and the buffer keeps what it had.
class ByteBuffer {
public:
    using OutOfMemoryHandler = std::function<void(const std::string& message)>;

    ByteBuffer() = default;
    ByteBuffer(ByteBuffer&& other) noexcept;
    ByteBuffer& operator=(ByteBuffer&& other) noexcept;
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;
    ~ByteBuffer() = default;

    // Replaces the contents with `count` zero bytes. Returns the new length, or -1 when memory ran
    // out.
    std::int32_t create(std::int32_t count);
    // Shortens in place; lengthening beyond the capacity moves to new memory and keeps the used
    // bytes. The bytes between the old and the new length are left as they happen to be. Returns
    // the new length, or -1 when memory ran out.
    std::int32_t setLength(std::int32_t count);
    // Replaces the contents with a copy of the text's bytes. Returns the new length, or -1.
    std::int32_t fromString(std::string_view text);

    char* data() { return memory_ ? memory_.get() : emptyTail_; }
    const char* data() const { return memory_ ? memory_.get() : emptyTail_; }
    std::int32_t capacity() const { return capacity_; }
    std::int32_t length() const { return length_; }
    std::string_view view() const { return {data(), static_cast<std::size_t>(length_)}; }

    // Replaces the handler told about failed allocations; an empty handler restores the default,
    // which writes the message to standard error. The window installs one that shows a message.
    static void setOutOfMemoryHandler(OutOfMemoryHandler handler);

private:
    std::unique_ptr<char[]> memory_;
    std::int32_t capacity_ = 0;
    std::int32_t length_ = 0;
    // Stands in for the two terminating zero bytes while no memory is held.
    char emptyTail_[2] = {0, 0};

    void endAt(std::int32_t count);
    static std::unique_ptr<char[]> allocate(std::int32_t count);
};

}  // namespace quillfen
