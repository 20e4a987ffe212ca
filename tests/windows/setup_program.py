#!/usr/bin/env python3
"""Installs QuillfenSetup-<version>.exe silently under Wine and uninstalls it again, in a Wine
prefix of its own (the shortcut, the registry keys and the files it checks are then its own).

Checked after "/S /D=<folder>": the programs, the licence and the language tables are in the
folder, the installed quillfen-cli.exe finds the rows of a small tree on C:, the Start-menu
shortcut exists exactly when the build has the window program, the "Add/Remove programs" entry
names the uninstaller. Checked after "Uninstall.exe /S": the programs, the unchanged language tables, the
shortcut, the uninstall entry, the icons "/GetIcon" wrote, the update's downloader copy and the
context-menu entries that start the removed program are gone (under the user's classes and
HKEY_CLASSES_ROOT); the settings file, a language table the user changed, the update's downloads
and an entry that starts another existing copy of the program are left alone.

Checked while a stand-in holds the installed quillfen-cli.exe as a running copy holds it: a silent
reinstall and a silent uninstall wait for it (here for the short time "/WAIT=" gives), then end with
exit code 2 and change nothing. A silent install over an older copy, as the update starts it while
the program that started it still ends, waits while the stand-in holds the file and, once it lets
go, replaces the programs with this setup's and records the new version. A reinstall into the same
folder keeps a language table the user edited and puts the shipped one beside it (<table>.new).
An install into a second folder removes the copy of the first with its uninstaller, so the one
uninstall entry and the shortcut name the second, and its uninstaller removes them.

Few Wine starts, each a second or more: the installers, batch files that run the installed
program and the registry tool, the uninstallers and the stand-in."""

import argparse
import filecmp
import os
import shutil
import subprocess
import sys
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from cli_drives import SKIPPED, Checker, locked_prefix  # noqa: E402

# A busy Wine now and then fails to start a process's DLLs (STATUS_DLL_INIT_FAILED, 0xC0000142)
# before any of its code runs: Wine's own exit status keeps the low byte, a batch file sees the
# whole code. Such a start did nothing and is tried again.
DLL_INIT_FAILED_EXIT = 0x42
DLL_INIT_FAILED_LEVEL = str(0xC0000142 - (1 << 32))
# cmd's level when it could not start a program at all, which a busy Wine now and then refuses
# with an internal error: such a start did nothing either.
START_FAILED_LEVEL = "9009"
ATTEMPTS = 3

WORK = "qfsetup"
WORK_WINDOWS = "C:\\" + WORK
INSTALL_FOLDER = WORK_WINDOWS + "\\Quillfen"
SECOND_FOLDER = WORK_WINDOWS + "\\SecondPlace"
# The exit code of a setup or uninstaller that a running copy stopped.
STOPPED_EXIT = 2
# How long the setups that are to give up wait for a running copy, in seconds.
SHORT_WAIT = "/WAIT=2"
# How long the held file stays held while a silent setup waits for it, in seconds; well inside the
# setup's own waiting time of 60 seconds.
HOLD_SECONDS = 4
OTHER_COPY = WORK_WINDOWS + "\\Other copy\\quillfen.exe"
CLI = "quillfen-cli.exe"
UNINSTALLER = "Uninstall.exe"
UNINSTALL_KEY = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillfen"

# (relative path, contents or None for a folder) of the tree the installed program searches.
TREE = [
    ("notes.txt", b"a"),
    ("sub", None),
    ("sub/deeper.txt", b"b"),
    ("sub/skipped.log", b"c"),
    ("with blank", None),
    ("with blank/spaced name.txt", b"d"),
]

# (root, classes key, program the command starts, whether the uninstaller removes the entry).
SHELL_ENTRIES = [
    ("HKEY_CURRENT_USER", "Software\\Classes\\Folder", INSTALL_FOLDER + "\\quillfen.exe", True),
    ("HKEY_CURRENT_USER", "Software\\Classes\\*", INSTALL_FOLDER + "\\quillfen.exe", True),
    ("HKEY_CLASSES_ROOT", "Folder", INSTALL_FOLDER + "\\quillfen.exe", True),
    ("HKEY_CLASSES_ROOT", "*", OTHER_COPY, False),
]


def entry_key(root, classes):
    return "%s\\%s\\shell\\Quillfen!" % (root, classes)


def registry_text(value):
    return '"%s"' % value.replace("\\", "\\\\").replace('"', '\\"')


def shell_entries_file():
    """The entries as the program writes them: the command a quoted program path and %1, the
    files' entry with its menu text."""
    lines = ["Windows Registry Editor Version 5.00", ""]
    for root, classes, program, _ in SHELL_ENTRIES:
        key = entry_key(root, classes)
        lines += ["[%s]" % key]
        if classes.endswith("*"):
            lines += ["@=%s" % registry_text("Document Duplication Search")]
        lines += ["", "[%s\\command]" % key, "@=%s" % registry_text('"%s" %%1' % program), ""]
    return "\r\n".join(lines) + "\r\n"


def batch_file(lines):
    return "\r\n".join(["@echo off"] + lines) + "\r\n"


def recorded(name, command):
    """A batch line that runs the command and records its exit code under the name."""
    return [command, "echo %s=%%errorlevel%% >> %s\\results.txt" % (name, WORK_WINDOWS)]


def installed_batch():
    cli = '"%s\\%s"' % (INSTALL_FOLDER, CLI)
    lines = ["echo user=%USERNAME%.%COMPUTERNAME% >> " + WORK_WINDOWS + "\\results.txt",
             "echo appdata=%APPDATA% >> " + WORK_WINDOWS + "\\results.txt",
             "echo localappdata=%LOCALAPPDATA% >> " + WORK_WINDOWS + "\\results.txt"]
    lines += recorded("find", '%s find --in "%s\\tree" --name "*.txt" --format paths --quiet > '
                      '%s\\found.txt' % (cli, WORK_WINDOWS, WORK_WINDOWS))
    # A message passes through the language tables, which the program then copies for the user.
    lines += recorded("missing", '%s find --in "%s\\nowhere" 2> nul' % (cli, WORK_WINDOWS))
    lines += recorded("uninstall-key", 'reg query "%s" /v UninstallString > %s\\uninstall.txt'
                      % (UNINSTALL_KEY, WORK_WINDOWS))
    lines += recorded("import", "reg import %s\\shell.reg" % WORK_WINDOWS)
    return batch_file(lines)


def removed_batch():
    lines = recorded("uninstall-key", 'reg query "%s"' % UNINSTALL_KEY)
    for index, (root, classes, _, _) in enumerate(SHELL_ENTRIES):
        key = entry_key(root, classes)
        lines += recorded("entry%d" % index, 'reg query "%s" > nul 2>&1' % key)
        lines += recorded("command%d" % index, 'reg query "%s\\command" > nul 2>&1' % key)
    return batch_file(lines)


class SetupRun:
    def __init__(self, prefix, setup, window_program):
        self.prefix = prefix
        self.setup = setup
        self.setup_windows = WORK_WINDOWS + "\\" + os.path.basename(setup)
        self.window_program = window_program
        self.work = os.path.join(prefix.drive_c, WORK)
        self.install = prefix.linux_path(INSTALL_FOLDER)

    def wine(self, arguments):
        """Output goes to the log of the run: the programs checked here write files."""
        for _ in range(ATTEMPTS):
            answer = self.prefix.run_captured([self.prefix.wine] + arguments, self.work)
            if answer.returncode != DLL_INIT_FAILED_EXIT:
                return answer
        return answer

    def batch(self, name, text):
        """Runs a batch file; its results, name=exit code, come back as a dictionary."""
        script = os.path.join(self.work, name)
        with open(script, "w", newline="") as out:
            out.write(text)
        results = os.path.join(self.work, "results.txt")
        for _ in range(ATTEMPTS):
            if os.path.exists(results):
                os.unlink(results)
            self.wine(["cmd", "/c", "%s\\%s" % (WORK_WINDOWS, name)])
            values = {}
            if os.path.exists(results):
                with open(results, encoding="utf-8", errors="replace") as lines:
                    for line in lines:
                        key, _, value = line.strip().partition("=")
                        values[key] = value.strip()
            if not {DLL_INIT_FAILED_LEVEL, START_FAILED_LEVEL} & set(values.values()):
                return values
        return values

    def read(self, name):
        with open(os.path.join(self.work, name), "rb") as text:
            return text.read().decode("utf-8", "replace")

    def programs(self):
        return [CLI] + (["quillfen.exe"] if self.window_program else [])

    def make_tree(self):
        os.makedirs(os.path.join(self.work, "tree"))
        for path, body in TREE:
            target = os.path.join(self.work, "tree", *path.split("/"))
            if body is None:
                os.makedirs(target, exist_ok=True)
            else:
                with open(target, "wb") as out:
                    out.write(body)
        other = self.prefix.linux_path(OTHER_COPY)
        os.makedirs(os.path.dirname(other), exist_ok=True)
        open(other, "wb").close()
        with open(os.path.join(self.work, "shell.reg"), "w", encoding="utf-16",
                  newline="") as out:
            out.write(shell_entries_file())

    def expected_rows(self):
        return sorted(WORK_WINDOWS + "\\tree\\" + path.replace("/", "\\")
                      for path, body in TREE if body is not None and path.endswith(".txt"))


def check_installed(run, check, language_folder):
    installer = run.wine([run.setup_windows, "/S", "/D=" + INSTALL_FOLDER])
    check.expect(installer.returncode == 0, "setup: exit code %d" % installer.returncode)
    for name in run.programs() + [UNINSTALLER, "LICENSE"]:
        check.expect(os.path.isfile(os.path.join(run.install, name)), "installed: %s" % name)
    tables = sorted(os.listdir(language_folder))
    installed_tables = os.path.join(run.install, "Language")
    check.expect(os.path.isdir(installed_tables) and sorted(os.listdir(installed_tables)) ==
                 tables, "installed: the language tables %s" % tables)
    for table in tables:
        check.expect(filecmp.cmp(os.path.join(language_folder, table),
                                 os.path.join(installed_tables, table), shallow=False),
                     "installed: %s as built" % table)

    installed_files = folder_state(run.install)
    results = run.batch("installed.bat", installed_batch())
    found = sorted(line for line in run.read("found.txt").splitlines() if line)
    check.expect(results.get("find") == "0" and found == run.expected_rows(),
                 "installed quillfen-cli.exe find: exit code %s, rows %s, expected %s" % (
                     results.get("find"), found, run.expected_rows()))
    check.expect(results.get("uninstall-key") == "0" and
                 ("%s\\%s" % (INSTALL_FOLDER, UNINSTALLER)).lower() in
                 run.read("uninstall.txt").lower(),
                 "uninstall entry: %s, %s" % (results.get("uninstall-key"),
                                              run.read("uninstall.txt")))
    check.expect(results.get("import") == "0", "shell entries made: %s" % results.get("import"))
    # The installed copy could write beside itself, yet keeps what it writes in the user's folder.
    written = sorted(set(folder_state(run.install)) - set(installed_files))
    check.expect(written == [], "the installed quillfen-cli.exe wrote into its folder: %s" % written)
    user_folder = os.path.join(run.prefix.linux_path(results.get("appdata", "C:\\")), "quillfen")
    check.expect(os.path.isfile(os.path.join(user_folder, "Language", "1033.ini")),
                 "the installed copy's language tables are in %s" % user_folder)

    shortcuts = os.path.join(run.prefix.linux_path(results.get("appdata", "C:\\")),
                             "Microsoft", "Windows", "Start Menu", "Programs")
    made = sorted(name for name in os.listdir(shortcuts) if "quillfen" in name.lower()) \
        if os.path.isdir(shortcuts) else []
    expected = ["Quillfen.lnk"] if run.window_program else []
    check.expect(made == expected, "Start-menu shortcuts: %s, expected %s" % (made, expected))
    if made:
        with open(os.path.join(shortcuts, made[0]), "rb") as link:
            check.expect(b"quillfen.exe" in link.read().lower().replace(b"\0", b""),
                         "the shortcut starts quillfen.exe")
    return results, shortcuts


def leave_user_files(run, results):
    """What the program and its user add to an installed copy."""
    def write(path, body):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as out:
            out.write(body)

    local = run.prefix.linux_path(results.get("localappdata", "C:\\"))
    user_files = {
        "settings": os.path.join(run.install, results.get("user", "") + ".ini"),
        "changed table": os.path.join(run.install, "Language", "1031.ini"),
        "program-made table": os.path.join(run.install, "Language", "1036.ini"),
        "download": os.path.join(local, "quillfen", "update", "downloads", "QuillfenSetup.exe"),
    }
    program_files = {
        "icon": os.path.join(run.install, "temp", "ab.ico"),
        "downloader copy": os.path.join(local, "quillfen", "update", "quilldown.exe"),
    }
    write(user_files["settings"], b"[Config]\r\nShowSelfIcon=Y\r\n")
    with open(user_files["changed table"], "ab") as table:
        table.write("Find=Suchen!\r\n".encode("utf-16-le"))
    for path in [user_files["program-made table"], user_files["download"]] + \
            list(program_files.values()):
        write(path, b"x")
    return user_files, program_files


def folder_state(folder):
    """Every file below the folder with its size and modification time."""
    state = {}
    for parent, _, files in os.walk(folder):
        for name in files:
            path = os.path.join(parent, name)
            status = os.stat(path)
            state[os.path.relpath(path, folder)] = (status.st_size, status.st_mtime_ns)
    return state


def hold_installed_cli(run, check, holder):
    """Starts the stand-in that holds the installed quillfen-cli.exe; its standard input ending
    lets go."""
    ready = os.path.join(run.work, "held.txt")
    if os.path.exists(ready):
        os.unlink(ready)
    held = subprocess.Popen([run.prefix.wine, holder, "hold", INSTALL_FOLDER + "\\" + CLI,
                             WORK_WINDOWS + "\\held.txt"], stdin=subprocess.PIPE,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                            env=run.prefix.environment, cwd=run.work)
    for _ in range(600):
        if os.path.exists(ready) or held.poll() is not None:
            break
        time.sleep(0.1)
    check.expect(os.path.exists(ready), "the stand-in holds %s" % CLI)
    return held


def check_running_copy_stops(run, check, holder):
    """A copy that runs from the folder until the waiting time is over keeps a silent reinstall
    and uninstall from changing anything."""
    held = hold_installed_cli(run, check, holder)
    try:
        before = folder_state(run.install)
        installer = run.wine([run.setup_windows, "/S", SHORT_WAIT, "/D=" + INSTALL_FOLDER])
        check.expect(installer.returncode == STOPPED_EXIT,
                     "setup over a running copy: exit code %d, expected %d" % (
                         installer.returncode, STOPPED_EXIT))
        check.expect(folder_state(run.install) == before,
                     "setup over a running copy changed the folder")
        uninstaller = run.wine([INSTALL_FOLDER + "\\" + UNINSTALLER, "/S", SHORT_WAIT,
                                "_?=" + INSTALL_FOLDER])
        check.expect(uninstaller.returncode == STOPPED_EXIT,
                     "uninstall of a running copy: exit code %d, expected %d" % (
                         uninstaller.returncode, STOPPED_EXIT))
        check.expect(folder_state(run.install) == before,
                     "the uninstaller of a running copy changed the folder")
    finally:
        held.communicate(timeout=60)


def make_installed_copy_older(run, holder):
    """The installed programs become other files and the uninstall entry an older version."""
    for name in run.programs():
        shutil.copyfile(holder, os.path.join(run.install, name))
    run.batch("older.bat", batch_file(recorded(
        "older", 'reg add "%s" /v DisplayVersion /d 0.9 /f > nul' % UNINSTALL_KEY)))


def check_update_waits_for_running_copy(run, check, holder, stage):
    """The update's silent setup over an older copy that still runs: it waits, and installs once
    the copy has ended."""
    make_installed_copy_older(run, holder)
    held = hold_installed_cli(run, check, holder)
    before = folder_state(run.install)
    installer = subprocess.Popen([run.prefix.wine, run.setup_windows, "/S",
                                  "/D=" + INSTALL_FOLDER], stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL, env=run.prefix.environment,
                                 cwd=run.work)
    try:
        time.sleep(HOLD_SECONDS)
        check.expect(installer.poll() is None and folder_state(run.install) == before,
                     "the setup waits while the copy runs: exit code %s" % installer.poll())
    finally:
        held.communicate(timeout=60)
    try:
        status = installer.wait(timeout=120)
    except subprocess.TimeoutExpired:
        installer.kill()
        status = installer.wait()
    check.expect(status == 0, "setup once the copy ended: exit code %d" % status)
    for name in run.programs():
        check.expect(filecmp.cmp(os.path.join(stage, name), os.path.join(run.install, name),
                                 shallow=False), "the update installed this setup's %s" % name)
    results = run.batch("version.bat", batch_file(recorded(
        "version", 'reg query "%s" /v DisplayVersion > %s\\version.txt' % (
            UNINSTALL_KEY, WORK_WINDOWS))))
    version = run.read("version.txt")
    check.expect(results.get("version") == "0" and "0.9" not in version and
                 os.path.basename(run.setup)[len("QuillfenSetup-"):-len(".exe")] in version,
                 "the uninstall entry names the new version: %s" % version)


def check_reinstall_keeps_edited_table(run, check, language_folder):
    table = os.path.join(run.install, "Language", "1031.ini")
    check.expect(os.path.isfile(table), "1031.ini is still installed")
    if not os.path.isfile(table):
        return
    with open(table, "ab") as edited:
        edited.write("Find=Los!\r\n".encode("utf-16-le"))
    with open(table, "rb") as edited:
        kept = edited.read()
    installer = run.wine([run.setup_windows, "/S", "/D=" + INSTALL_FOLDER])
    check.expect(installer.returncode == 0, "reinstall: exit code %d" % installer.returncode)
    with open(table, "rb") as after:
        check.expect(after.read() == kept, "the reinstall keeps the edited 1031.ini")
    check.expect(os.path.isfile(table + ".new") and filecmp.cmp(
        table + ".new", os.path.join(language_folder, "1031.ini"), shallow=False),
        "the reinstall puts the shipped 1031.ini beside it as 1031.ini.new")
    check.expect(not os.path.exists(os.path.join(run.install, "Language", "1033.ini.new")),
                 "an unchanged table is replaced in place")


def check_second_folder_replaces_the_first(run, check, shortcuts):
    """One installed copy: a second folder's install uninstalls the first."""
    second = run.prefix.linux_path(SECOND_FOLDER)
    for folder in (INSTALL_FOLDER, SECOND_FOLDER):
        installer = run.wine([run.setup_windows, "/S", "/D=" + folder])
        check.expect(installer.returncode == 0, "setup into %s: exit code %d" % (
            folder, installer.returncode))
    left = sorted(name for name in os.listdir(run.install) if name.lower().endswith(".exe"))
    check.expect(left == [], "the first folder still holds %s" % left)
    for name in run.programs() + [UNINSTALLER]:
        check.expect(os.path.isfile(os.path.join(second, name)), "second folder: %s" % name)
    results = run.batch("second.bat", batch_file(recorded(
        "location", 'reg query "%s" /v InstallLocation > %s\\location.txt' % (
            UNINSTALL_KEY, WORK_WINDOWS))))
    check.expect(results.get("location") == "0" and
                 SECOND_FOLDER.lower() in run.read("location.txt").lower(),
                 "the uninstall entry names the second folder: %s" % run.read("location.txt"))
    if run.window_program:
        with open(os.path.join(shortcuts, "Quillfen.lnk"), "rb") as link:
            check.expect(b"secondplace" in link.read().lower().replace(b"\0", b""),
                         "the shortcut starts the second copy")
    uninstaller = run.wine([SECOND_FOLDER + "\\" + UNINSTALLER, "/S", "_?=" + SECOND_FOLDER])
    check.expect(uninstaller.returncode == 0, "uninstall of the second copy: exit code %d" %
                 uninstaller.returncode)
    queries = run.batch("gone.bat", batch_file(recorded("key", 'reg query "%s"' % UNINSTALL_KEY)))
    check.expect(queries.get("key") == "1", "the uninstall entry is gone: %s" % queries.get("key"))
    check.expect(not os.path.exists(os.path.join(shortcuts, "Quillfen.lnk")),
                 "the shortcut is gone")


def check_removed(run, check, results, shortcuts):
    user_files, program_files = leave_user_files(run, results)
    uninstaller = run.wine([INSTALL_FOLDER + "\\" + UNINSTALLER, "/S", "_?=" + INSTALL_FOLDER])
    check.expect(uninstaller.returncode == 0, "uninstall: exit code %d" % uninstaller.returncode)
    # Run in place (_?=), the uninstaller cannot remove itself.
    left = sorted(os.path.relpath(os.path.join(parent, name), run.install)
                  for parent, _, files in os.walk(run.install) for name in files)
    kept = sorted(os.path.relpath(user_files[name], run.install)
                  for name in ("settings", "changed table", "program-made table"))
    check.expect(left == sorted(kept + [UNINSTALLER]),
                 "left in the folder: %s, expected %s" % (left, kept + [UNINSTALLER]))
    for what, path in user_files.items():
        check.expect(os.path.isfile(path), "the uninstaller keeps the %s" % what)
    for what, path in program_files.items():
        check.expect(not os.path.exists(path), "the uninstaller removes the %s" % what)
    check.expect(not os.path.exists(os.path.join(shortcuts, "Quillfen.lnk")),
                 "the shortcut is removed")

    queries = run.batch("removed.bat", removed_batch())
    check.expect(queries.get("uninstall-key") == "1",
                 "uninstall entry removed: reg query gave %s" % queries.get("uninstall-key"))
    for index, (root, classes, program, removed) in enumerate(SHELL_ENTRIES):
        expected = "1" if removed else "0"
        for part in ("entry", "command"):
            answer = queries.get("%s%d" % (part, index))
            check.expect(answer == expected, "%s of %s (starts %s): reg query gave %s, expected "
                         "%s" % (part, entry_key(root, classes), program, answer, expected))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--setup", required=True)
    parser.add_argument("--language-folder", required=True)
    parser.add_argument("--stage", required=True,
                        help="the folder of the programs the setup packs, as it packs them")
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--wine", default="wine")
    parser.add_argument("--holder", required=True,
                        help="a Windows program that holds a file open: hold FILE READY_FILE")
    parser.add_argument("--window-program", action="store_true",
                        help="the build has quillfen.exe, so the setup program installs it")
    arguments = parser.parse_args()
    if not os.path.isfile(arguments.setup) or shutil.which(arguments.wine) is None \
            or shutil.which("wineserver") is None:
        print("skipped: needs %s, wine and wineserver" % arguments.setup)
        return SKIPPED

    with locked_prefix(arguments.prefix, arguments.wine) as prefix:
        # Shortcuts would otherwise become menu entries of the Linux desktop.
        prefix.environment["WINEDLLOVERRIDES"] = "mscoree,mshtml,winemenubuilder.exe="
        run = SetupRun(prefix, arguments.setup, arguments.window_program)
        shutil.rmtree(run.work, ignore_errors=True)
        os.makedirs(run.work)
        results = {}
        try:
            shutil.copy2(arguments.setup, run.work)
            run.make_tree()
            check = Checker()
            results, shortcuts = check_installed(run, check, arguments.language_folder)
            check_running_copy_stops(run, check, arguments.holder)
            check_update_waits_for_running_copy(run, check, arguments.holder, arguments.stage)
            check_reinstall_keeps_edited_table(run, check, arguments.language_folder)
            check_removed(run, check, results, shortcuts)
            check_second_folder_replaces_the_first(run, check, shortcuts)
        finally:
            shutil.rmtree(run.work, ignore_errors=True)
            for folder in ("localappdata", "appdata"):
                if folder in results:
                    shutil.rmtree(os.path.join(prefix.linux_path(results[folder]), "quillfen"),
                                  ignore_errors=True)

    for failure in check.failures:
        print("FAILED: " + failure)
    print("%d checks of the setup program and its uninstaller, %d failed" % (
        check.count, len(check.failures)))
    return 1 if check.failures else 0


if __name__ == "__main__":
    sys.exit(main())
