#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "support/PlatformOverlay.h"
#include "support/SystemHttpClient.h"
#include "support/TestHttpServer.h"
#include "update/VersionCheck.h"

namespace quillfen {
namespace {

// Answers of the test's own server, through the platform's real HTTP client.
class UpdateFetchTest : public testing::Test {
protected:
    static test::TestHttpServer::Reply answer() { return {200, "[Begin]\r\nVer=9\r\n[End]\r\n"}; }

    std::unique_ptr<platform::HttpClient> client = test::makeSystemHttpClient();
    test::PlatformOverlay platform{*client};
};

TEST_F(UpdateFetchTest, FollowsUpToFiveRedirectsOnTheWeb) {
    test::TestHttpServer* self = nullptr;
    test::TestHttpServer server([&](const std::string& target) -> test::TestHttpServer::Reply {
        if (target.starts_with("/hop")) {
            const int left = std::stoi(target.substr(4));
            return {302, "",
                    left == 0 ? self->base() + "/answer"
                              : self->base() + "/hop" + std::to_string(left - 1)};
        }
        if (target == "/to-file") {
            return {302, "", "file:///etc/hostname"};
        }
        if (target == "/to-ftp") {
            return {302, "", "ftp://127.0.0.1:1/x"};
        }
        return answer();
    });
    self = &server;
    const struct {
        const char* path;
        int expected;
    } cases[] = {
        {"/hop0", 0}, {"/hop4", 0}, {"/hop5", -1}, {"/to-file", -1}, {"/to-ftp", -1},
    };
    for (const auto& c : cases) {
        std::string body;
        EXPECT_EQ(fetchUrlText(server.base() + c.path, "", "", body), c.expected) << c.path;
        EXPECT_EQ(body.empty(), c.expected != 0) << c.path;
    }
}

TEST_F(UpdateFetchTest, AnAnswerThatTricklesEndsAtTheTimeLimit) {
    test::TestHttpServer server([](const std::string&) {
        test::TestHttpServer::Reply reply = answer();
        reply.body += std::string(200, 'x');
        reply.piece = 10;
        reply.pause = std::chrono::milliseconds(500);
        return reply;
    });
    std::string body;
    EXPECT_EQ(fetchUrlText(server.base() + "/slow", "", "", body, std::chrono::seconds(1)), -1);
    EXPECT_EQ(body, "");
}

}  // namespace
}  // namespace quillfen
