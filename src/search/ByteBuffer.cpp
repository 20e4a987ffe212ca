#include "search/ByteBuffer.h"

#include <algorithm>
#include <cstring>
#include <iostream>
#include <limits>
#include <mutex>
#include <new>
#include <utility>

namespace quillfen {

namespace {

// Memory may come back when other threads finish their files, so a failed allocation is tried
// again a number of times before the user is told.
constexpr int kAllocationAttempts = 100;
constexpr std::int32_t kTailBytes = 2;
constexpr std::int32_t kLargestLength = std::numeric_limits<std::int32_t>::max() - kTailBytes;

std::mutex& handlerMutex() {
    static std::mutex mutex;
    return mutex;
}

ByteBuffer::OutOfMemoryHandler& installedHandler() {
    static ByteBuffer::OutOfMemoryHandler handler;
    return handler;
}

void reportOutOfMemory() {
    const std::string message = "Out of Memory.";
    ByteBuffer::OutOfMemoryHandler handler;
    {
        std::lock_guard lock(handlerMutex());
        handler = installedHandler();
    }
    if (handler) {
        handler(message);
    } else {
        std::cerr << message << '\n';
    }
}

}  // namespace

ByteBuffer::ByteBuffer(ByteBuffer&& other) noexcept
    : memory_(std::move(other.memory_)),
      capacity_(std::exchange(other.capacity_, 0)),
      length_(std::exchange(other.length_, 0)) {}

ByteBuffer& ByteBuffer::operator=(ByteBuffer&& other) noexcept {
    if (this == &other) {
        return *this;
    }
    memory_ = std::move(other.memory_);
    capacity_ = std::exchange(other.capacity_, 0);
    length_ = std::exchange(other.length_, 0);
    return *this;
}

void ByteBuffer::setOutOfMemoryHandler(OutOfMemoryHandler handler) {
    std::lock_guard lock(handlerMutex());
    installedHandler() = std::move(handler);
}

std::unique_ptr<char[]> ByteBuffer::allocate(std::int32_t count) {
    if (count > kLargestLength) {
        reportOutOfMemory();
        return nullptr;
    }
    const auto bytes = static_cast<std::size_t>(count) + kTailBytes;
    for (int attempt = 0; attempt < kAllocationAttempts; ++attempt) {
        if (char* memory = new (std::nothrow) char[bytes]) {
            return std::unique_ptr<char[]>(memory);
        }
    }
    reportOutOfMemory();
    return nullptr;
}

void ByteBuffer::endAt(std::int32_t count) {
    length_ = count;
    data()[count] = 0;
    data()[count + 1] = 0;
}

std::int32_t ByteBuffer::create(std::int32_t count) {
    count = std::max(count, 0);
    std::unique_ptr<char[]> memory = allocate(count);
    if (!memory) {
        return -1;
    }
    std::memset(memory.get(), 0, static_cast<std::size_t>(count) + kTailBytes);
    memory_ = std::move(memory);
    capacity_ = count;
    length_ = count;
    return count;
}

std::int32_t ByteBuffer::setLength(std::int32_t count) {
    count = std::max(count, 0);
    if (count > capacity_) {
        std::unique_ptr<char[]> memory = allocate(count);
        if (!memory) {
            return -1;
        }
        std::memcpy(memory.get(), data(), static_cast<std::size_t>(length_));
        memory_ = std::move(memory);
        capacity_ = count;
    }
    endAt(count);
    return count;
}

std::int32_t ByteBuffer::fromString(std::string_view text) {
    if (text.size() > static_cast<std::size_t>(kLargestLength)) {
        reportOutOfMemory();
        return -1;
    }
    const auto count = static_cast<std::int32_t>(text.size());
    std::unique_ptr<char[]> memory = allocate(count);
    if (!memory) {
        return -1;
    }
    std::memcpy(memory.get(), text.data(), text.size());
    memory_ = std::move(memory);
    capacity_ = count;
    endAt(count);
    return count;
}

}  // namespace quillfen
