#!/usr/bin/env python3
"""Makes the updates of the version check's tests from the process tests' child (ArgvEcho.cpp),
which the build then signs: update.zip, whose quillfen-cli.exe answers "--version" with version
9.9, and setup.exe, which records how a setup would have been started.
Usage: make_signed_updates.py CHILD_PROGRAM FOLDER"""

import os
import shutil
import sys
import zipfile

child, folder = sys.argv[1:3]
os.makedirs(folder, exist_ok=True)
with zipfile.ZipFile(os.path.join(folder, "update.zip"), "w", zipfile.ZIP_DEFLATED) as archive:
    archive.write(child, "quillfen-cli.exe")
    archive.writestr("quillfen-cli.answer", "0\nquillfen-cli 9.9\n")
shutil.copyfile(child, os.path.join(folder, "setup.exe"))
