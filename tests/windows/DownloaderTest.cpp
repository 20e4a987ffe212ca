#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/TestHttpServer.h"

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using test::TestHttpServer;

// One argument as CommandLineToArgvW reads it back: quoted, with the backslashes before a quote
// doubled and the quote escaped.
std::wstring quoted(const std::wstring& argument) {
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

fs::path besideThisProgram(const wchar_t* name) {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return fs::path(path).parent_path() / name;
}

// Runs quilldown.exe as the program does, waits for it (killed after a minute, so that a hanging
// downloader fails the test instead of hanging it) and gives its exit code.
DWORD runDownloaderOnce(const std::vector<std::wstring>& arguments) {
    const std::wstring program = besideThisProgram(L"quilldown.exe").wstring();
    std::wstring commandLine = quoted(program);
    for (const std::wstring& argument : arguments) {
        commandLine += L" " + quoted(argument);
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        ADD_FAILURE() << "cannot start quilldown.exe: " << GetLastError();
        return ~DWORD{0};
    }
    if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 999);
        WaitForSingleObject(process.hProcess, INFINITE);
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

// A busy Wine now and then fails to start a process's DLLs (STATUS_DLL_INIT_FAILED) before any of
// the downloader's code runs; such a start is tried again, since nothing was done.
DWORD runDownloader(const std::vector<std::wstring>& arguments) {
    constexpr DWORD kDllInitFailed = 0xC0000142;
    DWORD exitCode = kDllInitFailed;
    for (int attempt = 0; attempt < 3 && exitCode == kDllInitFailed; ++attempt) {
        exitCode = runDownloaderOnce(arguments);
    }
    return exitCode;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void writeFile(const fs::path& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

// The downloader run by hand, as the program runs it, against the test's own server, into a
// fresh folder below the temporary folder.
class WindowsDownloaderTest : public testing::Test {
protected:
    void SetUp() override {
        std::random_device seed;
        folder = fs::temp_directory_path() / ("quilldown-test-" + std::to_string(seed()));
        fs::create_directories(folder / L"program");
    }

    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
        SetEnvironmentVariableW(L"QUILLDOWN_TIME_LIMIT", nullptr);
    }

    DWORD download(const std::string& path, const fs::path& target, const std::string& size) {
        const std::string link = server.base() + path;
        return runDownloader({L"/d", std::wstring(link.begin(), link.end()), target.wstring(),
                              std::wstring(size.begin(), size.end()),
                              (folder / L"program" / L"quillfen.exe").wstring()});
    }

    std::vector<std::wstring> namesIn(const fs::path& place) const {
        std::vector<std::wstring> names;
        for (const auto& entry : fs::directory_iterator(place)) {
            names.push_back(entry.path().filename().wstring());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path folder;
    TestHttpServer::Reply reply{200, "PK345"};
    TestHttpServer server{[this](const std::string& target) -> TestHttpServer::Reply {
        if (target.starts_with("/missing")) {
            return {404, "PK345"};
        }
        if (target.starts_with("/moved/")) {
            return {302, "", target.substr(6)};
        }
        return reply;
    }};
};

TEST_F(WindowsDownloaderTest, WritesIntoAFolderOnlyAPlainArchiveName) {
    fs::create_directories(folder / L"program/held.zip");
    writeFile(folder / L"program/quillfen.exe", "program");
    const std::vector<std::wstring> before{L"held.zip", L"quillfen.exe"};
    for (const std::string path : {
             "/f/quillfen.exe?.zip",
             "/f/quillfen.exe#.zip",
             "/f/quillfen.exe",
             "/f/.hidden.zip",
             "/f/",
             "/f/..",
             "/f/held.zip",
             "/f/a:b.zip",
             "/f/nul.zip",
             "/f/update.zip.",
         }) {
        EXPECT_NE(download(path, folder / L"program", "5"), 0u) << path;
        EXPECT_EQ(namesIn(folder / L"program"), before) << path;
    }
    EXPECT_EQ(readFile(folder / L"program/quillfen.exe"), "program");

    EXPECT_EQ(download("/f/Update.ZIP?mirror=2", folder / L"program\\", "5"), 0u);
    EXPECT_EQ(readFile(folder / L"program/Update.ZIP"), "PK345");
    EXPECT_EQ(download("/f/setup.bin", folder / L"setup.bin", "5"), 0u);
    EXPECT_EQ(readFile(folder / L"setup.bin"), "PK345");
    EXPECT_EQ(namesIn(folder / L"program").size(), 3u);
}

TEST_F(WindowsDownloaderTest, ReplacesAnEarlierArchiveAndFollowsRedirects) {
    writeFile(folder / L"program/update.zip", "old archive");
    EXPECT_EQ(download("/moved/f/update.zip", folder / L"program", "5"), 0u);
    EXPECT_EQ(readFile(folder / L"program/update.zip"), "PK345");
    EXPECT_EQ(namesIn(folder / L"program"), (std::vector<std::wstring>{L"update.zip"}));
}

// What killed downloaders left goes; a part file that a running downloader holds open without
// sharing, and files that merely look alike, stay.
TEST_F(WindowsDownloaderTest, ClearsThePartFilesOfKilledDownloads) {
    const std::vector<std::wstring> foreign = {L"notes.txt.part-0a1b2c3d", L"update.zip.part-0a1",
                                               L"update.zip.partial"};
    for (const std::wstring& name : foreign) {
        writeFile(folder / L"program" / name, "not ours");
    }
    writeFile(folder / L"program/update.zip.part-0a1b2c3d", "half");
    writeFile(folder / L"program/Old.zip.part-9f8e7d6c", "half of an older archive");
    writeFile(folder / L"program/held.zip.part-12345678", "being written");
    const HANDLE held = CreateFileW((folder / L"program/held.zip.part-12345678").c_str(),
                                    GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    EXPECT_EQ(download("/f/update.zip", folder / L"program", "5"), 0u);
    CloseHandle(held);

    std::vector<std::wstring> expected = {L"held.zip.part-12345678", L"update.zip"};
    expected.insert(expected.end(), foreign.begin(), foreign.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(namesIn(folder / L"program"), expected);
}

TEST_F(WindowsDownloaderTest, TakesTargetsInAnyScript) {
    const fs::path target = folder / L"Gr\u00fc\u00dfe \u65e5\u672c" / L"\u66f4\u65b0.bin";
    fs::create_directories(target.parent_path());
    EXPECT_EQ(download("/f/setup.bin", target, "5"), 0u);
    EXPECT_EQ(readFile(target), "PK345");
}

TEST_F(WindowsDownloaderTest, NothingStaysOfADownloadThatMissesTheAnnouncedSize) {
    const struct {
        const char* path;
        const char* size;
        std::size_t served;
        DWORD exitCode;
    } cases[] = {
        {"/f/setup.bin", "999999999999", 2000, 2},
        {"/f/setup.bin", "1073741825", 10, 2},
        {"/f/setup.bin", "-5", 5, 2},
        {"/f/setup.bin", "1000", 999, 1},
        {"/f/setup.bin", "1000", 1001, 1},
        {"/missing/setup.bin", "5", 5, 1},
    };
    for (const auto& c : cases) {
        reply = {200, std::string(c.served, 'x')};
        EXPECT_EQ(download(c.path, folder / L"setup.bin", c.size), c.exitCode) << c.size;
        EXPECT_EQ(namesIn(folder), std::vector<std::wstring>{L"program"}) << c.size;
    }
}

TEST_F(WindowsDownloaderTest, ADownloadThatTricklesEndsAtItsTimeLimit) {
    reply = {200, std::string(100, 'x')};
    reply.piece = 10;
    reply.pause = std::chrono::milliseconds(500);
    SetEnvironmentVariableW(L"QUILLDOWN_TIME_LIMIT", L"1");
    EXPECT_EQ(download("/f/setup.bin", folder / L"setup.bin", "100"), 1u);
    EXPECT_EQ(namesIn(folder), std::vector<std::wstring>{L"program"});
}

TEST_F(WindowsDownloaderTest, RefusesAnythingButItsCommandLine) {
    const std::vector<std::vector<std::wstring>> cases = {
        {},
        {L"/d", L"http://127.0.0.1:1/x.bin", (folder / L"x.bin").wstring(), L"5"},
        {L"/x", L"http://127.0.0.1:1/x.bin", (folder / L"x.bin").wstring(), L"5", L"p"},
        {L"/d", L"", (folder / L"x.bin").wstring(), L"5", L"p"},
        {L"/d", L"http://127.0.0.1:1/x.bin", (folder / L"x.bin").wstring(), L"5k", L"p"},
    };
    for (const auto& arguments : cases) {
        EXPECT_EQ(runDownloader(arguments), 2u) << arguments.size();
    }
    EXPECT_EQ(namesIn(folder), std::vector<std::wstring>{L"program"});
}

}  // namespace
}  // namespace quillfen
