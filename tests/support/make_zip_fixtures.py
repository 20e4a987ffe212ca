"""Makes the archives the ZIP reader's tests read, once per build, with the writers they come from
in the field: Info-ZIP's zip, Python's zipfile and CMake's tar. The tests compute the same member
contents themselves, so text() and noise() must stay in step with tests/support/ZipFixtures.h.

Arguments: output folder, zip program, cmake program."""

import os
import shutil
import subprocess
import sys
import zipfile


def text(size):
    out, line = "", 0
    while len(out) < size:
        out += "line %d of the notes\n" % line
        line += 1
    return out[:size].encode()


def noise(size):
    state, out = 2463534242, bytearray(size)
    for i in range(size):
        state ^= (state << 13) & 0xFFFFFFFF
        state ^= state >> 17
        state ^= (state << 5) & 0xFFFFFFFF
        out[i] = state & 0xFF
    return bytes(out)


# Every entry is dated 2021-06-15 13:45:30.
def python_zip(out, method, members, system=3, mode="644", extra="", comment=""):
    with zipfile.ZipFile(out, "w") as archive:
        for name, data in members:
            info = zipfile.ZipInfo(name, date_time=(2021, 6, 15, 13, 45, 30))
            info.compress_type, info.create_system = method, system
            info.external_attr = int(mode, 8) << 16
            info.extra, info.comment = bytes.fromhex(extra), comment.encode()
            archive.writestr(info, data)


def write_inputs(folder, members):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for name, data in members:
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


def info_zip(zip_program, out, level, members, inputs):
    write_inputs(inputs, members)
    sources = [os.path.join(inputs, name) for name, _ in members]
    subprocess.run([zip_program, "-q", "-j", level, out] + sources, check=True)


def cmake_tar(cmake_program, out, members, inputs):
    write_inputs(inputs, members)
    names = [name for name, _ in members]
    subprocess.run([cmake_program, "-E", "tar", "cf", out, "--format=zip"] + names,
                   cwd=inputs, check=True)


def main():
    folder, zip_program, cmake_program = sys.argv[1:4]
    os.makedirs(folder, exist_ok=True)
    inputs = os.path.join(folder, "in")
    path = lambda name: os.path.join(folder, name)
    for name in os.listdir(folder):
        if name.endswith(".zip"):
            os.remove(path(name))

    tools = [("notes.txt", text(70000)), ("noise.bin", noise(50000)),
             ("five.dat", noise(5000)), ("empty.txt", b"")]
    info_zip(zip_program, path("tools-zip-stored.zip"), "-0", tools, inputs)
    info_zip(zip_program, path("tools-zip-deflated.zip"), "-9", tools, inputs)
    python_zip(path("tools-python-stored.zip"), zipfile.ZIP_STORED, tools)
    python_zip(path("tools-python-deflated.zip"), zipfile.ZIP_DEFLATED, tools)
    cmake_tar(cmake_program, path("tools-cmake-tar.zip"), tools, inputs)

    python_zip(path("damage-deflated.zip"), zipfile.ZIP_DEFLATED, [("a.txt", text(5000))])
    python_zip(path("damage-stored.zip"), zipfile.ZIP_STORED, [("a.txt", text(5000))])
    python_zip(path("fields.zip"), zipfile.ZIP_DEFLATED, [("n" * 260, text(3000))],
               extra="cafe0400deadbeef", comment="hello")
    for system, mode in (("3", "754"), ("0", "754"), ("3", "0")):
        python_zip(path("mode-%s-%s.zip" % (system, mode)), zipfile.ZIP_STORED,
                   [("tool", b"#!/bin/sh\n")], system=int(system), mode=mode)
    info_zip(zip_program, path("abc-zip-stored.zip"), "-0", [("a.txt", b"abc")], inputs)
    python_zip(path("abc-python-stored.zip"), zipfile.ZIP_STORED, [("a.txt", b"abc")])

    shutil.rmtree(inputs)
    with open(path("fixtures.stamp"), "w") as stamp:
        stamp.write("made\n")


if __name__ == "__main__":
    main()
