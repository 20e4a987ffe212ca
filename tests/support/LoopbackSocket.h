#pragma once

#include <chrono>
#include <cstdint>
#include <string_view>

namespace quillfen::test {

// One TCP socket on 127.0.0.1 for the test's HTTP server, over whichever socket layer the system
// has (a source file per system). Closed when the object goes; move-only.
class LoopbackSocket {
public:
    LoopbackSocket() = default;
    LoopbackSocket(LoopbackSocket&& other) noexcept;
    LoopbackSocket& operator=(LoopbackSocket&& other) noexcept;
    LoopbackSocket(const LoopbackSocket&) = delete;
    LoopbackSocket& operator=(const LoopbackSocket&) = delete;
    ~LoopbackSocket();

    // Listening on a port of the system's choosing; throws when that fails.
    static LoopbackSocket listen();
    // Connected to the port, or an invalid socket when nobody listens there.
    static LoopbackSocket connect(int port);

    bool valid() const;
    int port() const;
    // The next connection; an invalid socket when accepting fails.
    LoopbackSocket accept() const;
    // False when nothing arrived within the wait.
    bool waitReadable(std::chrono::milliseconds wait) const;
    // Bytes received, 0 at the end of the stream, negative on failure.
    long receive(char* buffer, std::size_t size) const;
    // False as soon as the peer has gone.
    bool sendAll(std::string_view data) const;

private:
    static constexpr std::uintptr_t kInvalid = ~std::uintptr_t{0};

    explicit LoopbackSocket(std::uintptr_t handle) : handle_(handle) {}
    void close();

    std::uintptr_t handle_ = kInvalid;
};

}  // namespace quillfen::test
