#!/usr/bin/env python3
"""Writes a sample firmware image for trying the tool: 256 KiB of a fixed byte
pattern with the two ID strings at bytes 32-44 and 48-58 and the boot marker
E3 00 00 10 at offset 0x8000. The file is the same on every run, so its CRC-32
is always the one the README shows.

Usage: make_sample_image.py [OUTPUT]   (default: firmware.bin)
"""
import sys
import zlib

SIZE = 256 * 1024
MARKER_AT = 0x8000
MARKER = bytes([0xE3, 0x00, 0x00, 0x10])
ID1 = b"ZELQ-BOOT-1.2"  # bytes 32..44, 13 bytes
ID2 = b"20240117A01"    # bytes 48..58, 11 bytes


def sample_image():
    data = bytearray((i * 31 + (i >> 8)) & 0x7F for i in range(SIZE))  # never 0xE3: no stray marker
    data[32:32 + len(ID1)] = ID1
    data[48:48 + len(ID2)] = ID2
    data[MARKER_AT:MARKER_AT + 4] = MARKER
    return bytes(data)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "firmware.bin"
    data = sample_image()
    with open(out, "wb") as f:
        f.write(data)
    print("%s: %d bytes, boot marker at 0x%X, CRC-32 %08X" % (out, len(data), MARKER_AT, zlib.crc32(data)))


if __name__ == "__main__":
    main()
