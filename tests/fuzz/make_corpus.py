#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into corpus/command and corpus/filenames.

The byte layout is the one FuzzInput.h reads: integers least significant byte first; a
text is its units ended by a 0x00 byte, an ASCII unit as itself, any other unit as 0x80
followed by its two bytes. Run it again after changing the seeds below.
"""

import pathlib
import struct

HERE = pathlib.Path(__file__).resolve().parent


def text(s):
    out = bytearray()
    units = s.encode("utf-16-le", "surrogatepass")
    for i in range(0, len(units), 2):
        unit = units[i] | units[i + 1] << 8
        if 0 < unit < 0x80:
            out.append(unit)
        else:
            out += bytes([0x80, units[i], units[i + 1]])
    out.append(0)
    return bytes(out)


def command(flags, quality, position, extra, input_path, output_path):
    return (bytes([flags]) + struct.pack("<ii", quality, position) + text(extra) +
            text(input_path) + text(output_path))


CUSTOM, QUALITY, BITRATE, NO_FILTER = 1, 2, 4, 8

COMMAND = {
    "standard": command(0, 0, 0, "", "C:\\Music\\song.wav", "C:\\Music\\song.mp3"),
    "custom-all": command(CUSTOM | QUALITY | BITRATE | NO_FILTER, 2, 4, '--tt "A B" -V 2',
                          "C:\\My Music\\a b.wav", "D:\\out put\\x.mp3"),
    "bitrate-off-table": command(CUSTOM | BITRATE, -1, 6, "dir\\\\", '"quoted".wav',
                                 "C:\\dir with blank\\"),
    "extremes-unclosed": command(CUSTOM | QUALITY | BITRATE, -2**31, 2**31 - 1, '"unclosed',
                                 "x y", ""),
    "unicode": command(CUSTOM | QUALITY, 9, 0, "--ta \u00c9l\u00e8ve",
                       "C:\\\u041c\u0443\u0437\u044b\u043a\u0430\\\U0001F3B5 1.wav",
                       "\ud800a\tb"),
    "backslashes": command(CUSTOM | NO_FILTER, 0, 5, 'a\\ "b\\\\" c\\\\\\',
                           'a\\\\\\" b', 'a\\\\\\\\"" b\\'),
}

FILENAMES = {
    "paths": b"".join([
        b"\x00" + text("C:\\Music\\song.wav"),
        b"\x01" + text("D:\\chosen.mp3"),
        b"\x00" + text("ab"),
        b"\x00" + text(""),
        b"\x00" + text("x\U0001F3B5ab"),
    ]),
    "startup": b"".join([
        b"\x00" + text('"C:\\Program Files\\Sorvane.exe"  "C:\\x y.wav"'),
        b"\x00" + text("S.exe\t\ta  b "),
        b"\x00" + text('"a\\"b c"'),
        b"\x00" + text('"a""b" tail'),
        b"\x00" + text('"dir\\\\" x'),
        b"\x00" + text('"unclosed path.wav'),
    ]),
    "surrogates": b"\x01" + text("\udc00ab") + b"\x00" + text("\ud83c"),
}


def main():
    for name, seeds in (("command", COMMAND), ("filenames", FILENAMES)):
        folder = HERE / "corpus" / name
        folder.mkdir(parents=True, exist_ok=True)
        for old in folder.iterdir():
            old.unlink()
        for seed, data in seeds.items():
            (folder / seed).write_bytes(data)


if __name__ == "__main__":
    main()
