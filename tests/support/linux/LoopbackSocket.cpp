#include "support/LoopbackSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>
#include <utility>

namespace quillfen::test {

namespace {

int fdOf(std::uintptr_t handle) {
    return static_cast<int>(handle);
}

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    return address;
}

}  // namespace

LoopbackSocket::LoopbackSocket(LoopbackSocket&& other) noexcept
    : handle_(std::exchange(other.handle_, kInvalid)) {}

LoopbackSocket& LoopbackSocket::operator=(LoopbackSocket&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = std::exchange(other.handle_, kInvalid);
    }
    return *this;
}

LoopbackSocket::~LoopbackSocket() {
    close();
}

void LoopbackSocket::close() {
    if (valid()) {
        ::close(fdOf(handle_));
        handle_ = kInvalid;
    }
}

LoopbackSocket LoopbackSocket::listen() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    LoopbackSocket listener(fd < 0 ? kInvalid : static_cast<std::uintptr_t>(fd));
    sockaddr_in address = loopback(0);
    if (!listener.valid() ||
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 16) != 0) {
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    return listener;
}

LoopbackSocket LoopbackSocket::connect(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    LoopbackSocket connection(fd < 0 ? kInvalid : static_cast<std::uintptr_t>(fd));
    sockaddr_in address = loopback(port);
    if (connection.valid() &&
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        connection.close();
    }
    return connection;
}

bool LoopbackSocket::valid() const {
    return handle_ != kInvalid;
}

int LoopbackSocket::port() const {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (::getsockname(fdOf(handle_), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return 0;
    }
    return ntohs(address.sin_port);
}

LoopbackSocket LoopbackSocket::accept() const {
    const int fd = ::accept4(fdOf(handle_), nullptr, nullptr, SOCK_CLOEXEC);
    return LoopbackSocket(fd < 0 ? kInvalid : static_cast<std::uintptr_t>(fd));
}

bool LoopbackSocket::waitReadable(std::chrono::milliseconds wait) const {
    pollfd ready{fdOf(handle_), POLLIN, 0};
    return ::poll(&ready, 1, static_cast<int>(wait.count())) > 0;
}

long LoopbackSocket::receive(char* buffer, std::size_t size) const {
    return static_cast<long>(::recv(fdOf(handle_), buffer, size, 0));
}

bool LoopbackSocket::sendAll(std::string_view data) const {
    while (!data.empty()) {
        const ssize_t count = ::send(fdOf(handle_), data.data(), data.size(), MSG_NOSIGNAL);
        if (count <= 0) {
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(count));
    }
    return true;
}

}  // namespace quillfen::test
