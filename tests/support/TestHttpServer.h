#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quillfen::test {

// A small HTTP/1.0 server on 127.0.0.1 with a port of the system's choosing, answering each GET
// through a handler on its own thread. It records every request target it receives.
class TestHttpServer {
public:
    struct Reply {
        int status = 200;
        std::string body;
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
    void answer(int connection);

    Handler handler_;
    int listener_ = -1;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::vector<std::string> targets_;
    std::thread thread_;
};

}  // namespace quillfen::test
