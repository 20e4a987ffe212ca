#!/usr/bin/env python3
"""Drives the file-name index of quillfen-cli.exe under Wine on a tree on the prefix's C: drive.

Checked, on a tree of nested folders, a few hundred files, names with blanks, non-ASCII letters and
mixed case, and a branch deeper than 260 characters: `find` with the index prints exactly what
`find --no-index` prints (rows, messages and status) for a table of name, size, date, folder and
format searches, once after `index add` (while other `index add` runs replace the index file that
these searches hold mapped) and again after the tree changed with no one watching (files and whole
folders made, deleted, renamed and moved, a file's size and time changed, a folder changed behind
a restored time, a new folder in an old one's place); `index list --format tsv` tells current,
needs checking, folder missing and damaged; `index update` and `index remove` do their part; a
folder deeper than 260 characters is indexed too.

The index lives in the prefix's %LOCALAPPDATA%; this test touches only its own tree's file there."""

import argparse
import concurrent.futures
import glob
import itertools
import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIPPED = 77
OLD_FOLDER_TIME = time.mktime((2020, 1, 1, 12, 0, 0, 0, 0, -1))
TOPS = ["Alpha Beta", "donn\u00e9es", "MiXed Case", "\u65e5\u672c\u8a9e"]
SIZES = [0, 1, 1023, 1024, 5000, 70000]
FORMATS = ["paths", "table", "tsv", "csv", "jsonl"]
# (arguments after the folder, sub-folder of the tree to search or "")
SEARCHES = [
    ([], ""),
    (["--name", "*.txt"], ""),
    (["--name", "report* *.MD Notes-1?.*"], ""),
    (["--name", "\u00c4RGER*"], ""),
    (["--name", "*e*", "--size-at-least", "1k"], ""),
    (["--size-at-most", "1B"], ""),
    (["--size", "small", "--name", "*.bin"], ""),
    (["--modified-between", "2021-01-01", "2021-12-31"], ""),
    (["--no-subfolders"], ""),
    (["--name", "*"], "MiXed Case\\Sub 1"),
    (["--no-subfolders", "--name", "*1*"], "donn\u00e9es"),
    (["--name", "*file*"], "deep"),
    (["--sort", "size", "name"], ""),
]


def windows_form(path):
    return path.replace("/", "\\")


def local_seconds(year, month, day):
    return time.mktime((year, month, day, 12, 0, 0, 0, 0, -1))


def write(path, size, seconds):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(b"q" * size)
    os.utime(path, (seconds, seconds))


def deep_branch():
    """Seven folders of 40 characters: more than 260 characters below the tree."""
    return "/".join(["deep"] + ["level %d " % level + "x" * 32 for level in range(7)])


def make_tree(root):
    for top_number, top in enumerate(TOPS):
        for sub in range(3):
            folder = os.path.join(root, top, "Sub %d" % sub)
            for number in range(20):
                name = ("report %03d.TXT", "Notes-%d.md", "\u00e4rger-%d.log", "data_%d.BIN",
                        "Gr\u00fc\u00dfe %d.txt")[number % 5] % number
                seconds = local_seconds(2019 + number % 4, 1 + number % 12, 1 + sub + top_number)
                write(os.path.join(folder, name), SIZES[(number + sub) % len(SIZES)], seconds)
        write(os.path.join(root, top, "top file.txt"), 10 * top_number, local_seconds(2021, 5, 5))
    write(os.path.join(root, deep_branch(), "deep file.txt"), 3, local_seconds(2021, 3, 3))
    write(os.path.join(root, "Read Me.txt"), 100, local_seconds(2022, 2, 2))


def age_folders(root, seconds=OLD_FOLDER_TIME, changed_since=0):
    """Folders that changed within the last two seconds are checked again by every search, so the
    index is current only once its folders are older."""
    for parent, folders, _ in os.walk(root):
        for path in [parent] + [os.path.join(parent, name) for name in folders]:
            if os.stat(path).st_mtime >= changed_since:
                os.utime(path, (seconds, seconds))


def change_tree(root):
    """Changes no watcher sees; one folder's time is set back to what the index recorded."""
    def at(path):
        return os.path.join(root, path)
    write(at("Alpha Beta/Sub 0/report new.txt"), 2048, local_seconds(2021, 7, 7))
    write(at("MiXed Case/Brand New/inner/data_new.BIN"), 10, local_seconds(2021, 8, 8))
    os.remove(at("donn\u00e9es/Sub 1/report 000.TXT"))
    shutil.rmtree(at("\u65e5\u672c\u8a9e/Sub 2"))
    os.rename(at("Alpha Beta/Sub 1/Notes-1.md"), at("Alpha Beta/Sub 1/Renamed Notes.md"))
    os.rename(at("MiXed Case/Sub 2"), at("MiXed Case/Sub Two"))
    os.rename(at("donn\u00e9es/Sub 2"), at("Alpha Beta/Sub 2/moved here"))
    with open(at("MiXed Case/Sub 1/data_3.BIN"), "ab") as grown:
        grown.write(b"g" * 5000)
    old = local_seconds(2015, 1, 1)
    os.utime(at("Alpha Beta/Sub 0/Notes-6.md"), (old, old))
    shutil.rmtree(at("MiXed Case/Sub 0"))
    write(at("MiXed Case/Sub 0/report replaced.txt"), 7, local_seconds(2021, 10, 10))
    age_folders(root, OLD_FOLDER_TIME + 60, changed_since=time.time() - 60)
    os.utime(at("MiXed Case/Sub 0"), (OLD_FOLDER_TIME, OLD_FOLDER_TIME))
    hidden = at("\u65e5\u672c\u8a9e/Sub 0")
    write(os.path.join(hidden, "report behind.txt"), 1, local_seconds(2021, 9, 9))
    os.utime(hidden, (OLD_FOLDER_TIME, OLD_FOLDER_TIME))


def entry_count(root):
    return sum(len(folders) + len(files) for _, folders, files in os.walk(root))


def index_file_name(windows_root):
    """As the program names it: the FNV-1a hash of the folder's path and its last name."""
    hash_value = 14695981039346656037
    for byte in windows_root.encode("utf-8"):
        hash_value = ((hash_value ^ byte) * 1099511628211) % (1 << 64)
    tail = "".join(c if c.isascii() and (c.isalnum() or c in ".-_") else "_"
                   for c in windows_root.rstrip("\\").rsplit("\\", 1)[1][:40])
    return "%016x-%s.qfi" % (hash_value, tail)


def unescape_tsv(cell):
    return cell.replace("\\\\", "\0").replace("\\t", "\t").replace("\0", "\\")


class Cli:
    def __init__(self, wine, program, prefix):
        self.command = [wine, program]
        self.environment = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all",
                                WINEDLLOVERRIDES="mscoree=", TZ="Europe/Berlin", LANG="C.UTF-8",
                                LC_ALL="")
        self.failures = 0
        self.runs = 0

    def run(self, *arguments):
        """Output goes through files: Wine's server and helpers inherit it and would hold a pipe
        open for seconds after the program ended."""
        self.runs += 1
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            code = subprocess.run(self.command + list(arguments), stdout=out, stderr=err,
                                  env=self.environment, timeout=120).returncode
            out.seek(0)
            err.seek(0)
            return code, out.read().decode("utf-8"), err.read().decode("utf-8")

    def check(self, condition, what, detail=""):
        if not condition:
            self.failures += 1
            print("FAILED: %s %s" % (what, detail))
        return condition

    def state(self, windows_root):
        """(entries, state) of the folder's row of `index list --format tsv`; None without one."""
        _, out, _ = self.run("index", "list", "--format", "tsv")
        for line in out.splitlines()[1:]:
            cells = line.split("\t")
            if unescape_tsv(cells[0]) == windows_root:
                return cells[1], cells[4]
        return None

    def compare(self, windows_root, jobs):
        """Each search with the index against the walk; `jobs` run among them."""
        runs = []
        for number, (options, below) in enumerate(SEARCHES):
            folder = windows_root + windows_form(below)
            formats = FORMATS if not options else [FORMATS[number % len(FORMATS)]]
            runs += [["find", "--in", folder, "--format", f] + options for f in formats]
        with concurrent.futures.ThreadPoolExecutor(max_workers=4) as pool:
            side = [pool.submit(self.run, *job) for job in jobs]
            indexed = list(pool.map(lambda arguments: self.run(*arguments), runs))
            walked = list(pool.map(lambda arguments: self.run(*arguments, "--no-index"), runs))
        for arguments, with_index, walk in zip(runs, indexed, walked):
            first = next((pair for pair in itertools.zip_longest(
                with_index[1].splitlines(), walk[1].splitlines()) if pair[0] != pair[1]), None)
            self.check(walk[0] == 0, "nothing found: " + " ".join(arguments[3:]), walk[2])
            self.check(with_index == walk, "index differs from walk: " + " ".join(arguments[3:]),
                       "\n  first different rows (index, walk): %r %r" % (first, with_index[::2]))
        for job in side:
            self.check(job.result()[0] == 0, "side job failed:", repr(job.result()))
        return len(runs)


def check_states(cli, root, windows_root, index_file):
    entries = str(entry_count(root))
    code, out, _ = cli.run("index", "update")
    cli.check(code == 0 and "updated %s: %s entries\n" % (windows_root, entries) in out,
              "index update", out)
    cli.check(cli.state(windows_root) == (entries, "current"), "current after update")
    os.rename(root, root + " gone")
    cli.check(cli.state(windows_root) == (entries, "folder missing"), "folder missing")
    os.rename(root + " gone", root)
    cli.run("index", "update", windows_root)
    cli.check(cli.state(windows_root) == (entries, "current"), "current once back")

    with open(index_file, "r+b") as damaged:
        damaged.write(b"damage")
    windows_file = "C:" + windows_form(index_file.split("drive_c", 1)[1])
    cli.check(cli.state(windows_file) == ("", "damaged"), "damaged", cli.run("index", "list")[1])
    arguments = ["find", "--in", windows_root, "--name", "*.md"]
    cli.check(cli.run(*arguments) == cli.run(*arguments, "--no-index"), "walk with a damaged index")
    cli.check(cli.run("index", "update", windows_root)[0] == 0, "update of a damaged index")
    cli.check(cli.state(windows_root) == (entries, "current"), "rebuilt")

    cli.check(cli.run("index", "remove", windows_root)[0] == 0, "index remove")
    cli.check(cli.run("index", "remove", windows_root)[0] == 1, "second index remove")
    cli.check(cli.state(windows_root) is None and not os.path.exists(index_file), "removed")

    deep = windows_root + windows_form(deep_branch()) + "\\"
    arguments = ["find", "--in", deep, "--format", "tsv"]
    cli.check(cli.run("index", "add", deep)[0] == 0 and cli.state(deep) == ("1", "current") and
              cli.run(*arguments) == cli.run(*arguments, "--no-index") and
              cli.run("index", "remove", deep)[0] == 0, "index of a folder deeper than 260")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--windows-cli", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--wine", default="wine")
    arguments = parser.parse_args()
    if shutil.which(arguments.wine) is None:
        print("skipped: no Wine (%s)" % arguments.wine)
        return SKIPPED
    started = time.monotonic()
    cli = Cli(arguments.wine, arguments.windows_cli, arguments.prefix)
    # The first start makes the prefix when it is missing.
    if not cli.check(cli.run("--version")[0] == 0, "quillfen-cli.exe --version"):
        return 1
    workspace = tempfile.mkdtemp(prefix="qfidx-", dir=os.path.join(arguments.prefix, "drive_c"))
    root = os.path.join(workspace, "Indexed Tree")
    windows_root = "C:" + windows_form(root.split("drive_c", 1)[1]) + "\\"
    index_files = [os.path.join(arguments.prefix, "drive_c", "users", "*", "AppData", "Local",
                                "quillfen", "index", index_file_name(folder) + suffix)
                   for folder in (windows_root, windows_root + windows_form(deep_branch()) + "\\")
                   for suffix in ("", ".lock")]
    try:
        make_tree(root)
        age_folders(root)
        code, out, err = cli.run("index", "add", windows_root)
        cli.check(out == "indexed %s: %d entries\n" % (windows_root, entry_count(root)),
                  "index add", out + err)
        cli.check(cli.state(windows_root) == (str(entry_count(root)), "current"), "current",
                  cli.state(windows_root))
        compared = cli.compare(windows_root, [["index", "add", windows_root]] * 2)

        recorded = str(entry_count(root))
        change_tree(root)
        cli.check(cli.state(windows_root) == (recorded, "needs checking"), "needs checking",
                  cli.state(windows_root))
        cli.run("find", "--in", windows_root, "--name", "nothing at all")
        cli.check(cli.state(windows_root) == (str(entry_count(root)), "current"),
                  "a search brings the index up to date", cli.state(windows_root))
        compared += cli.compare(windows_root, [])

        found = glob.glob(index_files[0])
        if cli.check(len(found) == 1, "one index file", index_files[0]):
            check_states(cli, root, windows_root, found[0])
    finally:
        for left in [left for pattern in index_files for left in glob.glob(pattern)]:
            os.remove(left)
        shutil.rmtree(workspace, ignore_errors=True)
    print("%d searches compared, %d runs, %d failures, %.1f s" %
          (compared, cli.runs, cli.failures, time.monotonic() - started))
    return 1 if cli.failures else 0


if __name__ == "__main__":
    sys.exit(main())
