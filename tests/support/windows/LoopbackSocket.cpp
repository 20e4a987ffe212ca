#include "support/LoopbackSocket.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <climits>
#include <stdexcept>
#include <utility>

namespace quillfen::test {

namespace {

// Winsock wants starting once per process; the tests' sockets live until the process ends.
bool startWinsock() {
    static const bool started = [] {
        WSADATA data{};
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

SOCKET socketOf(std::uintptr_t handle) {
    return static_cast<SOCKET>(handle);
}

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(port));
    return address;
}

std::uintptr_t handleOf(SOCKET socket) {
    return static_cast<std::uintptr_t>(socket);
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
        ::closesocket(socketOf(handle_));
        handle_ = kInvalid;
    }
}

LoopbackSocket LoopbackSocket::listen() {
    if (!startWinsock()) {
        throw std::runtime_error("cannot start Winsock");
    }
    const SOCKET socket =
        ::WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    LoopbackSocket listener(socket == INVALID_SOCKET ? kInvalid : handleOf(socket));
    // Another listener on the same port must not be able to take connections meant for ours.
    BOOL exclusive = TRUE;
    sockaddr_in address = loopback(0);
    if (!listener.valid() ||
        ::setsockopt(socket, SOL_SOCKET, SO_EXCLUSIVEADDRUSE,
                     reinterpret_cast<const char*>(&exclusive), sizeof exclusive) != 0 ||
        ::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(socket, 16) != 0) {
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    return listener;
}

LoopbackSocket LoopbackSocket::connect(int port) {
    if (!startWinsock()) {
        return {};
    }
    const SOCKET socket =
        ::WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    LoopbackSocket connection(socket == INVALID_SOCKET ? kInvalid : handleOf(socket));
    sockaddr_in address = loopback(port);
    if (connection.valid() &&
        ::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        connection.close();
    }
    return connection;
}

bool LoopbackSocket::valid() const {
    return handle_ != kInvalid;
}

int LoopbackSocket::port() const {
    sockaddr_in address{};
    int length = sizeof address;
    if (::getsockname(socketOf(handle_), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return 0;
    }
    return ntohs(address.sin_port);
}

LoopbackSocket LoopbackSocket::accept() const {
    const SOCKET socket = ::accept(socketOf(handle_), nullptr, nullptr);
    return LoopbackSocket(socket == INVALID_SOCKET ? kInvalid : handleOf(socket));
}

bool LoopbackSocket::waitReadable(std::chrono::milliseconds wait) const {
    WSAPOLLFD ready{socketOf(handle_), POLLRDNORM, 0};
    return ::WSAPoll(&ready, 1, static_cast<INT>(wait.count())) > 0;
}

long LoopbackSocket::receive(char* buffer, std::size_t size) const {
    return ::recv(socketOf(handle_), buffer, static_cast<int>(std::min<std::size_t>(size, INT_MAX)),
                  0);
}

bool LoopbackSocket::sendAll(std::string_view data) const {
    while (!data.empty()) {
        const int count = ::send(socketOf(handle_), data.data(),
                                 static_cast<int>(std::min<std::size_t>(data.size(), INT_MAX)), 0);
        if (count <= 0) {
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(count));
    }
    return true;
}

}  // namespace quillfen::test
