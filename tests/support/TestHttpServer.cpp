#include "support/TestHttpServer.h"

#include <algorithm>
#include <string_view>

namespace quillfen::test {

namespace {

const char* reasonOf(int status) {
    return status == 200 ? "OK" : "Other";
}

void sendInPieces(const LoopbackSocket& connection, std::string_view body, std::size_t piece,
                  std::chrono::milliseconds pause) {
    while (!body.empty() && connection.sendAll(body.substr(0, piece))) {
        body.remove_prefix(std::min(piece, body.size()));
        std::this_thread::sleep_for(pause);
    }
}

}  // namespace

TestHttpServer::TestHttpServer(Handler handler)
    : handler_(std::move(handler)), listener_(LoopbackSocket::listen()), port_(listener_.port()) {
    thread_ = std::thread([this] { serve(); });
}

// A connection of its own wakes the server from waiting for the next one, the same way on every
// socket layer.
TestHttpServer::~TestHttpServer() {
    stopping_ = true;
    LoopbackSocket::connect(port_);
    thread_.join();
}

std::string TestHttpServer::base() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

std::vector<std::string> TestHttpServer::targets() const {
    const std::lock_guard lock(mutex_);
    return targets_;
}

void TestHttpServer::serve() {
    for (;;) {
        const LoopbackSocket connection = listener_.accept();
        if (stopping_ || !connection.valid()) {
            return;
        }
        answer(connection);
    }
}

void TestHttpServer::answer(const LoopbackSocket& connection) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
        if (!connection.waitReadable(std::chrono::seconds(5))) {
            return;
        }
        const long count = connection.receive(buffer, sizeof buffer);
        if (count <= 0) {
            return;
        }
        request.append(buffer, static_cast<std::size_t>(count));
    }
    const auto firstSpace = request.find(' ');
    const auto secondSpace = request.find(' ', firstSpace + 1);
    const std::string target = request.substr(firstSpace + 1, secondSpace - firstSpace - 1);
    {
        const std::lock_guard lock(mutex_);
        targets_.push_back(target);
    }
    const Reply reply = handler_(target);
    const std::string location = reply.location.empty() ? "" : "\r\nLocation: " + reply.location;
    const std::string head = "HTTP/1.0 " + std::to_string(reply.status) + " " +
                             reasonOf(reply.status) + location +
                             "\r\nContent-Length: " + std::to_string(reply.body.size()) +
                             "\r\nConnection: close\r\n\r\n";
    if (reply.piece == 0) {
        connection.sendAll(head + reply.body);
    } else if (connection.sendAll(head)) {
        sendInPieces(connection, reply.body, reply.piece, reply.pause);
    }
}

}  // namespace quillfen::test
