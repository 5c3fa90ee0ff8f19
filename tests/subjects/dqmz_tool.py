#!/usr/bin/python3
"""Reads and writes subject export packages independently of the program,
with the standard library only.

  dqmz_tool.py read PACKAGE
      one line per entry: name, uncompressed size, sha256 of the content
  dqmz_tool.py write PACKAGE [--pad N] FILE...
      one entry per file, named by its base name; --pad adds N zero bytes
      after each name inside the name field
"""
import hashlib
import os
import struct
import sys
import zlib


def read(path):
    with open(path, "rb") as package:
        data = package.read()
    at = 0
    while at < len(data):
        (n,) = struct.unpack_from("<i", data, at)
        at += 4
        name = data[at:at + n].split(b"\0", 1)[0].decode("utf-8")
        at += n
        (m,) = struct.unpack_from("<i", data, at)
        at += 4
        block = data[at:at + m]
        at += m
        if len(block) != m:
            raise SystemExit("cut entry " + name)
        (size,) = struct.unpack_from(">I", block, 0)
        content = zlib.decompress(block[4:])
        if len(content) != size:
            raise SystemExit("wrong length in " + name)
        print("%s\t%d\t%s" % (name, size, hashlib.sha256(content).hexdigest()))


def write(path, files, pad):
    with open(path, "wb") as package:
        for file in files:
            with open(file, "rb") as source:
                content = source.read()
            name = os.path.basename(file).encode("utf-8") + b"\0" * pad
            block = struct.pack(">I", len(content)) + zlib.compress(content, 1)
            package.write(struct.pack("<i", len(name)) + name + struct.pack("<i", len(block)) + block)


def main():
    if sys.argv[1] == "read":
        read(sys.argv[2])
    else:
        args = sys.argv[3:]
        pad = 0
        if args[0] == "--pad":
            pad = int(args[1])
            args = args[2:]
        write(sys.argv[2], args, pad)


if __name__ == "__main__":
    main()
