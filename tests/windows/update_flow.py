#!/usr/bin/env python3
"""Updates a copy of this build to the next version under Wine, as "quillfen.exe /Update" does it
for a user, against an update server on 127.0.0.1, in a Wine prefix of its own (made on the first
run and kept in the build folder).

--copy portable: a folder unpacked from this build's portable archive (its path has a blank) is
offered the next version's archive, packed and signed with the build's test key as a release
packs and signs one. Served first with the signature of another file, the copy keeps its version
and files and nothing stays in the downloads folder; served with its own signature, the copy's
quillfen-cli.exe then answers the next version, its settings file is kept and the downloads
folder is empty; the next "/Update", told of nothing newer, removes the work folder of the update
with the quillfen.exe that had to be moved aside while it ran.

--copy setup: this build's setup installs the copy silently into a folder whose path has a blank;
offered the next version's setup, signed, "/Update" starts that setup detached, which replaces
the programs once the one that started it has ended: the installed quillfen-cli.exe answers the
next version and the uninstall entry names it. The next "/Update", told of nothing newer, removes
the setup from the downloads folder. The copy is uninstalled at the end, and with it what the
update kept in the user's folder.

Each step is one Wine start or a few: the programs, a batch file, the setups."""

import argparse
import hashlib
import http.server
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import zipfile

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from cli_drives import SKIPPED, Checker, locked_prefix  # noqa: E402

SOURCE = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
WORK = "qfupdate"
WORK_WINDOWS = "C:\\" + WORK
PORTABLE_FOLDER = WORK_WINDOWS + "\\Portable copy"
INSTALL_FOLDER = WORK_WINDOWS + "\\Installed copy"
UNINSTALL_KEY = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillfen"
# A busy Wine now and then fails to start a process's DLLs before any of its code runs (exit
# status 0x42); such a start did nothing and is tried again.
DLL_INIT_FAILED_EXIT = 0x42
# cmd's exit code when it could not start a program at all, which a busy Wine now and then
# refuses with an internal error: such a start did nothing either.
START_FAILED_EXIT = 9009
ATTEMPTS = 3
# How long the detached setup may take to replace the programs: it waits up to a minute for the
# program that started it.
SETUP_WAIT_SECONDS = 120


class UpdateServer:
    """Answers the version request with `answer` and /files/NAME with the bytes `files` holds for
    NAME; records every request path."""

    def __init__(self):
        self.answer = ""
        self.files = {}
        self.requests = []
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                server.requests.append(self.path)
                if self.path.startswith("/Quillfen/index.asp?"):
                    body = server.answer.encode("ascii")
                else:
                    body = server.files.get(self.path[len("/files/"):])
                if body is None:
                    self.send_error(404)
                    return
                self.send_response(200)
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

            def log_message(self, *_):
                pass

        self.http = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.base = "http://127.0.0.1:%d" % self.http.server_address[1]
        threading.Thread(target=self.http.serve_forever, daemon=True).start()

    def announce(self, version, names):
        """The answer for `version`, whose links are the served files of `names`."""
        links = ";".join("%s/files/%s" % (self.base, name) for name in names)
        sizes = ";".join(str(len(self.files[name])) for name in names)
        self.answer = "[Begin]\r\nVer=%s\r\nLink=%s\r\nSize=%s\r\n[End]\r\n" % (
            version, links, sizes)

    def fetched(self):
        """The paths asked for since the last call, the version request left out."""
        paths = [path for path in self.requests if not path.startswith("/Quillfen/")]
        self.requests = []
        return paths


class UpdateRun:
    def __init__(self, prefix, arguments, server):
        self.prefix = prefix
        self.arguments = arguments
        self.server = server
        self.work = os.path.join(prefix.drive_c, WORK)
        self.scratch = tempfile.mkdtemp(prefix="quillfen-update-flow-")
        prefix.environment["QUILLFEN_UPDATE_BASE"] = server.base
        # Shortcuts would otherwise become menu entries of the Linux desktop.
        prefix.environment["WINEDLLOVERRIDES"] = "mscoree,mshtml,winemenubuilder.exe="
        local = self.wine(["cmd", "/c", "echo %LOCALAPPDATA%"]).stdout
        self.local = prefix.linux_path(local.decode("utf-8", "replace").strip())
        self.downloads = os.path.join(self.local, "quillfen", "update", "downloads")

    def wine(self, arguments):
        for _ in range(ATTEMPTS):
            answer = self.prefix.run_captured([self.prefix.wine] + arguments, self.work)
            if answer.returncode not in (DLL_INIT_FAILED_EXIT, START_FAILED_EXIT):
                return answer
        return answer

    def batch(self, name, lines):
        script = os.path.join(self.work, name)
        with open(script, "w", newline="") as out:
            out.write("\r\n".join(["@echo off"] + lines) + "\r\n")
        return self.wine(["cmd", "/c", WORK_WINDOWS + "\\" + name])

    def version_of(self, folder):
        answer = self.wine([folder + "\\quillfen-cli.exe", "--version"])
        lines = answer.stdout.decode("utf-8", "replace").splitlines()
        return lines[0].strip() if lines else "exit code %d" % answer.returncode

    def update(self, folder):
        return self.wine([folder + "\\quillfen.exe", "/Update"]).returncode

    def downloaded(self):
        return sorted(os.listdir(self.downloads)) if os.path.isdir(self.downloads) else []

    def serve_signed(self, path, name, signature_of=None):
        """Serves the file under `name` with the signature of `signature_of` (the file itself
        unless given) beside it."""
        signed = signature_of or path
        subprocess.run(["bash", os.path.join(SOURCE, "scripts", "sign-file.sh"), signed,
                        self.arguments.key], check=True, stdout=subprocess.DEVNULL)
        with open(path, "rb") as body, open(signed + ".sig", "rb") as signature:
            self.server.files = {name: body.read(), name + ".sig": signature.read()}

    def portable_archive(self, programs, output):
        subprocess.run(["bash", os.path.join(SOURCE, "scripts", "portable-zip.sh"), "--strip",
                        self.arguments.strip, output, os.path.join(SOURCE, "LICENSE"),
                        os.path.join(self.arguments.bin, "Language")] +
                       [os.path.join(programs, name) for name in ("quillfen.exe",
                                                                  "quillfen-cli.exe")],
                       check=True, stdout=subprocess.DEVNULL)
        return output

    def cleanup(self):
        shutil.rmtree(self.scratch, ignore_errors=True)
        shutil.rmtree(self.work, ignore_errors=True)
        shutil.rmtree(os.path.join(self.local, "quillfen"), ignore_errors=True)


def digests(folder):
    state = {}
    for parent, _, files in os.walk(folder):
        for name in files:
            path = os.path.join(parent, name)
            with open(path, "rb") as body:
                state[os.path.relpath(path, folder)] = hashlib.sha256(body.read()).hexdigest()
    return state


def check_portable(run, check):
    arguments = run.arguments
    name = "quillfen-%s-windows-x64.zip" % arguments.next_version
    expected_fetches = ["/files/" + name, "/files/" + name + ".sig"]
    folder = run.prefix.linux_path(PORTABLE_FOLDER)
    current = run.portable_archive(arguments.bin, os.path.join(run.scratch, "current.zip"))
    subprocess.run(["unzip", "-q", current, "-d", folder], check=True)
    settings = os.path.join(folder, "user.computer.ini")
    with open(settings, "wb") as out:
        out.write(b"[Config]\r\nShowSelfIcon=Y\r\n")
    check.expect(run.version_of(PORTABLE_FOLDER) == "quillfen-cli " + arguments.version,
                 "the portable copy answers %s" % run.version_of(PORTABLE_FOLDER))
    archive = run.portable_archive(arguments.next, os.path.join(run.scratch, name))

    before = digests(folder)
    run.serve_signed(archive, name, signature_of=current)
    run.server.announce(arguments.next_version, [name])
    status = run.update(PORTABLE_FOLDER)
    version = run.version_of(PORTABLE_FOLDER)
    check.expect(status == 0 and version == "quillfen-cli " + arguments.version,
                 "another file's signature: /Update exit code %d, the copy answers %s" % (
                     status, version))
    check.expect(digests(folder) == before, "another file's signature changed the folder")
    check.expect(run.server.fetched() == expected_fetches, "another file's signature: fetched")
    check.expect(run.downloaded() == [], "another file's signature left downloads: %s" %
                 run.downloaded())

    run.serve_signed(archive, name)
    status = run.update(PORTABLE_FOLDER)
    version = run.version_of(PORTABLE_FOLDER)
    check.expect(status == 0 and version == "quillfen-cli " + arguments.next_version,
                 "signed: /Update exit code %d, the copy answers %s, expected %s" % (
                     status, version, arguments.next_version))
    check.expect(run.server.fetched() == expected_fetches, "signed: fetched")
    check.expect(run.downloaded() == [], "the update left downloads: %s" % run.downloaded())
    with zipfile.ZipFile(archive) as packed, \
            open(os.path.join(folder, "quillfen.exe"), "rb") as program:
        check.expect(program.read() == packed.read("quillfen.exe"),
                     "the quillfen.exe that ran the update is replaced by the archive's")
    with open(settings, "rb") as kept:
        check.expect(kept.read() == b"[Config]\r\nShowSelfIcon=Y\r\n", "the settings are kept")
    programs = {"Language", "LICENSE", "quillfen.exe", "quillfen-cli.exe", "user.computer.ini"}
    # The quillfen.exe that ran the update could not be removed while it ran: the next run
    # removes it with the work folder.
    check.expect(run.version_of(PORTABLE_FOLDER) == "quillfen-cli " + arguments.next_version,
                 "the updated copy starts again")
    status = run.update(PORTABLE_FOLDER)
    left = sorted(set(os.listdir(folder)) - programs)
    check.expect(status == 0 and left == [] and run.server.fetched() == [],
                 "the next /Update: exit code %d, left in the program folder: %s" % (status, left))


def installed_version_record(run):
    run.batch("version.bat", ['reg query "%s" /v DisplayVersion > %s\\version.txt' % (
        UNINSTALL_KEY, WORK_WINDOWS)])
    with open(os.path.join(run.work, "version.txt"), "rb") as text:
        return text.read().decode("utf-8", "replace")


def check_setup(run, check):
    arguments = run.arguments
    name = "QuillfenSetup-%s.exe" % arguments.next_version
    shutil.copy2(arguments.setup, run.work)
    # "/D=" comes last and unquoted, blanks and all, as the update passes it.
    run.batch("install.bat", ['"%s\\%s" /S /D=%s' % (
        WORK_WINDOWS, os.path.basename(arguments.setup), INSTALL_FOLDER)])
    version = run.version_of(INSTALL_FOLDER)
    check.expect(version == "quillfen-cli " + arguments.version,
                 "the installed copy answers %s" % version)
    if version != "quillfen-cli " + arguments.version:
        return

    run.serve_signed(arguments.next_setup, name)
    run.server.announce(arguments.next_version, [name])
    status = run.update(INSTALL_FOLDER)
    check.expect(status == 0, "/Update exit code %d" % status)
    # The setup runs detached: it has ended when the prefix's last process has. Asking the
    # installed copy for its version meanwhile would run a program of the folder, which the setup
    # waits for.
    try:
        subprocess.run(["wineserver", "--wait"], env=run.prefix.environment,
                       timeout=SETUP_WAIT_SECONDS, check=False)
    except subprocess.TimeoutExpired:
        pass
    version = run.version_of(INSTALL_FOLDER)
    check.expect(version == "quillfen-cli " + arguments.next_version,
                 "after the update's setup the installed copy answers %s, expected %s" % (
                     version, arguments.next_version))
    check.expect(run.server.fetched() == ["/files/" + name, "/files/" + name + ".sig"],
                 "the installed copy fetched the setup and its signature")
    record = installed_version_record(run)
    check.expect(arguments.next_version in record, "the uninstall entry names %s: %s" % (
        arguments.next_version, record))

    run.server.announce(arguments.next_version, [name])
    status = run.update(INSTALL_FOLDER)
    check.expect(status == 0 and run.downloaded() == [],
                 "the next /Update: exit code %d, downloads %s" % (status, run.downloaded()))
    check.expect(run.server.fetched() == [], "nothing newer, nothing fetched")


def uninstall(run, check):
    """What the update kept in the user's folder goes with the copy: after the last update there
    are no downloads either."""
    # "_?=" comes last and unquoted, as "/D=" does.
    run.batch("uninstall.bat", ['"%s\\Uninstall.exe" /S _?=%s' % (INSTALL_FOLDER, INSTALL_FOLDER),
                                "echo %%errorlevel%% > %s\\uninstalled.txt" % WORK_WINDOWS])
    with open(os.path.join(run.work, "uninstalled.txt"), "rb") as text:
        status = text.read().decode("ascii", "replace").strip()
    check.expect(status == "0", "uninstall: exit code %s" % status)
    user_folder = os.path.join(run.local, "quillfen")
    left = sorted(os.path.relpath(os.path.join(parent, name), user_folder)
                  for parent, folders, files in os.walk(user_folder) for name in folders + files)
    check.expect(left == [] and not os.path.exists(user_folder),
                 "the uninstaller left in %s: %s" % (user_folder, left))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--copy", choices=["portable", "setup"], required=True)
    parser.add_argument("--bin", required=True, help="this build's programs")
    parser.add_argument("--next", required=True, help="the next-version programs")
    parser.add_argument("--version", required=True)
    parser.add_argument("--next-version", required=True)
    parser.add_argument("--key", required=True, help="the private test key updates are signed with")
    parser.add_argument("--strip", required=True, help="the strip tool for Windows programs")
    parser.add_argument("--setup", help="this build's setup program")
    parser.add_argument("--next-setup", help="the next version's setup program")
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--wine", default="wine")
    arguments = parser.parse_args()
    needed = [arguments.key] + ([arguments.setup, arguments.next_setup]
                                if arguments.copy == "setup" else [])
    if not all(path and os.path.isfile(path) for path in needed) or \
            shutil.which(arguments.wine) is None or shutil.which("wineserver") is None:
        print("skipped: needs %s, wine and wineserver" % ", ".join(map(str, needed)))
        return SKIPPED

    check = Checker()
    started = time.monotonic()
    with locked_prefix(arguments.prefix, arguments.wine) as prefix:
        server = UpdateServer()
        shutil.rmtree(os.path.join(prefix.drive_c, WORK), ignore_errors=True)
        os.makedirs(os.path.join(prefix.drive_c, WORK))
        run = UpdateRun(prefix, arguments, server)
        try:
            if arguments.copy == "portable":
                check_portable(run, check)
            else:
                try:
                    check_setup(run, check)
                finally:
                    uninstall(run, check)
        finally:
            run.cleanup()
            server.http.shutdown()

    for failure in check.failures:
        print("FAILED: " + failure)
    print("%d checks of the %s copy's update to %s, %d failed, in %.0f s" % (
        check.count, arguments.copy, arguments.next_version, len(check.failures),
        time.monotonic() - started))
    return 1 if check.failures else 0


if __name__ == "__main__":
    sys.exit(main())
