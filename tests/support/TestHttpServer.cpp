#include "support/TestHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>
#include <string_view>

namespace quillfen::test {

namespace {

const char* reasonOf(int status) {
    return status == 200 ? "OK" : "Other";
}

bool sendAll(int connection, std::string_view data) {
    while (!data.empty()) {
        const ssize_t count = ::send(connection, data.data(), data.size(), MSG_NOSIGNAL);
        if (count <= 0) {
            return false;
        }
        data.remove_prefix(static_cast<size_t>(count));
    }
    return true;
}

void sendInPieces(int connection, std::string_view body, std::size_t piece,
                  std::chrono::milliseconds pause) {
    while (!body.empty() && sendAll(connection, body.substr(0, piece))) {
        body.remove_prefix(std::min(piece, body.size()));
        std::this_thread::sleep_for(pause);
    }
}

}  // namespace

TestHttpServer::TestHttpServer(Handler handler) : handler_(std::move(handler)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 16) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
}

TestHttpServer::~TestHttpServer() {
    ::shutdown(listener_, SHUT_RDWR);
    ::close(listener_);
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
        const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) {
            return;
        }
        answer(connection);
        ::close(connection);
    }
}

void TestHttpServer::answer(int connection) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
        pollfd ready{connection, POLLIN, 0};
        if (::poll(&ready, 1, 5000) <= 0) {
            return;
        }
        const ssize_t count = ::recv(connection, buffer, sizeof buffer, 0);
        if (count <= 0) {
            return;
        }
        request.append(buffer, static_cast<size_t>(count));
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
        sendAll(connection, head + reply.body);
    } else if (sendAll(connection, head)) {
        sendInPieces(connection, reply.body, reply.piece, reply.pause);
    }
}

}  // namespace quillfen::test
