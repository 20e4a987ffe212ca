#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "platform/windows/WinInetHttpClient.h"
#include "platform/windows/WinInetRequest.h"
#include "support/LoopbackSocket.h"
#include "support/PlatformOverlay.h"
#include "support/TestHttpServer.h"
#include "update/VersionCheck.h"

namespace quillfen {
namespace {

using test::TestHttpServer;

constexpr std::size_t kCap = 64 * 1024;
constexpr std::chrono::milliseconds kLimit = std::chrono::seconds(30);

// A port where nobody listens: one the system just gave out and took back.
int closedPort() {
    return test::LoopbackSocket::listen().port();
}

// Takes connections and drops them at once, counting them: an https address whose handshake
// fails quickly, so that a test sees whether the client went there at all.
class DroppingListener {
public:
    DroppingListener() : thread_([this] { run(); }) {}
    DroppingListener(const DroppingListener&) = delete;
    DroppingListener& operator=(const DroppingListener&) = delete;
    ~DroppingListener() {
        stopping_ = true;
        test::LoopbackSocket::connect(port_);
        thread_.join();
    }

    int port() const { return port_; }
    int connections() const { return connections_; }

private:
    void run() {
        for (;;) {
            const test::LoopbackSocket connection = listener_.accept();
            if (stopping_ || !connection.valid()) {
                return;
            }
            ++connections_;
        }
    }

    test::LoopbackSocket listener_ = test::LoopbackSocket::listen();
    int port_ = listener_.port();
    std::atomic<bool> stopping_{false};
    std::atomic<int> connections_{0};
    std::thread thread_;
};

class WinInetHttpClientTest : public testing::Test {
protected:
    platform::HttpResponse get(const std::string& url, std::size_t cap = kCap,
                               std::chrono::milliseconds limit = kLimit) {
        return client.get(url, "", "", cap, limit);
    }

    platform::WinInetHttpClient client;
};

TEST_F(WinInetHttpClientTest, AnswersWithStatusAndBody) {
    const std::string binary("a\r\nb\0c\xff", 7);
    TestHttpServer server([&](const std::string& target) -> TestHttpServer::Reply {
        if (target == "/missing") {
            return {404, "not here"};
        }
        if (target == "/empty") {
            return {200, ""};
        }
        return {200, binary};
    });
    auto response = get(server.base() + "/file");
    EXPECT_EQ(response.status, 200);
    EXPECT_EQ(response.body, binary);
    response = get(server.base() + "/empty");
    EXPECT_EQ(response.status, 200);
    EXPECT_EQ(response.body, "");
    EXPECT_EQ(get(server.base() + "/missing").status, 404);
    EXPECT_EQ(server.targets(), (std::vector<std::string>{"/file", "/empty", "/missing"}));
}

TEST_F(WinInetHttpClientTest, AFailedTransferHasNoStatusAndNoBody) {
    const auto refused = get("http://127.0.0.1:" + std::to_string(closedPort()) + "/x");
    EXPECT_EQ(refused.status, 0);
    EXPECT_EQ(refused.body, "");
    for (const char* url : {"ftp://127.0.0.1/x", "file:///C:/windows/win.ini", "no address"}) {
        EXPECT_EQ(get(url).status, 0) << url;
    }
}

TEST_F(WinInetHttpClientTest, ABodyOverTheCapFails) {
    const std::string body(70000, 'b');
    TestHttpServer server([&](const std::string&) { return TestHttpServer::Reply{200, body}; });
    const struct {
        std::size_t cap;
        int status;
    } cases[] = {{body.size(), 200}, {body.size() - 1, 0}, {kCap, 0}, {0, 0}};
    for (const auto& c : cases) {
        const auto response = get(server.base() + "/big", c.cap);
        EXPECT_EQ(response.status, c.status) << c.cap;
        EXPECT_EQ(response.body.size(), c.status == 200 ? body.size() : 0u) << c.cap;
    }
}

TEST_F(WinInetHttpClientTest, AnAnswerThatTricklesBeyondTheTimeLimitFails) {
    TestHttpServer server([](const std::string&) {
        TestHttpServer::Reply reply{200, std::string(200, 't')};
        reply.piece = 10;
        reply.pause = std::chrono::milliseconds(500);
        return reply;
    });
    const auto response = get(server.base() + "/slow", kCap, std::chrono::seconds(1));
    EXPECT_EQ(response.status, 0);
    EXPECT_EQ(response.body, "");
}

TEST_F(WinInetHttpClientTest, FollowsRedirectsOnlyByTheRules) {
    DroppingListener tls;
    const std::string https = "https://127.0.0.1:" + std::to_string(tls.port()) + "/x";
    TestHttpServer* self = nullptr;
    TestHttpServer server([&](const std::string& target) -> TestHttpServer::Reply {
        if (target.starts_with("/hop")) {
            const int left = std::stoi(target.substr(4));
            return {302, "",
                    left == 0 ? "/answer" : self->base() + "/hop" + std::to_string(left - 1)};
        }
        if (target == "/moved") {
            return {301, "", "answer"};
        }
        if (target == "/bare") {
            return {302, "without a target"};
        }
        if (target == "/to-https") {
            return {307, "", https};
        }
        if (target == "/to-file") {
            return {302, "", "file:///C:/windows/win.ini"};
        }
        if (target == "/to-ftp") {
            return {308, "", "ftp://127.0.0.1:1/x"};
        }
        return {200, "arrived"};
    });
    self = &server;
    const struct {
        const char* path;
        int status;
    } cases[] = {
        {"/hop0", 200}, {"/hop4", 200},  {"/hop5", 0},   {"/moved", 200},
        {"/bare", 302}, {"/to-file", 0}, {"/to-ftp", 0},
    };
    for (const auto& c : cases) {
        const auto response = get(server.base() + c.path);
        EXPECT_EQ(response.status, c.status) << c.path;
        EXPECT_EQ(response.body, c.status == 200   ? "arrived"
                                 : c.status == 302 ? "without a target"
                                                   : "")
            << c.path;
    }
    EXPECT_EQ(get(server.base() + "/to-https").status, 0);
    EXPECT_GE(tls.connections(), 1) << "http may be raised to https";
}

TEST(WinInetRedirects, StayOnTheWebAndNeverLeaveHttps) {
    const struct {
        const char* from;
        const char* to;
        bool followed;
    } cases[] = {
        {"http://h/a", "http://g/b", true},
        {"http://h/a", "https://g/b", true},
        {"https://h/a", "https://g/b", true},
        {"HTTPS://h/a", "Https://g/b", true},
        {"https://h/a", "http://h/a", false},
        {"HTTPS://h/a", "http://h/a", false},
        {"http://h/a", "ftp://h/a", false},
        {"https://h/a", "ftp://h/a", false},
        {"http://h/a", "file:///C:/x", false},
        {"ftp://h/a", "http://h/a", false},
        {"http://h/a", "", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::WinInetRequest::mayRedirect(c.from, c.to), c.followed)
            << c.from << " -> " << c.to;
    }
}

// fetchUrlText over WinInet: 0 with the body for 200, the negated status otherwise, -1 when the
// transfer fails.
TEST_F(WinInetHttpClientTest, FetchUrlTextGivesTheStatusNegated) {
    const test::PlatformOverlay platform(client);
    TestHttpServer server([](const std::string& target) -> TestHttpServer::Reply {
        if (target == "/missing") {
            return {404, "not here"};
        }
        return {200, "[Begin]\nVer=9\r\n[End]"};
    });
    std::string body = "stale";
    EXPECT_EQ(fetchUrlText(server.base() + "/answer", "", "", body), 0);
    EXPECT_EQ(body, "[Begin]\r\nVer=9\r\n[End]\r\n");
    EXPECT_EQ(fetchUrlText(server.base() + "/missing", "", "", body), -404);
    EXPECT_EQ(body, "");
    EXPECT_EQ(fetchUrlText("http://127.0.0.1:" + std::to_string(closedPort()) + "/", "", "", body),
              -1);
    EXPECT_EQ(body, "");
}

}  // namespace
}  // namespace quillfen
