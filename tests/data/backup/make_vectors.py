#!/usr/bin/env python3
"""Writes the back-up file vectors of this folder. Run from anywhere; the files land beside it."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
MAGIC = bytes([0x00, 0x06, 0x02, 0x07, 0x09, 0x04, 0x01, 0x01, 0x03])


def check(record, position):
    return (~(record[position] * 51)) & 0xFF


def record(monitor_id, serial, model, values):
    assert len(serial) == 13 and len(model) == 13 and len(values) == 24
    return bytearray([monitor_id]) + serial.encode() + model.encode() + bytes(values) + b"\0"


def wall_values(i):
    # MIN SCM CON BRL SHA HUE SAT BRI GAC VWM CCT USR USG USB UOR UOG UOB VWS POD POE VDL VWF MAT DIV
    column, row = i % 5 + 1, i // 5 + 1
    return [9, i % 5, 50, 50 + i, 12, 50, 50, 80 - i, 1, 1, 33, 128, 130, 126, 50, 49, 51, 1, i % 31,
            i % 20, 1 + i % 4, 1, 0x55, (column << 4) | row]


def file_bytes(records):
    out = bytearray(MAGIC) + bytes([len(records)])
    for position, rec in enumerate(records):
        rec = bytearray(rec)
        rec[51] = check(rec, position)
        out += rec
    return out


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


one = record(1, "SN0A1B2C3D4E5", "VW55-A1      ",
             [9, 0, 50, 50, 12, 50, 50, 80, 1, 0, 33, 128, 128, 128, 50, 50, 50, 1, 2, 3, 1, 1, 0x32, 0x11])
write("one_display.bin", file_bytes([one]))

wall = [record(i + 1, "SN%011d" % (1000 + i), "VW55-A1      ", wall_values(i)) for i in range(25)]
write("wall_25.bin", file_bytes(wall))

# Second record's first serial-number byte changed after its check byte was computed.
two = file_bytes([one, record(2, "SN0A1B2C3D4E6", "VW55-A1      ", wall_values(1))])
two[10 + 52 + 1] ^= 0x01
write("bad_check.bin", two)
