#!/usr/bin/env python3
"""Lays out a distribution medium: SETUP.EXE, SETUP.INF and every file that the script's disk
sections name. A source name ending in "_" is made by compressing the file of the target name
with mscompress (SZDD); any other source is copied as it is.

Usage: make-medium.py SAMPLE_DIR SETUP_EXE OUT_DIR
SAMPLE_DIR holds SETUP.INF and files/ with the originals under their target names."""
import configparser
import os
import shutil
import subprocess
import sys
import tempfile


def file_lines(script_path):
    parser = configparser.ConfigParser(strict=False, interpolation=None, allow_no_value=True,
                                       delimiters=("=",), comment_prefixes=(";",))
    parser.optionxform = str
    with open(script_path, encoding="latin-1") as f:
        # The registry section holds lines without "=", which the parser takes as bare keys.
        parser.read_file(f)
    for section in parser.sections():
        if not section.lower().startswith("disk") or not section[4:].isdigit():
            continue
        for _, value in parser.items(section):
            if value:
                fields = [part.strip().strip('"') for part in value.split(",")]
                yield fields[0], fields[1]


def main():
    sample, setup_exe, out = sys.argv[1:4]
    os.makedirs(out, exist_ok=True)
    shutil.copyfile(setup_exe, os.path.join(out, "SETUP.EXE"))
    shutil.copyfile(os.path.join(sample, "SETUP.INF"), os.path.join(out, "SETUP.INF"))
    for source, target in file_lines(os.path.join(sample, "SETUP.INF")):
        original = os.path.join(sample, "files", target)
        if not source.endswith("_"):
            shutil.copyfile(original, os.path.join(out, source))
            continue
        if os.path.getsize(original) < 16:
            sys.exit(f"{target}: mscompress corrupts files under 16 bytes; keep it plain")
        with tempfile.TemporaryDirectory() as work:
            copy = os.path.join(work, target)
            shutil.copyfile(original, copy)
            subprocess.run(["mscompress", copy], check=True)
            shutil.move(copy + "_", os.path.join(out, source))


if __name__ == "__main__":
    main()
