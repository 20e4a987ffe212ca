#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "shell/linux/FileManagerFormats.h"
#include "shell/linux/FileManagerQuoting.h"
#include "shell/linux/FileManagerShellEntries.h"
#include "shell/linux/FileManagerThunarActions.h"
#include "shell/linux/ShellIntegration.h"
#include "support/ProgramRun.h"
#include "support/TemporaryFolder.h"
#include "support/TestPlatform.h"

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using Words = std::vector<std::string>;

constexpr const char* kFilesLabel = "Doppelte Dokumente & 100% ü";
// The label as the menus show it, with the program's name behind it.
const std::string kShownFilesLabel = std::string(kFilesLabel) + " (Quillfen)";
// Blanks, both quotes, $, backquote, backslash, a would-be field code and non-ASCII letters.
const std::string kAwkwardFolder = "it's \"my\" $HOME `x` \\n 100%f ünï 文";

// The quoting rules the file managers apply to what we write, done over here as each one
// documents them, so that a written command is checked by reading it back, not by restating it.

// Key-file string values (GLib's and KConfig's reading); an unknown escape makes Nemo drop the
// whole action, so it counts as a failure.
std::optional<std::string> keyFileUnescaped(std::string_view value) {
    std::string out;
    for (size_t at = 0; at < value.size(); ++at) {
        if (value[at] != '\\') {
            out.push_back(value[at]);
            continue;
        }
        if (++at == value.size()) {
            return std::nullopt;
        }
        const std::string_view from = "s\\ntr";
        const std::string_view to = " \\\n\t\r";
        const size_t which = from.find(value[at]);
        if (which == std::string_view::npos) {
            return std::nullopt;
        }
        out.push_back(to[which]);
    }
    return out;
}

// Desktop-entry Exec: quotes undone first, then field codes expanded, %f as one whole argument.
std::optional<Words> desktopExecArguments(std::string_view exec, const std::string& path) {
    const auto line = keyFileUnescaped(exec);
    if (!line) {
        return std::nullopt;
    }
    Words words;
    size_t at = 0;
    while ((at = line->find_first_not_of(' ', at)) != std::string::npos) {
        std::string word;
        if ((*line)[at] == '"') {
            for (++at; at < line->size() && (*line)[at] != '"'; ++at) {
                if ((*line)[at] == '\\') {
                    if (++at == line->size() ||
                        std::string_view("\"`$\\").find((*line)[at]) == std::string_view::npos) {
                        return std::nullopt;
                    }
                }
                word.push_back((*line)[at]);
            }
            if (at++ == line->size()) {
                return std::nullopt;
            }
        } else {
            for (; at < line->size() && (*line)[at] != ' '; ++at) {
                if (std::string_view("\t\n\"'\\><~|&;$*?#()`").find((*line)[at]) !=
                    std::string_view::npos) {
                    return std::nullopt;
                }
                word.push_back((*line)[at]);
            }
        }
        if (word == "%f") {
            words.push_back(path);
            continue;
        }
        std::string expanded;
        for (size_t c = 0; c < word.size(); ++c) {
            if (word[c] == '%' && (++c == word.size() || word[c] != '%')) {
                return std::nullopt;
            }
            expanded.push_back(word[c]);
        }
        words.push_back(expanded);
    }
    return words;
}

// How a shell splits a line into words. g_shell_parse_argv passes expansions and operators
// through as text; for /bin/sh, anything it would expand or treat as an operator outside single
// quotes fails, since it would change the command.
enum class Shell { GLib, Posix };

std::optional<Words> shellWords(std::string_view line, Shell shell) {
    Words words;
    std::string word;
    bool inWord = false;
    for (size_t at = 0; at < line.size(); ++at) {
        const char c = line[at];
        if (c == ' ' || c == '\t' || c == '\n') {
            if (inWord) {
                words.push_back(word);
            }
            word.clear();
            inWord = false;
        } else if (c == '\'') {
            const size_t end = line.find('\'', at + 1);
            if (end == std::string_view::npos) {
                return std::nullopt;
            }
            word += line.substr(at + 1, end - at - 1);
            at = end;
            inWord = true;
        } else if (c == '"') {
            for (++at; at < line.size() && line[at] != '"'; ++at) {
                if (shell == Shell::Posix && (line[at] == '$' || line[at] == '`')) {
                    return std::nullopt;
                }
                if (line[at] == '\\' && at + 1 < line.size() &&
                    std::string_view("$`\"\\").find(line[at + 1]) != std::string_view::npos) {
                    ++at;
                }
                word.push_back(line[at]);
            }
            if (at == line.size()) {
                return std::nullopt;
            }
            inWord = true;
        } else if (c == '\\') {
            if (++at == line.size()) {
                return std::nullopt;
            }
            word.push_back(line[at]);
            inWord = true;
        } else if (c == '#' && !inWord) {
            break;
        } else if (shell == Shell::Posix &&
                   std::string_view("$`|&;<>()*?[~").find(c) != std::string_view::npos) {
            return std::nullopt;
        } else {
            word.push_back(c);
            inWord = true;
        }
    }
    if (inWord) {
        words.push_back(word);
    }
    return words;
}

// Nemo: %F becomes the path with \ ' " blank and tab backslash-escaped, %% a percent sign, and the
// line goes to g_shell_parse_argv.
std::optional<Words> nemoArguments(std::string_view exec, const std::string& path) {
    const auto line = keyFileUnescaped(exec);
    if (!line) {
        return std::nullopt;
    }
    std::string expanded;
    for (size_t at = 0; at < line->size(); ++at) {
        if ((*line)[at] == '%' && at + 1 < line->size() && (*line)[at + 1] == 'F') {
            for (const char c : path) {
                if (std::string_view("\\'\" \t").find(c) != std::string_view::npos) {
                    expanded.push_back('\\');
                }
                expanded.push_back(c);
            }
            ++at;
        } else if ((*line)[at] == '%' && at + 1 < line->size() && (*line)[at + 1] == '%') {
            expanded.push_back('%');
            ++at;
        } else if ((*line)[at] == '%') {
            return std::nullopt;
        } else {
            expanded.push_back((*line)[at]);
        }
    }
    return shellWords(expanded, Shell::GLib);
}

// Thunar: %f becomes the path as g_shell_quote writes it, %% a percent sign, and an unknown
// field code vanishes; the line then goes to /bin/sh -c.
std::optional<std::string> thunarExpanded(std::string_view command, const std::string& path) {
    std::string expanded;
    for (size_t at = 0; at < command.size(); ++at) {
        if (command[at] != '%') {
            expanded.push_back(command[at]);
        } else if (++at == command.size()) {
            expanded.push_back('%');
        } else if (command[at] == 'f') {
            expanded += shellQuoted(path);
        } else if (command[at] == '%') {
            expanded.push_back('%');
        } else {
            return std::nullopt;
        }
    }
    return expanded;
}

// The words the command starts when the program is there: the command runs a fixed script with
// "sh -c", which takes the message off its arguments and runs the rest.
std::optional<Words> thunarArguments(std::string_view command, const std::string& path) {
    const auto expanded = thunarExpanded(command, path);
    const auto words = expanded ? shellWords(*expanded, Shell::Posix) : std::nullopt;
    if (!words || words->size() < 5 || (*words)[0] != "/bin/sh" || (*words)[1] != "-c") {
        return std::nullopt;
    }
    return Words(words->begin() + 5, words->end());
}

// Sets an environment variable for the lifetime of the object.
class EnvironmentOverride {
public:
    EnvironmentOverride(const char* name, const std::string& value) : name_(name) {
        if (const char* saved = std::getenv(name)) {
            saved_ = saved;
        }
        ::setenv(name, value.c_str(), 1);
    }
    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;
    ~EnvironmentOverride() {
        if (saved_) {
            ::setenv(name_, saved_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> saved_;
};

// A home of its own and a program installed in a folder with an awkward name.
class ShellIntegrationTest : public testing::Test {
protected:
    ShellIntegrationTest() {
        fs::create_directories(program().parent_path());
        platform.facts().fixedExecutablePath = program().string();
    }

    fs::path program() const { return fs::path(folder.path()) / kAwkwardFolder / "quill fen"; }
    std::string data(const std::string& name) const { return home / ".local/share" / name; }
    std::string config(const std::string& name) const { return home / ".config" / name; }
    std::string thunarFile() const { return config("Thunar/uca.xml"); }

    // Every entry file, with whether it must be executable.
    std::vector<std::pair<std::string, bool>> entryFiles(const std::string& filesLabel) const {
        return {{data("kio/servicemenus/quillfen-files.desktop"), true},
                {data("kio/servicemenus/quillfen-folders.desktop"), true},
                {data("nemo/actions/quillfen-files.nemo_action"), false},
                {data("nemo/actions/quillfen-folders.nemo_action"), false},
                {data("nautilus/scripts/" + filesLabel), true},
                {data("nautilus/scripts/Quillfen!"), true},
                {config("caja/scripts/" + filesLabel), true},
                {config("caja/scripts/Quillfen!"), true}};
    }

    // The arguments each file manager would start for the path from its entry of the kind.
    std::vector<std::pair<std::string, std::optional<Words>>> startedArguments(
        ItemKind kind, const std::string& path) const {
        const std::string name = kind == ItemKind::Folders ? "folders" : "files";
        const auto read = [](const std::string& file) {
            return platform::currentPlatform().files().readFile(file).value_or("");
        };
        const auto dolphinExec =
            dolphinStoredExec(read(data("kio/servicemenus/quillfen-" + name + ".desktop")));
        const auto nemoExec =
            nemoStoredExec(read(data("nemo/actions/quillfen-" + name + ".nemo_action")));
        const auto thunar = thunarStoredCommand(read(thunarFile()), kind);
        return {{"Dolphin", dolphinExec ? desktopExecArguments(*dolphinExec, path) : std::nullopt},
                {"Nemo", nemoExec ? nemoArguments(*nemoExec, path) : std::nullopt},
                {"Thunar", thunar ? thunarArguments(*thunar, path) : std::nullopt}};
    }

    test::TemporaryFolder folder;
    test::TestPlatform platform;
    fs::path home = fs::path(folder.path()) / "home";
    EnvironmentOverride homeVariable{"HOME", home.string()};
    EnvironmentOverride dataVariable{"XDG_DATA_HOME", (home / ".local/share").string()};
    EnvironmentOverride configVariable{"XDG_CONFIG_HOME", (home / ".config").string()};
};

TEST_F(ShellIntegrationTest, InstallWritesEveryEntryAndDetectsIt) {
    ShellIntegration integration(kFilesLabel);
    EXPECT_FALSE(integration.isInstalled());
    ASSERT_TRUE(integration.install());
    for (const auto& [file, executable] : entryFiles(kShownFilesLabel)) {
        ASSERT_TRUE(fs::is_regular_file(file)) << file;
        const bool ownerMayRun =
            (fs::status(file).permissions() & fs::perms::owner_exec) != fs::perms::none;
        EXPECT_EQ(ownerMayRun, executable) << file;
    }
    EXPECT_TRUE(integration.isInstalled());
    // A second install finds its own files and rewrites them.
    EXPECT_TRUE(integration.install());
    EXPECT_TRUE(integration.isInstalled());
}

TEST_F(ShellIntegrationTest, EveryFileManagerStartsTheProgramWithThePathAsItsOnlyArgument) {
    const std::string programs[] = {program().string(), "/opt/plain/quillfen",
                                    "/opt/line\nbreak/quillfen", "/opt/%%F %U/quillfen"};
    const std::string paths[] = {"/home/a/b.txt", "/home/a b/it's \"q\" $x `y` \\z.txt",
                                 "/home/ünï 文/100%f"};
    for (const std::string& programPath : programs) {
        platform.facts().fixedExecutablePath = programPath;
        ASSERT_TRUE(ShellIntegration(kFilesLabel).install());
        for (const ItemKind kind : {ItemKind::Files, ItemKind::Folders}) {
            for (const std::string& path : paths) {
                for (const auto& [manager, arguments] : startedArguments(kind, path)) {
                    EXPECT_EQ(arguments, (Words{programPath, path}))
                        << manager << " " << programPath << " " << path;
                }
            }
        }
    }
}

TEST_F(ShellIntegrationTest, LabelsSurviveEachFormat) {
    ASSERT_TRUE(ShellIntegration(kFilesLabel).install());
    const auto read = [](const std::string& file) {
        return platform::currentPlatform().files().readFile(file).value_or("");
    };
    EXPECT_EQ(keyFileValue(read(data("kio/servicemenus/quillfen-files.desktop")),
                           "Desktop Action quillfen", "Name"),
              kShownFilesLabel);
    EXPECT_EQ(
        keyFileValue(read(data("nemo/actions/quillfen-files.nemo_action")), "Nemo Action", "Name"),
        percentsDoubled(kShownFilesLabel));
    const std::string uca = read(thunarFile());
    EXPECT_NE(uca.find("<name>" + xmlEscaped(kShownFilesLabel) + "</name>"), std::string::npos);
    EXPECT_NE(uca.find("<name>Quillfen!</name>"), std::string::npos);
}

TEST_F(ShellIntegrationTest, MovedProgramShowsAsNotInstalledUntilInstalledAgain) {
    ShellIntegration integration(kFilesLabel);
    ASSERT_TRUE(integration.install());
    platform.facts().fixedExecutablePath = (fs::path(folder.path()) / "moved/Quill Fen").string();
    EXPECT_FALSE(integration.isInstalled());
    ASSERT_TRUE(integration.install());
    EXPECT_TRUE(integration.isInstalled());
    // A path that differs only in case is another program.
    platform.facts().fixedExecutablePath = (fs::path(folder.path()) / "moved/quill fen").string();
    EXPECT_FALSE(integration.isInstalled());
}

TEST_F(ShellIntegrationTest, DetectionAsksTheFirstFileManagerThatHoldsTheFolderEntry) {
    ShellIntegration integration(kFilesLabel);
    ASSERT_TRUE(integration.install());
    fs::remove(data("kio/servicemenus/quillfen-folders.desktop"));
    EXPECT_TRUE(integration.isInstalled());
    folder.writeFile("home/.local/share/nemo/actions/quillfen-folders.nemo_action",
                     nemoAction({ItemKind::Folders, "Quillfen!", "/elsewhere/quillfen", ""}));
    EXPECT_FALSE(integration.isInstalled());
}

TEST_F(ShellIntegrationTest, RemoveTakesOnlyOurEntriesAndLeavesTheFolders) {
    folder.writeFile("home/.local/share/nautilus/scripts/Mine", "#!/bin/sh\necho mine\n");
    ShellIntegration integration(kFilesLabel);
    ASSERT_TRUE(integration.install());
    ASSERT_TRUE(integration.remove());
    for (const auto& [file, executable] : entryFiles(kShownFilesLabel)) {
        EXPECT_FALSE(fs::exists(file)) << file;
        EXPECT_TRUE(fs::is_directory(fs::path(file).parent_path())) << file;
    }
    EXPECT_EQ(folder.readFile("home/.local/share/nautilus/scripts/Mine"), "#!/bin/sh\necho mine\n");
    EXPECT_EQ(folder.readFile("home/.config/Thunar/uca.xml").find("quillfen-"), std::string::npos);
    EXPECT_FALSE(integration.isInstalled());
    EXPECT_TRUE(integration.remove());
}

TEST_F(ShellIntegrationTest, RemoveWithoutInstallCreatesNothing) {
    EXPECT_TRUE(ShellIntegration(kFilesLabel).remove());
    EXPECT_FALSE(fs::exists(home));
}

TEST_F(ShellIntegrationTest, LanguageChangeReplacesTheScriptsNamedAfterTheOldLabel) {
    ASSERT_TRUE(ShellIntegration(kFilesLabel).install());
    ShellIntegration german("Duplikate/Dokumente");
    ASSERT_TRUE(german.install());
    for (const std::string& scripts : {data("nautilus/scripts/"), config("caja/scripts/")}) {
        EXPECT_FALSE(fs::exists(scripts + kShownFilesLabel));
        EXPECT_TRUE(fs::exists(scripts + "Duplikate-Dokumente (Quillfen)"));
        EXPECT_TRUE(fs::exists(scripts + "Quillfen!"));
    }
    ASSERT_TRUE(german.remove());
    EXPECT_TRUE(fs::is_empty(data("nautilus/scripts")));
}

TEST_F(ShellIntegrationTest, FilesOfTheUserInOurPlaceAreNeitherOverwrittenNorRemoved) {
    const struct {
        std::string name;
        std::string contents;
    } cases[] = {
        {"home/.local/share/nautilus/scripts/Quillfen!", "#!/bin/sh\necho the user's own\n"},
        {"home/.local/share/kio/servicemenus/quillfen-folders.desktop", "[Desktop Entry]\n"},
        {"home/.config/Thunar/uca.xml", "<actions>\n<action><name>cut off"},
    };
    for (const auto& c : cases) {
        folder.writeFile(c.name, c.contents);
    }
    ShellIntegration integration(kFilesLabel);
    EXPECT_FALSE(integration.install());
    EXPECT_TRUE(integration.remove());
    for (const auto& c : cases) {
        EXPECT_EQ(folder.readFile(c.name), c.contents) << c.name;
    }
}

TEST_F(ShellIntegrationTest, ThunarKeepsTheUsersActionsByteForByte) {
    const std::string foreign =
        "<action>\n\t<icon>utilities-terminal</icon>\n\t<name>Open Terminal Here</name>\n"
        "\t<unique-id>1431136020265634-1</unique-id>\n"
        "\t<command>exo-open --working-directory %f --launch TerminalEmulator</command>\n"
        "\t<description>Example for a custom action</description>\n"
        "\t<patterns>*</patterns>\n\t<startup-notify/>\n\t<directories/>\n</action>\n";
    const struct {
        std::string document;
        // What follows the place where actions go, which must stay behind our actions.
        std::string tail;
    } cases[] = {
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n" + foreign + "</actions>\n",
         "</action>\n</actions>\n"},
        // Written on one line, as older Thunar releases do.
        {"<?xml encoding=\"UTF-8\" version=\"1.0\"?>\n<actions><action><name>A</name>"
         "<unique-id>1-1</unique-id><command>a %F</command></action></actions>\n",
         "</action></actions>\n"},
        // Markup inside comments is text, even when it looks like an action of ours.
        {"<?xml version=\"1.0\"?>\r\n<actions>\r\n"
         "  <!-- <action><unique-id>quillfen-files</unique-id></action> -->\r\n" +
             foreign + "  </actions>\r\n<!-- </actions> -->\r\n",
         "</action>\n  </actions>\r\n<!-- </actions> -->\r\n"},
    };
    for (const auto& [document, tail] : cases) {
        folder.writeFile("home/.config/Thunar/uca.xml", document);
        ShellIntegration integration(kFilesLabel);
        ASSERT_TRUE(integration.install());
        ASSERT_TRUE(integration.install());
        EXPECT_TRUE(integration.isInstalled());
        const std::string installed = folder.readFile("home/.config/Thunar/uca.xml");
        EXPECT_TRUE(installed.ends_with(tail)) << installed;
        // Installed twice, present once.
        const size_t first = installed.find("quillfen-folders");
        EXPECT_NE(first, std::string::npos);
        EXPECT_EQ(installed.find("quillfen-folders", first + 1), std::string::npos);
        ASSERT_TRUE(integration.remove());
        EXPECT_EQ(folder.readFile("home/.config/Thunar/uca.xml"), document);
    }
}

TEST_F(ShellIntegrationTest, OurThunarActionsAreFoundAfterThunarRewroteTheFile) {
    ShellIntegration integration(kFilesLabel);
    ASSERT_TRUE(integration.install());
    // Thunar's own writer puts everything on one line and writes a quote as a number.
    std::string rewritten = folder.readFile("home/.config/Thunar/uca.xml");
    std::erase_if(rewritten, [](char c) { return c == '\n' || c == '\t'; });
    for (size_t at = rewritten.find("&apos;"); at != std::string::npos;
         at = rewritten.find("&apos;", at)) {
        rewritten.replace(at, 6, "&#39;");
    }
    folder.writeFile("home/.config/Thunar/uca.xml", rewritten);
    EXPECT_TRUE(integration.isInstalled());
    ASSERT_TRUE(integration.remove());
    EXPECT_EQ(folder.readFile("home/.config/Thunar/uca.xml").find("quillfen-"), std::string::npos);
}

TEST_F(ShellIntegrationTest, NewThunarFileGetsTheStandardWrapper) {
    ASSERT_TRUE(ShellIntegration(kFilesLabel).install());
    const std::string uca = folder.readFile("home/.config/Thunar/uca.xml");
    EXPECT_TRUE(uca.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n<action>"));
    EXPECT_TRUE(uca.ends_with("</action>\n</actions>\n"));
}

// The stand-in program records each start as "<argument count>:<arguments>".
class FileManagerScriptTest : public ShellIntegrationTest {
protected:
    FileManagerScriptTest() {
        folder.writeFile(fs::relative(program(), folder.path()).string(),
                         "#!/bin/sh\nprintf '%s\\n' \"$#:$*\" >> " + shellQuoted(calls()) + "\n");
        fs::permissions(program(), fs::perms::owner_all);
        for (const char* item : {"a folder", "文件夹", "it's $x"}) {
            fs::create_directories(selected(item));
        }
        for (const char* item : {"my file.txt", "ünï 文.txt", "back\\slash \"q\""}) {
            folder.writeFile(std::string("selection/") + item, "");
        }
    }

    std::string calls() const { return folder / "calls"; }
    std::string selected(const std::string& name) const { return folder / ("selection/" + name); }

    Words recordedCalls() const {
        Words lines;
        std::string text = folder.readFile("calls");
        for (size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n')) {
            lines.push_back(text.substr(0, end));
            text.erase(0, end + 1);
        }
        std::sort(lines.begin(), lines.end());
        fs::remove(calls());
        return lines;
    }
};

TEST_F(FileManagerScriptTest, StartsTheProgramOnceForEachItemOfItsKind) {
    ASSERT_TRUE(ShellIntegration(kFilesLabel).install());
    const Words items = {selected("a folder"), selected("my file.txt"),
                         selected("文件夹"),   selected("ünï 文.txt"),
                         selected("it's $x"),  selected("back\\slash \"q\""),
                         selected("missing")};
    std::string selection;
    for (const std::string& item : items) {
        selection += item + "\n";
    }
    const Words folders = {"1:" + selected("a folder"), "1:" + selected("it's $x"),
                           "1:" + selected("文件夹")};
    const Words files = {"1:" + selected("back\\slash \"q\""), "1:" + selected("my file.txt"),
                         "1:" + selected("ünï 文.txt")};
    const struct {
        std::string script;
        std::string variable;
        Words expected;
    } cases[] = {
        {data("nautilus/scripts/Quillfen!"), "NAUTILUS_SCRIPT_SELECTED_FILE_PATHS", folders},
        {data("nautilus/scripts/") + kShownFilesLabel, "NAUTILUS_SCRIPT_SELECTED_FILE_PATHS",
         files},
        {config("caja/scripts/Quillfen!"), "CAJA_SCRIPT_SELECTED_FILE_PATHS", folders},
        {config("caja/scripts/") + kShownFilesLabel, "CAJA_SCRIPT_SELECTED_FILE_PATHS", files},
    };
    for (const auto& c : cases) {
        const auto fromVariable =
            test::runProgram("/bin/sh", {c.script}, {c.variable + "=" + selection});
        EXPECT_EQ(fromVariable.exitCode, 0) << fromVariable.err;
        EXPECT_EQ(recordedCalls(), c.expected) << c.script << " from " << c.variable;

        Words arguments{c.script};
        arguments.insert(arguments.end(), items.begin(), items.end());
        const auto fromArguments = test::runProgram("/bin/sh", arguments, {c.variable + "="});
        EXPECT_EQ(fromArguments.exitCode, 0) << fromArguments.err;
        EXPECT_EQ(recordedCalls(), c.expected) << c.script << " from its arguments";
    }
}

// Every entry with the program there and gone: Dolphin and Nemo hide an entry whose program is
// missing by its TryExec and Dependencies keys, which name the program; Thunar's command and the
// scripts start it while it is there and otherwise say in a message (through the first notifier
// found, here a stand-in, and on standard error) that Quillfen is no longer installed.
TEST_F(FileManagerScriptTest, EntriesOfAProgramThatIsGoneHideOrSayWhy) {
    ASSERT_TRUE(ShellIntegration(kFilesLabel).install());
    const auto read = [](const std::string& file) {
        return platform::currentPlatform().files().readFile(file).value_or("");
    };
    const std::string dolphin = read(data("kio/servicemenus/quillfen-folders.desktop"));
    EXPECT_EQ(keyFileUnescaped(keyFileValue(dolphin, "Desktop Entry", "TryExec").value_or("")),
              program().string());
    EXPECT_EQ(keyFileValue(dolphin, "Desktop Action quillfen", "Icon"), "org.quillfen.Quillfen");
    const std::string nemo = read(data("nemo/actions/quillfen-files.nemo_action"));
    EXPECT_EQ(keyFileUnescaped(keyFileValue(nemo, "Nemo Action", "Dependencies").value_or("")),
              program().string() + ";");
    EXPECT_EQ(keyFileValue(nemo, "Nemo Action", "Icon-Name"), "org.quillfen.Quillfen");
    EXPECT_NE(read(thunarFile()).find("<icon>org.quillfen.Quillfen</icon>"), std::string::npos);

    const std::string notifier = folder / "tools/notify-send";
    folder.writeFile("tools/notify-send",
                     "#!/bin/sh\nprintf '%s\\n' \"notified:$2\" >> " + shellQuoted(calls()) + "\n");
    fs::permissions(notifier, fs::perms::owner_all);
    const Words environment = {"PATH=" + (folder / "tools"), "NAUTILUS_SCRIPT_SELECTED_FILE_PATHS=",
                               "CAJA_SCRIPT_SELECTED_FILE_PATHS="};
    const std::string item = selected("a folder");
    const auto thunar = thunarExpanded(
        thunarStoredCommand(read(thunarFile()), ItemKind::Folders).value_or(""), item);
    ASSERT_TRUE(thunar);
    const struct {
        std::string manager;
        Words arguments;
    } runs[] = {{"Thunar", {"-c", *thunar}},
                {"Nautilus", {data("nautilus/scripts/Quillfen!"), item}},
                {"Caja", {config("caja/scripts/Quillfen!"), item}}};
    const std::string message =
        "Quillfen is no longer installed: " + program().string() + " is missing.";
    for (const bool present : {true, false}) {
        if (!present) {
            fs::rename(program(), folder / "away");
        }
        for (const auto& run : runs) {
            const auto result = test::runProgram("/bin/sh", run.arguments, environment);
            EXPECT_EQ(result.exitCode, present ? 0 : 1) << run.manager << " " << result.err;
            EXPECT_EQ(result.err, present ? "" : message + "\n") << run.manager;
            EXPECT_EQ(recordedCalls(), present ? Words{"1:" + item} : Words{"notified:" + message})
                << run.manager;
        }
    }
}

TEST_F(ShellIntegrationTest, AThunarRunByThisUserIsToldToRestartWhenItsActionsChange) {
    ShellIntegration integration(kFilesLabel);
    ASSERT_TRUE(integration.install());
    EXPECT_FALSE(integration.thunarRestartNeeded()) << "a Thunar never run has nothing to reload";
    ASSERT_TRUE(ShellIntegration("Duplikate").install());
    ShellIntegration again("Duplikate");
    ASSERT_TRUE(again.install());
    EXPECT_FALSE(again.thunarRestartNeeded()) << "nothing changed";
    ShellIntegration changed(kFilesLabel);
    ASSERT_TRUE(changed.install());
    EXPECT_TRUE(changed.thunarRestartNeeded());
}

// Before a restart into another language, the entries are written in that language already.
TEST_F(ShellIntegrationTest, EntriesAreWrittenInTheLanguageAskedFor) {
    folder.writeFile(kAwkwardFolder + "/Language/1031.ini",
                     "[Translate]\r\nDocument Duplication Search=Duplikatsuche\r\n"
                     "Quillfen is no longer installed: %s is missing.=Quillfen fehlt: %s\r\n");
    FileManagerShellEntries entries;
    EXPECT_EQ(entries.install("1031"), ShellEntriesNotice::None);
    for (const std::string& scripts : {data("nautilus/scripts/"), config("caja/scripts/")}) {
        EXPECT_TRUE(fs::exists(scripts + "Duplikatsuche (Quillfen)")) << scripts;
    }
    const auto command =
        thunarStoredCommand(folder.readFile("home/.config/Thunar/uca.xml"), ItemKind::Files);
    EXPECT_NE(command.value_or("").find("Quillfen fehlt: "), std::string::npos);
}

}  // namespace
}  // namespace quillfen
