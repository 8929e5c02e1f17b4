#!/usr/bin/env python3
"""Appends a setup document to a program file: the UTF-8 text, then its length as 4 little-endian bytes."""
import struct
import sys


def main():
    program, document = sys.argv[1], sys.argv[2]
    with open(document, "rb") as source:
        text = source.read()
    if not text:
        sys.exit(f"{document}: empty document")
    with open(program, "ab") as target:
        target.write(text + struct.pack("<I", len(text)))


if __name__ == "__main__":
    main()
