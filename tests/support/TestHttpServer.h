#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/LoopbackSocket.h"

namespace quillfen::test {

// A small HTTP/1.0 server on 127.0.0.1 with a port of the system's choosing, answering each GET
// through a handler on its own thread. It records every request target it receives.
class TestHttpServer {
public:
    struct Reply {
        Reply(int statusCode = 200, std::string text = {}, std::string redirect = {})
            : status(statusCode), body(std::move(text)), location(std::move(redirect)) {}

        int status = 200;
        std::string body;
        // Sent as a Location header when not empty, for redirects.
        std::string location;
        // With a piece size, the body goes out that many bytes at a time with the pause between
        // the pieces, as from a server that trickles; it stops when the client has gone.
        std::size_t piece = 0;
        std::chrono::milliseconds pause{0};
    };
    using Handler = std::function<Reply(const std::string& target)>;

    explicit TestHttpServer(Handler handler);
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;
    ~TestHttpServer();

    // "http://127.0.0.1:PORT"
    std::string base() const;
    std::vector<std::string> targets() const;

private:
    void serve();
    void answer(const LoopbackSocket& connection);

    Handler handler_;
    LoopbackSocket listener_;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> targets_;
    std::thread thread_;
};

}  // namespace quillfen::test
