"""Tape files for the benchmarks' images: a header block and a data block."""
import struct


def block(flag, payload):
    check = flag
    for byte in payload:
        check ^= byte
    return struct.pack('<HB', len(payload) + 2, flag) + payload + bytes([check])


def code_file(name, payload):
    """A code file loading at 32768, as its two blocks."""
    header = struct.pack('<B10sHHH', 3, name.ljust(10), len(payload), 32768, 32768)
    return block(0x00, header) + block(0xFF, payload)
