#!/usr/bin/env python3
"""Runs quillfen-cli.exe under Wine and the Linux quillfen-cli on one folder tree (reached as
Z:\\... from Wine) and checks that both print the same rows in the same order, the type texts
aside (each system names types its own way), and end with the same status.

The tree sits on a tmpfs when one is at hand: there the listing order follows the order of
creation, so the tree is made in the order Windows lists names (sorted), and both programs walk
it alike. Elsewhere the listing order is the file system's own, and only --sort runs can be
compared in order; the others are then compared as sets and the script says so."""

import argparse
import concurrent.futures
import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIPPED = 77
TYPE_COLUMN = 2


def listing_follows_creation(base):
    """True when the file system lists names newest first, False when oldest first, None when
    its order is its own."""
    probe = tempfile.mkdtemp(prefix="quillfen-order-", dir=base)
    try:
        for name in ("b", "c", "a"):
            open(os.path.join(probe, name), "w").close()
        order = os.listdir(probe)
    finally:
        shutil.rmtree(probe)
    if order == ["a", "c", "b"]:
        return True
    if order == ["b", "c", "a"]:
        return False
    return None


def local_seconds(year, month, day, hour=12, minute=0, second=0):
    return time.mktime((year, month, day, hour, minute, second, 0, 0, -1))


def tree_entries():
    """(relative path, contents or None for a folder, modification time) in sorted order;
    names in lower case, so that every collation sorts them alike."""
    reference = b"the same body, copied around"
    entries = []
    for top in range(6):
        folder = "d%02d" % top
        entries.append((folder, None, local_seconds(2023, 6, 1 + top)))
        for sub in range(3):
            inner = "%s/s%d" % (folder, sub)
            entries.append((inner, None, local_seconds(2024, 1, 10 + sub)))
            for index in range(12):
                number = top * 100 + sub * 20 + index
                extension = (".txt", ".log", ".bin", ".dat")[index % 4]
                name = "%s/f%03d%s" % (inner, number, extension)
                size = (0, 10, 1023, 1024, 10240, 102400, 102401, 150000)[number % 8]
                body = bytes((number + i) % 251 for i in range(size))
                if number % 7 == 0:
                    body += b" needle "
                if number % 11 == 0:
                    body += "Needle".encode("utf-16-le")
                if number % 13 == 0:
                    body = reference
                month, day = 1 + number % 12, 1 + number % 28
                entries.append((name, body, local_seconds(2024, month, day, number % 24,
                                                          number % 60, number % 59)))
        entries.append(("%s/gr\u00fc\u00dfe-%d.txt" % (folder, top), b"needle", local_seconds(2024, 3, 1)))
    reference_time = local_seconds(2024, 3, 31, 23, 59, 59)
    entries.append(("ref.txt", reference, reference_time))
    entries.append(("d01/ref.log", reference, reference_time))
    entries.append(("d02/s1/ref.txt", b"another body", local_seconds(2024, 4, 1)))
    return sorted(entries, key=lambda entry: entry[0].split("/"))


def make_tree(root, newest_first):
    """Makes each folder's entries in the order that lists them sorted."""
    entries = tree_entries()
    children = {}
    for path, body, _ in entries:
        children.setdefault(os.path.dirname(path), []).append((path, body))
    pending = [""]
    while pending:
        parent = pending.pop()
        names = children.get(parent, [])
        for path, body in (reversed(names) if newest_first else names):
            target = os.path.join(root, path)
            if body is None:
                os.makedirs(target)
                pending.append(path)
            else:
                with open(target, "wb") as out:
                    out.write(body)
    for path, _, seconds in entries:
        os.utime(os.path.join(root, path), (seconds, seconds))


def unescape_tsv(cell):
    out, i = [], 0
    while i < len(cell):
        if cell[i] == "\\" and i + 1 < len(cell):
            following = cell[i + 1]
            out.append({"\\": "\\", "t": "\t", "r": "\r", "n": "\n"}.get(following, "\\" + following))
            i += 2
        else:
            out.append(cell[i])
            i += 1
    return "".join(out)


def linux_form(windows_path):
    if windows_path.upper().startswith("Z:"):
        windows_path = windows_path[2:]
    return windows_path.replace("\\", "/")


def rows_of(output, windows):
    rows = []
    for line in output.decode("utf-8").splitlines()[1:]:
        cells = [unescape_tsv(cell) for cell in line.split("\t")]
        del cells[TYPE_COLUMN]
        if windows:
            cells[1] = linux_form(cells[1])
        rows.append(cells)
    return rows


def searches(root, windows_root):
    """(arguments for Linux, arguments for Windows, whether the rows are sorted by the program)"""
    reference_linux = root + "/ref.txt"
    reference_windows = windows_root + "\\ref.txt"
    finds = [
        ["--name", "*.txt"],
        ["--name", "f0* *.log"],
        ["--name", "gr\u00dc*"],
        ["--name", "d0*", "--no-subfolders"],
        [],
        ["--size", "small"],
        ["--size-at-least", "100"],
        ["--size-at-most", "1"],
        ["--modified-between", "2024-03-01", "2024-03-31"],
        ["--modified-between", "2023-06-01", "2023-06-03"],
        ["--text", "needle"],
        ["--text", "needle", "--match-case"],
        ["--text", "NEEDLE", "--encodings", "unicode"],
        ["--hex", "6e 65 * 6c 65"],
        ["--name", "*.bin", "--text", "needle", "--size-at-least", "1"],
        ["--sort", "size", "name"],
        ["--sort", "modified"],
        ["--sort", "name", "name"],
        ["--name", "*.dat", "--sort", "folder", "size"],
    ]
    for options in finds:
        common = options + ["--format", "tsv", "--quiet"]
        yield (["find", "--in", root] + common, ["find", "--in", windows_root] + common,
               "--sort" in options)
    dupes = [["--match-body"], ["--match-name", "--no-match-body"], ["--match-extension"],
             ["--match-time"], ["--match-name", "--match-extension", "--match-time"]]
    for options in dupes:
        common = options + ["--format", "tsv", "--quiet"]
        yield (["dupes", reference_linux, "--in", root] + common,
               ["dupes", reference_windows, "--in", windows_root] + common, False)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--linux-cli", required=True)
    parser.add_argument("--windows-cli", required=True)
    parser.add_argument("--wine", default="wine")
    arguments = parser.parse_args()
    if not os.access(arguments.linux_cli, os.X_OK):
        print("skipped: no Linux quillfen-cli at %s (build the dev preset first, or set "
              "QUILLFEN_LINUX_CLI)" % arguments.linux_cli)
        return SKIPPED

    base = "/dev/shm" if os.access("/dev/shm", os.W_OK) else tempfile.gettempdir()
    newest_first = listing_follows_creation(base)
    if newest_first is None:
        base = tempfile.gettempdir()
    workspace = tempfile.mkdtemp(prefix="quillfen-differential-", dir=base)
    failures = 0
    try:
        root = os.path.join(workspace, "tree")
        os.makedirs(root)
        make_tree(root, newest_first)
        windows_root = "Z:" + root.replace("/", "\\")
        # Both programs read the same zone; the settings files land in a private folder each.
        environment = dict(os.environ, TZ="Europe/Berlin", LANG="C.UTF-8", LC_ALL="",
                           HOME=workspace, XDG_CONFIG_HOME=workspace, XDG_DATA_HOME=workspace)
        def run_both(search):
            linux_arguments, windows_arguments, _ = search
            linux = subprocess.run([arguments.linux_cli] + linux_arguments, capture_output=True,
                                   env=environment, timeout=120)
            windows = subprocess.run([arguments.wine, arguments.windows_cli] + windows_arguments,
                                     capture_output=True, env=environment, timeout=300)
            return linux, windows

        # Each Wine start waits more than it computes, so a few run at once.
        all_searches = list(searches(root, windows_root))
        with concurrent.futures.ThreadPoolExecutor(max_workers=4) as pool:
            results = list(pool.map(run_both, all_searches))
        for (linux_arguments, _, sorted_by_program), (linux, windows) in zip(all_searches, results):
            linux_rows, windows_rows = rows_of(linux.stdout, False), rows_of(windows.stdout, True)
            in_order = newest_first is not None or sorted_by_program
            if not in_order:
                linux_rows, windows_rows = sorted(linux_rows), sorted(windows_rows)
            shown = " ".join(linux_arguments[3:] if linux_arguments[0] == "find" else linux_arguments[4:])
            if linux.returncode != windows.returncode or linux_rows != windows_rows:
                failures += 1
                print("DIFFERENT: %s (status %d and %d)" % (shown, linux.returncode, windows.returncode))
                print("  Linux stderr: %s" % linux.stderr.decode("utf-8", "replace").strip())
                print("  Windows stderr: %s" % windows.stderr.decode("utf-8", "replace").strip())
                for left, right in zip(linux_rows + [None] * len(windows_rows),
                                       windows_rows + [None] * len(linux_rows)):
                    if left != right:
                        print("  first difference:\n    Linux:   %s\n    Windows: %s" % (left, right))
                        break
            else:
                print("same %3d rows%s: %s" % (len(linux_rows), "" if in_order else " (as sets)", shown))
    finally:
        shutil.rmtree(workspace, ignore_errors=True)
    if newest_first is None:
        print("note: %s lists names in an order of its own; unsorted runs were compared as sets" % base)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
