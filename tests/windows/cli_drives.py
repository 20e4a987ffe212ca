#!/usr/bin/env python3
"""Runs quillfen-cli.exe with --in "*" under Wine, in a prefix of its own whose drives are known:
C: (the prefix's own small drive_c) and D: and E:, two small temporary trees. The prefix Wine makes
by default maps Z: to the whole Linux root, which no walk of every drive may meet.

Checked: every drive is walked, in the order the system lists them; recycle-bin folders at a
drive's root are left out (in any letter case) while folders of the same names further down are
walked; "SearchInRecycleBin=Y" in the settings file beside the program lets the walk into them;
a walk of every drive needs a name.

The prefix is made once per build folder (its making costs seconds) and kept beside the build's
own prefix; each run only points D: and E: at fresh trees."""

import argparse
import contextlib
import fcntl
import os
import shutil
import subprocess
import sys
import tempfile

SKIPPED = 77
BAD_INPUT = 2
READY_MARK = ".quillfen-drives-ready"
PROGRAM_FOLDER = "quillfen-drives"
PATTERN = "qfdrv*"
DUPLICATE_BODY = b"qfdrv: one body in many places\n"
DUPLICATE_REFERENCE = ("D", "qfdrv-d.txt")

# (drive, relative path, contents or None for a folder, whether it lies in a recycle bin at the
# drive's root). Every name the search should find starts with "qfdrv"; no file of Wine's does.
TREE = [
    ("C", "qfdrv-c", None, False),
    ("C", "qfdrv-c/qfdrv-c1.txt", b"c", False),
    ("C", "$RECYCLE.BIN", None, False),
    ("C", "$RECYCLE.BIN/qfdrv-c-bin.txt", b"c", True),
    ("D", "qfdrv-d.txt", DUPLICATE_BODY, False),
    ("D", "$RECYCLE.BIN", None, False),
    ("D", "$RECYCLE.BIN/qfdrv-d-bin.txt", DUPLICATE_BODY, True),
    ("D", "$RECYCLE.BIN/S-1-5-21", None, True),
    ("D", "$RECYCLE.BIN/S-1-5-21/qfdrv-d-bin-deep.txt", b"d", True),
    ("D", "RECYCLER", None, False),
    ("D", "RECYCLER/qfdrv-d-recycler.txt", b"d", True),
    ("D", "sub", None, False),
    ("D", "sub/qfdrv-d-sub.txt", b"d", False),
    ("D", "sub/$RECYCLE.BIN", None, False),
    ("D", "sub/$RECYCLE.BIN/qfdrv-d-nested-bin.txt", DUPLICATE_BODY, False),
    ("D", "sub/RECYCLER", None, False),
    ("D", "sub/RECYCLER/qfdrv-d-nested-recycler.txt", b"d", False),
    ("D", "sub/RECYCLED", None, False),
    ("D", "sub/RECYCLED/qfdrv-d-nested-recycled.txt", b"d", False),
    ("E", "qfdrv-e.txt", b"e", False),
    ("E", "RECYCLED", None, False),
    ("E", "RECYCLED/qfdrv-e-recycled.txt", DUPLICATE_BODY, True),
    ("E", "recycler", None, False),
    ("E", "recycler/qfdrv-e-lower-recycler.txt", b"e", True),
    ("E", "qfdrv-deep", None, False),
    ("E", "qfdrv-deep/RECYCLED", None, False),
    ("E", "qfdrv-deep/RECYCLED/qfdrv-e-nested-recycled.txt", DUPLICATE_BODY, False),
]


def windows_path(drive, relative):
    return "%s:\\%s" % (drive, relative.replace("/", "\\"))


def matching_rows(with_bins, predicate):
    return [windows_path(drive, path) for drive, path, body, in_bin in TREE
            if predicate(path, body) and (with_bins or not in_bin)]


def named_rows(with_bins):
    return matching_rows(with_bins, lambda path, _: os.path.basename(path).startswith("qfdrv"))


def duplicate_rows(with_bins):
    """The reference itself is no row of its own search."""
    reference = windows_path(*DUPLICATE_REFERENCE)
    return [row for row in matching_rows(with_bins, lambda _, body: body == DUPLICATE_BODY)
            if row != reference]


class Prefix:
    """The Wine prefix of this test: C: plus the drives it is told of, nothing else."""

    def __init__(self, folder, wine):
        self.folder = folder
        self.wine = wine
        self.drive_c = os.path.join(folder, "drive_c")
        self.dosdevices = os.path.join(folder, "dosdevices")
        self.environment = dict(os.environ, WINEPREFIX=folder, WINEDEBUG="-all",
                                WINEDLLOVERRIDES="mscoree,mshtml=", LANG="C.UTF-8", LC_ALL="")

    def ensure_made(self):
        """A prefix made by another Wine version is made afresh: Wine would update it on the next
        start and link the shell folders to the home folder again."""
        version = subprocess.run([self.wine, "--version"], capture_output=True,
                                 env=self.environment, timeout=60).stdout
        mark = os.path.join(self.folder, READY_MARK)
        if os.path.exists(mark):
            with open(mark, "rb") as made_by:
                if made_by.read() == version:
                    return
        shutil.rmtree(self.folder, ignore_errors=True)
        home = tempfile.mkdtemp(prefix="quillfen-drives-home-")
        try:
            environment = dict(self.environment, HOME=home)
            subprocess.run([self.wine, "wineboot", "--init"], env=environment, check=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
            subprocess.run(["wineserver", "--wait"], env=environment, check=False, timeout=300)
        finally:
            shutil.rmtree(home, ignore_errors=True)
        self.replace_links_by_folders()
        with open(mark, "wb") as made_by:
            made_by.write(version)

    def replace_links_by_folders(self):
        """Wine links the user's shell folders (Desktop, Documents, ...) to the Linux home folder
        and shows the links as plain folders: a walk of C: would leave the prefix through them."""
        for parent, folders, files in os.walk(self.drive_c):
            for name in folders + files:
                path = os.path.join(parent, name)
                if os.path.islink(path):
                    os.unlink(path)
                    os.mkdir(path)

    def map_drives(self, drives):
        """Only C: and the given drives (letter -> Linux folder) are left."""
        for name in os.listdir(self.dosdevices):
            if len(name) == 2 and name[1] == ":" and name != "c:":
                os.unlink(os.path.join(self.dosdevices, name))
        for letter, target in drives.items():
            os.symlink(target, os.path.join(self.dosdevices, letter.lower() + ":"))

    def run(self, program, arguments):
        return self.run_captured([self.wine, program] + arguments,
                                 os.path.dirname(self.linux_path(program)))

    def run_captured(self, command, folder=None):
        """Output goes through files, not pipes: the Wine server and services that the first
        start leaves running keep a pipe open for seconds after the program has ended."""
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            ended = subprocess.run(command, stdout=out, stderr=err, env=self.environment,
                                   timeout=300, cwd=folder)
            out.seek(0)
            err.seek(0)
            return subprocess.CompletedProcess(command, ended.returncode, out.read(), err.read())

    def linux_path(self, windows):
        assert windows.upper().startswith("C:\\")
        return os.path.join(self.drive_c, *windows[3:].split("\\"))

    def settings_file_name(self):
        answer = self.run_captured([self.wine, "cmd", "/c", "echo %USERNAME%.%COMPUTERNAME%"])
        return answer.stdout.decode("utf-8", "replace").strip() + ".ini"


@contextlib.contextmanager
def locked_prefix(folder, wine):
    """The prefix in `folder`, made if need be and held by this run alone: the Windows entries of
    ctest may share one and run side by side."""
    folder = os.path.abspath(folder)
    os.makedirs(os.path.dirname(folder), exist_ok=True)
    with open(folder + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        prefix = Prefix(folder, wine)
        # The server of the run before may still be ending, and a program started against it
        # then fails at once.
        subprocess.run(["wineserver", "--wait"], env=prefix.environment, check=False, timeout=300)
        prefix.ensure_made()
        yield prefix


def make_tree(roots):
    for drive, path, body, _ in TREE:
        target = os.path.join(roots[drive], *path.split("/"))
        if body is None:
            os.makedirs(target, exist_ok=True)
        else:
            os.makedirs(os.path.dirname(target), exist_ok=True)
            with open(target, "wb") as out:
                out.write(body)


def rows_of(output):
    return [line for line in output.decode("utf-8").splitlines() if line]


class Checker:
    def __init__(self):
        self.failures = []
        self.count = 0

    def expect(self, condition, what):
        self.count += 1
        if not condition:
            self.failures.append(what)

    def rows_in_drive_order(self, label, answer, expected):
        rows = rows_of(answer.stdout)
        self.expect(answer.returncode == 0, "%s: exit code %d, %s" % (
            label, answer.returncode, answer.stderr.decode("utf-8", "replace")))
        drives = [row[0].upper() for row in rows]
        self.expect(drives == sorted(drives), "%s: drives out of order: %s" % (label, rows))
        self.expect(sorted(rows) == sorted(expected), "%s: rows differ\n  got:      %s\n"
                    "  expected: %s" % (label, sorted(rows), sorted(expected)))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--windows-cli", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--wine", default="wine")
    arguments = parser.parse_args()
    if not os.path.isfile(arguments.windows_cli) or shutil.which(arguments.wine) is None \
            or shutil.which("wineserver") is None:
        print("skipped: needs %s, wine and wineserver" % arguments.windows_cli)
        return SKIPPED

    with locked_prefix(arguments.prefix, arguments.wine) as prefix:
        return run_checks(prefix, arguments.windows_cli)


def run_checks(prefix, windows_cli):
    scratch = tempfile.mkdtemp(prefix="quillfen-drives-")
    c_entries = sorted({path.split("/")[0] for drive, path, _, _ in TREE if drive == "C"})
    program_folder = os.path.join(prefix.drive_c, PROGRAM_FOLDER)
    try:
        roots = {"C": prefix.drive_c, "D": os.path.join(scratch, "d"),
                 "E": os.path.join(scratch, "e")}
        make_tree(roots)
        prefix.map_drives({"D": roots["D"], "E": roots["E"]})
        os.makedirs(program_folder, exist_ok=True)
        shutil.copy2(windows_cli, program_folder)
        program = "C:\\%s\\%s" % (PROGRAM_FOLDER, os.path.basename(windows_cli))
        settings = os.path.join(program_folder, prefix.settings_file_name())
        find = ["find", "--in", "*", "--name", PATTERN, "--format", "paths", "--quiet"]
        dupes = ["dupes", windows_path(*DUPLICATE_REFERENCE), "--in", "*", "--format", "paths",
                 "--quiet"]

        check = Checker()
        for setting, with_bins in ((None, False), ("N", False), ("Y", True)):
            if setting is None:
                label = "no settings file"
                if os.path.exists(settings):
                    os.unlink(settings)
            else:
                label = "SearchInRecycleBin=" + setting
                with open(settings, "w", newline="\r\n") as out:
                    out.write("[Config]\nSearchInRecycleBin=%s\n" % setting)
            check.rows_in_drive_order("find, " + label, prefix.run(program, find),
                                      named_rows(with_bins))
            check.rows_in_drive_order("dupes, " + label, prefix.run(program, dupes),
                                      duplicate_rows(with_bins))

        nameless = prefix.run(program, ["find", "--in", "*", "--format", "paths"])
        check.expect(nameless.returncode == BAD_INPUT and not nameless.stdout
                     and b"You had select all of the drivers" in nameless.stderr,
                     "find without a name: exit code %d, %s" % (nameless.returncode,
                                                                nameless.stderr))
    finally:
        prefix.map_drives({})
        shutil.rmtree(program_folder, ignore_errors=True)
        for name in c_entries:
            shutil.rmtree(os.path.join(prefix.drive_c, name), ignore_errors=True)
        shutil.rmtree(scratch, ignore_errors=True)

    for failure in check.failures:
        print("FAILED: " + failure)
    print("%d checks of --in \"*\" over C:, D: and E:, %d failed" % (check.count,
                                                                   len(check.failures)))
    return 1 if check.failures else 0


if __name__ == "__main__":
    sys.exit(main())
