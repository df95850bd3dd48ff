#!/usr/bin/env python3
"""Writes the seed corpus of the exchange readers fuzzer from the byte vectors of the link unit
tests. Run from anywhere; the files land in corpus/ beside this script."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))

WRITE, READ, READ_ALL, WRITE_ALL = 0, 1, 2, 3
SERIAL, SINGLE, EACH, SERIAL_RAW = 0, 1, 2, 3
CODES = ["BRL", "BRI", "DIV", "PJD", "CID", "RXY", "ERR", "SER"]
CLOSE = 63


def head(op, link, target, code, value=0, last_target=77, max_count=100, boxes=False):
    return bytes([op | link << 2 | (0x10 if boxes else 0), target, CODES.index(code), value, last_target,
                  (max_count - 1) % 32])


def piece(ms, hex_bytes="", display=1, close=False):
    data = bytes.fromhex(hex_bytes)
    assert len(data) < CLOSE
    length = CLOSE if close else len(data)
    return bytes([min(ms // 8, 255), length | (display - 1) << 6]) + data


ACK5 = "07 05 00 42 52 4C 32 08"
BRL5 = "07 05 02 42 52 4C 32 08"
BRI5 = "07 05 01 42 52 49 08"
BRI_REPLY5 = "07 05 00 42 52 49 3C 08"
BRI_ALL = "07 00 01 42 52 49 08"
RXY = "07 01 00 52 58 59 03 20 0C 37 00 01 00 02 00 03 00 04 00 05 00 06 00 07 00 08 00 09 00 0A 00 08"

SEEDS = {
    "serial_ack": head(WRITE, SERIAL, 5, "BRL", 50) + piece(20, ACK5),
    "serial_ack_in_pieces": head(WRITE, SERIAL, 5, "BRL", 50) + piece(20, "07 05 00") + piece(1600, "42 52 4C 32 08"),
    "serial_echo_then_ack": head(WRITE, SERIAL, 5, "BRL", 50) + piece(0, BRL5) + piece(40, ACK5),
    "serial_echo_then_silence": head(WRITE, SERIAL, 5, "BRL", 50) + piece(0, BRL5),
    "serial_wrong_kind": head(WRITE, SERIAL, 5, "BRL", 50) + piece(20, "07 05 03 42 52 4C 32 08"),
    "serial_noise_before_ack": head(WRITE, SERIAL, 5, "BRL", 50) + piece(0, "FF") + piece(20, ACK5),
    "serial_all_any_bytes": head(WRITE_ALL, SERIAL, 0, "BRL", 50) + piece(32, "00 11 22 33 44 55 66 77"),
    "serial_auto_division": head(WRITE_ALL, SERIAL, 0, "DIV", 0x11),
    "serial_hang_up": head(WRITE, SERIAL, 5, "BRL", 50) + piece(8, "07 05") + piece(16, close=True),
    "serial_read": head(READ, SERIAL, 5, "BRI") + piece(32, BRI_REPLY5),
    "serial_read_echo": head(READ, SERIAL, 5, "BRI") + piece(0, BRI5) + piece(32, BRI_REPLY5),
    "serial_read_other_display": head(READ, SERIAL, 5, "BRI") + piece(32, "07 06 00 42 52 49 3C 08"),
    "serial_raw_mode_read": head(READ, SERIAL_RAW, 2, "BRI", last_target=2) + piece(8, "07 02 00 42 52 49 3C 08"),
    "serial_read_all": head(READ_ALL, SERIAL, 0, "BRI", last_target=5) + piece(8, "07 01 00 42 52 49 3C 08")
    + piece(16, "07 02 00 42 52 49 3D 08") + piece(32, "07 03 00 42 52 49 3E 08"),
    "serial_read_all_echo": head(READ_ALL, SERIAL, 0, "BRI", last_target=5) + piece(0, BRI_ALL)
    + piece(8, "07 01 00 42 52 49 3C 08"),
    "serial_read_all_pjd": head(READ_ALL, SERIAL, 0, "PJD", last_target=5) + piece(8, "07 01 00 50 4A 44 18 08")
    + piece(16, "07 02 00 50 4A 44 18 08"),
    "serial_read_all_err": head(READ_ALL, SERIAL, 0, "ERR", last_target=5)
    + piece(8, "07 01 00 45 52 52 00 00 00 01 08") + piece(16, "07 02 00 45 52 52 00 00 00 02 08"),
    "serial_read_all_cut_short": head(READ_ALL, SERIAL, 0, "BRI", last_target=5)
    + piece(8, "07 01 00 42 52 49 3C 08") + piece(16, "07 02 00 42"),
    "lan_ack": head(WRITE, SINGLE, 5, "BRL", 50) + piece(152, ACK5),
    "lan_echo_then_ack": head(WRITE, SINGLE, 5, "BRL", 50) + piece(112, BRL5) + piece(160, ACK5),
    "lan_closed_after_piece": head(WRITE, SINGLE, 5, "BRL", 50) + piece(152, "07 05 00") + piece(400, close=True),
    "lan_read": head(READ, SINGLE, 5, "BRI") + piece(152, BRI_REPLY5),
    "lan_read_echo": head(READ, SINGLE, 5, "BRI") + piece(104, BRI5) + piece(152, BRI_REPLY5),
    "lan_read_all": head(READ_ALL, SINGLE, 0, "BRI", last_target=5) + piece(112, "07 01 00 42 52 49 3C 08")
    + piece(120, "07 02 00 42 52 49 3D 08"),
    "lan_read_all_rxy": head(READ_ALL, SINGLE, 0, "RXY", max_count=1) + piece(112, RXY),
    "each_ack": head(WRITE, EACH, 2, "BRL", 50) + piece(152, "07 02 00 42 52 4C 32 08", display=2),
    "each_ack_other_code": head(WRITE, EACH, 2, "BRL", 50) + piece(152, "07 02 00 42 52 49 32 08", display=2),
    "each_closed": head(WRITE, EACH, 3, "BRL", 50) + piece(48, display=3, close=True),
    "each_cid_to_all": head(WRITE, EACH, 0x80, "CID", 1),
    "each_read": head(READ, EACH, 3, "BRI") + piece(152, "07 03 00 42 52 49 3C 08", display=3),
    "each_read_all": head(READ_ALL, EACH, 0, "BRI", last_target=5) + piece(48, "07 01 00 42 52 49 3C 08")
    + piece(48, "07 03 00 58 58 58 3E 00", display=3),
}

if __name__ == "__main__":
    corpus = os.path.join(HERE, "corpus")
    os.makedirs(corpus, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(corpus, name), "wb") as f:
            f.write(data)
