#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <regex>
#include <stdexcept>

#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/ProgramRun.h"
#include "support/TemporaryFolder.h"
#include "support/TestHttpServer.h"

namespace quillfen {
namespace {

namespace fs = std::filesystem;

constexpr const char* kVersion = "1.3.3.20220312";

// Runs a private copy of the program, so that nothing lands beside the build's own programs.
class UpdateTest : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(folder / "program");
        fs::create_directories(folder / "tmp");
        fs::copy_file(QUILLFEN_PROGRAM_PATH, folder / "program/quillfen");
    }

    test::ProgramResult update(const test::TestHttpServer& server,
                               const std::string& timeLimit = "") const {
        return test::runProgram(
            folder / "program/quillfen", {"/Update"},
            {"QUILLFEN_UPDATE_BASE=" + server.base(), "LANG=zh_CN.UTF-8",
             "LC_ALL=", "LC_MESSAGES=", "TMPDIR=" + (folder / "tmp"),
             "XDG_CACHE_HOME=" + (folder / "cache"), "HOME=" + (folder / "home"),
             "QUILLDOWN_TIME_LIMIT=" + timeLimit, "http_proxy=", "HTTP_PROXY=", "no_proxy=*"});
    }

    std::string updateFolder() const { return folder / "cache/quillfen/update"; }

    // Every file the downloads left, in the user's download folder or the temporary folder.
    std::vector<fs::path> downloads() const {
        std::vector<fs::path> found;
        for (const fs::path& place :
             {fs::path(updateFolder() + "/downloads"), fs::path(folder / "tmp")}) {
            if (!fs::exists(place)) {
                continue;
            }
            for (const auto& entry : fs::recursive_directory_iterator(place)) {
                const std::string name = entry.path().filename().string();
                if (entry.is_regular_file() && name != "quilldown") {
                    found.push_back(entry.path());
                }
            }
        }
        return found;
    }

    static test::TestHttpServer::Reply answer(const std::string& lines) {
        return {200, "[Begin]\r\n" + lines + "[End]\r\n"};
    }

    test::TemporaryFolder folder;
};

TEST_F(UpdateTest, AsksWithTheFixedQueryAndStopsWhenNotOlder) {
    for (const std::string& announced : {std::string(kVersion), std::string("1.3.2")}) {
        test::TestHttpServer server([&](const std::string&) {
            return answer("Ver=" + announced + "\r\nLink=http://127.0.0.1:1/x.exe\r\nSize=5\r\n");
        });
        const auto result = update(server);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        const auto targets = server.targets();
        ASSERT_EQ(targets.size(), 1u);
        EXPECT_TRUE(std::regex_match(
            targets[0], std::regex("/Quillfen/index\\.asp\\?ask=Ver&Ver=1\\.3\\.3\\.20220312"
                                   "&ls_soft=Quillfen!&Language=Chinese&LanguageID=2052"
                                   "&ID=[0-9A-F]{32}")))
            << targets[0];
        EXPECT_TRUE(downloads().empty());
    }
}

TEST_F(UpdateTest, AnOverlongAnswerIsRefused) {
    test::TestHttpServer server([&](const std::string&) {
        return answer("Ver=9.9\r\nPad=" + std::string(70000, 'p') +
                      "\r\nLink=http://127.0.0.1:1/x.exe\r\nSize=5\r\n");
    });
    EXPECT_EQ(update(server).exitCode, 0);
    EXPECT_EQ(server.targets().size(), 1u);
    EXPECT_TRUE(downloads().empty());
}

// The file a portable Linux copy takes for the version that `announcing` announces.
constexpr const char* kArchiveName = "quillfen-9.9-linux-x86_64.zip";

// A server that announces a newer version with the links (BASE standing for its own address)
// and the size, and serves every other path with the given reply.
std::unique_ptr<test::TestHttpServer> announcing(const std::string& links, const std::string& size,
                                                 const test::TestHttpServer::Reply& file,
                                                 const std::string& version = "9.9") {
    auto base = std::make_shared<std::string>();
    auto server = std::make_unique<test::TestHttpServer>(
        [=](const std::string& target) -> test::TestHttpServer::Reply {
            if (!target.starts_with("/Quillfen/")) {
                return file;
            }
            std::string expanded = links;
            for (std::size_t at = 0; (at = expanded.find("BASE", at)) != std::string::npos;) {
                expanded.replace(at, 4, *base);
            }
            return {200, "[Begin]\r\nVer=" + version + "\r\nLink=" + expanded + "\r\nSize=" + size +
                             "\r\n[End]\r\n"};
        });
    *base = server->base();
    return server;
}

// Only the file that fits this copy is fetched, by its whole name: others, names that end in it
// behind a query or fragment, and sizes that do not pair with the links are never asked for.
TEST_F(UpdateTest, OnlyTheFileThatFitsTheCopyIsFetched) {
    const std::string fits = std::string("BASE/f/") + kArchiveName;
    for (const auto& [links, size] : std::vector<std::pair<std::string, std::string>>{
             {"BASE/f/QuillfenSetup-9.9.exe;BASE/f/quillfen-9.9-windows-x64.zip", "5"},
             {"BASE/f/quillfen?" + std::string(kArchiveName), "5"},
             {"BASE/f/x#/" + std::string(kArchiveName), "5"},
             {"BASE/f/quillfen-9.8-linux-x86_64.zip", "5"},
             {"BASE/a.zip;" + fits, "5;6;7"}}) {
        const auto server = announcing(links, size, {200, "EVIL!"});
        EXPECT_EQ(update(*server).exitCode, 0);
        EXPECT_EQ(server->targets().size(), 1u) << links;
        EXPECT_TRUE(downloads().empty()) << links;
    }
    // A version that is not digits and dots names no file of ours.
    const auto server =
        announcing("BASE/f/quillfen-9.9/..-linux-x86_64.zip", "5", {200, "x"}, "9.9/..");
    EXPECT_EQ(update(*server).exitCode, 0);
    EXPECT_EQ(server->targets().size(), 1u);
}

TEST_F(UpdateTest, NothingStaysOfADownloadThatMissesTheAnnouncedSize) {
    const struct {
        const char* size;
        std::size_t served;
    } cases[] = {{"999999999999", 2000}, {"1000", 999}, {"1000", 1001}, {"1073741825", 10}};
    for (const auto& c : cases) {
        const auto server = announcing(std::string("BASE/f/") + kArchiveName, c.size,
                                       {200, std::string(c.served, 'x')});
        EXPECT_EQ(update(*server).exitCode, 0);
        EXPECT_TRUE(downloads().empty()) << c.size << " " << c.served;
    }
}

TEST_F(UpdateTest, ADownloadThatTricklesEndsAtItsTimeLimit) {
    test::TestHttpServer::Reply slow{200, std::string(100, 'x')};
    slow.piece = 10;
    slow.pause = std::chrono::milliseconds(500);
    const auto server = announcing(std::string("BASE/f/") + kArchiveName, "100", slow);
    EXPECT_EQ(update(*server, "1").exitCode, 0);
    EXPECT_EQ(server->targets().size(), 2u);
    EXPECT_TRUE(downloads().empty());
}

std::vector<std::string> namesIn(const fs::path& place) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(place)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Each run reuses the user's own update folder: the downloader is replaced, what earlier runs
// left in the download folder goes (a killed download's part file, an unsigned download), and
// the shared temporary folder stays untouched. A program killed between unpacking the downloader
// and copying it into place leaves the unpacked copy, which goes too unless its process still
// runs; files that merely look alike stay.
TEST_F(UpdateTest, RunsLeaveNothingBehind) {
    fs::create_directories(updateFolder() + "/downloads");
    folder.writeFile("cache/quillfen/update/downloads/old.zip.part-Ab12Cd", "half");
    folder.writeFile("cache/quillfen/update/downloads/old.zip", "outdated");
    const std::string running = "quilldown." + std::to_string(::getpid());
    for (const std::string& name : {std::string("quilldown.999999999"), running,
                                    std::string("quilldown.12a"), std::string("quilldownx.1")}) {
        folder.writeFile("cache/quillfen/update/" + name, "copy");
    }
    for (int run = 0; run < 2; ++run) {
        const auto server = announcing(std::string("BASE/f/") + kArchiveName, "1000",
                                       {200, std::string(1000, 's')});
        EXPECT_EQ(update(*server).exitCode, 0);
        EXPECT_EQ(server->targets().size(), 3u) << "the answer, the archive and its signature";
    }
    EXPECT_TRUE(fs::is_empty(folder / "tmp"));
    EXPECT_TRUE(fs::is_empty(updateFolder() + "/downloads"));
    std::vector<std::string> kept = {"downloads",     "quilldown",    running,
                                     "quilldown.12a", "quilldownx.1", "update.lock"};
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(namesIn(updateFolder()), kept);
    EXPECT_EQ(fs::status(updateFolder()).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(fs::status(updateFolder() + "/downloads").permissions() & fs::perms::all,
              fs::perms::owner_all);
}

// While one update of the user is at work (or waits for the window to close), a second one ends
// at once, before it asks anything.
TEST_F(UpdateTest, ASecondUpdateEndsWhileTheFirstHoldsTheLock) {
    fs::create_directories(updateFolder());
    const int lock = ::open((updateFolder() + "/update.lock").c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    const auto server = announcing(std::string("BASE/f/") + kArchiveName, "5", {200, "x"});
    EXPECT_EQ(update(*server).exitCode, 0);
    ::close(lock);
    EXPECT_TRUE(server->targets().empty());
}

// The downloader run by hand, as the program runs it, against the test's server.
class DownloaderTest : public testing::Test {
protected:
    test::ProgramResult download(const std::string& link, const std::string& target,
                                 const std::string& size) const {
        return test::runProgram(QUILLDOWN_PATH, {"/d", link, target, size, "/nowhere/quillfen"},
                                {"http_proxy=", "HTTP_PROXY=", "no_proxy=*"});
    }

    std::vector<std::string> folderNames() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder / "program")) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TemporaryFolder folder;
    test::TestHttpServer server{[](const std::string&) -> test::TestHttpServer::Reply {
        return {200, "PK345"};
    }};
};

TEST_F(DownloaderTest, WritesIntoAFolderOnlyAPlainArchiveName) {
    fs::create_directories(folder / "program/held.zip");
    folder.writeFile("program/quillfen", "program");
    folder.writeFile("victim", "victim");
    fs::create_symlink(folder / "victim", folder / "program/linked.zip");
    const std::vector<std::string> before{"held.zip", "linked.zip", "quillfen"};
    for (const std::string path :
         {"/f/quillfen?.zip", "/f/quillfen#.zip", "/f/quillfen", "/f/.hidden.zip", "/f/", "/f/..",
          "/f/held.zip", "/f/linked.zip"}) {
        EXPECT_NE(download(server.base() + path, folder / "program", "5").exitCode, 0) << path;
        EXPECT_EQ(folderNames(), before) << path;
    }
    EXPECT_EQ(folder.readFile("program/quillfen"), "program");
    EXPECT_EQ(folder.readFile("victim"), "victim");

    EXPECT_EQ(download(server.base() + "/f/Update.ZIP?mirror=2", folder / "program/", "5").exitCode,
              0);
    EXPECT_EQ(folder.readFile("program/Update.ZIP"), "PK345");
    EXPECT_EQ(download(server.base() + "/f/setup.bin", folder / "setup.bin", "5").exitCode, 0);
    EXPECT_EQ(folder.readFile("setup.bin"), "PK345");
    EXPECT_EQ(folderNames().size(), 4u);
}

TEST_F(UpdateTest, NoServerMeansNoRequest) {
    const auto result = test::runProgram(folder / "program/quillfen", {"/Update"},
                                         {"QUILLFEN_UPDATE_BASE=", "TMPDIR=" + (folder / "tmp")});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(fs::is_empty(folder / "tmp"));
}

}  // namespace
}  // namespace quillfen

namespace quillfen {
namespace {

// A TLS server of the test's own, with a certificate the test makes for 127.0.0.1, that answers
// one request: with a redirect to `location` when that is given, else with an answer that
// announces nothing newer. It logs the path it was asked for.
class TlsServer {
public:
    explicit TlsServer(const std::string& location = "") {
        const auto made = test::runProgram(
            "/usr/bin/openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1",
                                 "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                                 "-keyout", folder_ / "key.pem", "-out", certificate()});
        if (made.exitCode != 0) {
            throw std::runtime_error("openssl: " + made.err);
        }
        folder_.writeFile(
            "server.py",
            "import http.server, ssl, sys\n"
            "class Answer(http.server.BaseHTTPRequestHandler):\n"
            "    def do_GET(self):\n"
            "        with open(sys.argv[3], 'a') as log: log.write(self.path + '\\n')\n"
            "        body = b'[Begin]\\r\\nVer=1.0\\r\\n[End]\\r\\n'\n"
            "        self.send_response(302 if len(sys.argv) > 4 else 200)\n"
            "        if len(sys.argv) > 4: self.send_header('Location', sys.argv[4])\n"
            "        self.send_header('Content-Length', str(len(body)))\n"
            "        self.end_headers()\n"
            "        self.wfile.write(body)\n"
            "server = http.server.HTTPServer(('127.0.0.1', 0), Answer)\n"
            "context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)\n"
            "context.load_cert_chain(sys.argv[1], sys.argv[2])\n"
            "server.socket = context.wrap_socket(server.socket, server_side=True)\n"
            "print(server.server_address[1], flush=True)\n"
            "server.timeout = 30\n"
            "server.handle_request()\n");
        process_ = ::popen(("python3 '" + folder_ / "server.py" + "' '" + certificate() + "' '" +
                            folder_ / "key.pem" + "' '" + folder_ / "requests.log" + "' " +
                            (location.empty() ? "" : "'" + location + "'"))
                               .c_str(),
                           "r");
        char port[32] = {};
        if (process_ == nullptr || std::fgets(port, sizeof port, process_) == nullptr) {
            throw std::runtime_error("the TLS server did not start");
        }
        base_ = "https://127.0.0.1:" + std::string(port, std::strlen(port) - 1);
    }
    TlsServer(const TlsServer&) = delete;
    TlsServer& operator=(const TlsServer&) = delete;
    ~TlsServer() { finish(); }

    const std::string& base() const { return base_; }
    std::string certificate() const { return folder_ / "cert.pem"; }
    // Waits for the server to end, which it does after one request or its time-out.
    void finish() {
        if (process_ != nullptr) {
            ::pclose(process_);
            process_ = nullptr;
        }
    }
    std::string requests() const {
        return std::filesystem::exists(folder_ / "requests.log") ? folder_.readFile("requests.log")
                                                                 : "";
    }

private:
    test::TemporaryFolder folder_;
    FILE* process_ = nullptr;
    std::string base_;
};

test::ProgramResult updateFrom(const test::TemporaryFolder& folder, const std::string& base,
                               const std::string& certificate) {
    std::filesystem::create_directories(folder / "program");
    std::filesystem::copy_file(QUILLFEN_PROGRAM_PATH, folder / "program/quillfen",
                               std::filesystem::copy_options::overwrite_existing);
    return test::runProgram(
        folder / "program/quillfen", {"/Update"},
        {"QUILLFEN_UPDATE_BASE=" + base, "SSL_CERT_FILE=" + certificate,
         "https_proxy=", "HTTPS_PROXY=", "http_proxy=", "HTTP_PROXY=", "no_proxy=*",
         "TMPDIR=" + folder.path(), "XDG_CACHE_HOME=" + (folder / "cache")});
}

TEST(UpdateOverHttps, AsksAndReadsTheAnswerOverTls) {
    test::TemporaryFolder folder;
    TlsServer server;
    const auto result = updateFrom(folder, server.base(), server.certificate());
    server.finish();
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(server.requests().starts_with("/Quillfen/index.asp?ask=Ver&Ver="))
        << "the server saw: " << server.requests();
}

TEST(UpdateOverHttps, ARedirectMayRaiseHttpToHttps) {
    test::TemporaryFolder folder;
    TlsServer secure;
    test::TestHttpServer plain([&](const std::string& target) -> test::TestHttpServer::Reply {
        return {302, "", secure.base() + "/moved" + target};
    });
    const auto result = updateFrom(folder, plain.base(), secure.certificate());
    secure.finish();
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(secure.requests().starts_with("/moved/Quillfen/index.asp?ask=Ver&Ver="))
        << "the server saw: " << secure.requests();
}

TEST(UpdateOverHttps, ARedirectNeverLowersHttpsToHttp) {
    test::TemporaryFolder folder;
    test::TestHttpServer plain([](const std::string&) -> test::TestHttpServer::Reply {
        return {200, "[Begin]\r\nVer=9.9\r\nLink=http://127.0.0.1:1/x.exe\r\nSize=5\r\n[End]\r\n"};
    });
    TlsServer secure(plain.base() + "/answer");
    const auto result = updateFrom(folder, secure.base(), secure.certificate());
    secure.finish();
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(secure.requests().starts_with("/Quillfen/index.asp")) << secure.requests();
    EXPECT_TRUE(plain.targets().empty());
}

}  // namespace
}  // namespace quillfen
