#!/usr/bin/env python3
"""Generates database/storage/write/sort_order_data.cpp, the compressed text-index code
tables of the General Legacy and General sort orders, from the code-table data files.

    scripts/generate-sort-order-tables.py DATA_DIR > database/storage/write/sort_order_data.cpp

DATA_DIR holds general-legacy-base.txt, general-legacy-extended.txt, general-base.txt and
general-extended.txt (from the resource files index_codes_*.txt of Jackcess,
jahlborn/jackcess, Apache License 2.0). A base table has one line per code point
U+0000-U+00FF, an extended table one per code point U+0100-U+FFFF without the
surrogates U+D800-U+DFFF. A line is a kind letter and comma-separated fields of hex
digits, a leading 0 dropped when the count is odd:

    S<inline>                 simple
    I<inline>,<extra>         international: the base letter inline, an accent code extra
    U<bytes>                  unprintable
    P<modifier>               unprintable modifier of the previous character's extra code
    Z<inline>,<extra>,<flag>  international with a flag: 2 when <flag> is 1, else 3
    X                         ignored

Each sort order becomes one byte stream of the 63,488 codes in code-point order
(surrogates skipped), each code told as a change from the one before it:

    00+(n-1)   n = 1..64   n codes, each the one before with its inline bytes
                           increased by the next byte (n bytes follow)
    40+(n-1)   n = 1..32   n copies of the code before
    60+(n-1)   n = 1..32   n codes, each the one before with its inline bytes
                           increased by the one byte that follows
    80 + kind<<2 + d<<1 + e
               a code of kind (0 S, 1 I, 2 U, 3 P, 4 Z, 5 X). When the kind has inline
               bytes: d = 1, one byte to add to the inline bytes of the code before
               (same length); d = 0, their length and the bytes. When it has extra bytes
               (I, U, P, Z): e = 1, those of the code before (and its flag); e = 0, their
               length and the bytes, and for Z the flag.

"Increased" adds to the inline bytes read as one big-endian number, keeping their length.
database/storage/write/sort_order_tables.cpp reads the streams back.
"""

import sys
from pathlib import Path

KINDS = "SIUPZX"
HAS_INLINE = set("SIZ")
HAS_EXTRA = set("IUPZ")
MAX_INLINE = 8
MAX_EXTRA = 3


def hex_bytes(digits):
    if len(digits) % 2:
        digits = "0" + digits
    return bytes.fromhex(digits)


def parse(line):
    kind, fields = line[0], line[1:].split(",")
    if kind == "S":
        return (kind, hex_bytes(fields[0]), b"", 0)
    if kind == "I":
        return (kind, hex_bytes(fields[0]), hex_bytes(fields[1]), 0)
    if kind in "UP":
        return (kind, b"", hex_bytes(fields[0]), 0)
    if kind == "Z":
        return (kind, hex_bytes(fields[0]), hex_bytes(fields[1]), 2 if fields[2] == "1" else 3)
    if kind == "X":
        return (kind, b"", b"", 0)
    raise ValueError("unknown line " + line)


def read_table(path, count):
    lines = [line for line in Path(path).read_text(encoding="ascii").split("\n") if line]
    if len(lines) != count:
        raise ValueError(f"{path}: {len(lines)} lines, expected {count}")
    codes = [parse(line) for line in lines]
    for kind, inline, extra, _ in codes:
        if len(inline) > MAX_INLINE or len(extra) > MAX_EXTRA or (kind == "P" and len(extra) != 1):
            raise ValueError(f"{path}: a code longer than the tables allow")
    return codes


def inline_step(before, code):
    """What to add to before's inline bytes to get code's, or None."""
    if not code[1] or len(before[1]) != len(code[1]):
        return None
    step = int.from_bytes(code[1], "big") - int.from_bytes(before[1], "big")
    return step if 0 <= step < 256 else None


def increased(code, step):
    """code with step added to its inline bytes, or None when they would overflow."""
    width = len(code[1])
    value = int.from_bytes(code[1], "big") + step
    if value >= 1 << (8 * width):
        return None
    return (code[0], value.to_bytes(width, "big"), code[2], code[3])


def same_but_inline(before, code):
    return before[0] == code[0] and before[2:] == code[2:]


def encode(codes):
    out = bytearray()
    before = None
    i = 0
    while i < len(codes):
        code = codes[i]
        if before is not None and code == before:
            n = 1
            while i + n < len(codes) and n < 32 and codes[i + n] == code:
                n += 1
            out.append(0x40 + n - 1)
            i += n
            continue
        step = inline_step(before, code) if before is not None and same_but_inline(before, code) else None
        if step is not None:
            n = 1
            while i + n < len(codes) and n < 32 and codes[i + n][1] and increased(codes[i + n - 1], step) == codes[i + n]:
                n += 1
            if n >= 3:
                out += bytes([0x60 + n - 1, step])
                before = codes[i + n - 1]
                i += n
                continue
            steps = []
            while i < len(codes) and len(steps) < 64 and same_but_inline(before, codes[i]):
                step = inline_step(before, codes[i])
                if not step:
                    break
                steps.append(step)
                before = codes[i]
                i += 1
            out += bytes([len(steps) - 1]) + bytes(steps)
            continue
        kind, inline, extra, flag = code
        op = 0x80 + (KINDS.index(kind) << 2)
        body = bytearray()
        if kind in HAS_INLINE:
            step = inline_step(before, code) if before is not None else None
            if step is not None:
                op += 2
                body.append(step)
            else:
                body += bytes([len(inline)]) + inline
        if kind in HAS_EXTRA:
            if before is not None and before[2:] == code[2:]:
                op += 1
            else:
                body += bytes([len(extra)]) + extra
                if kind == "Z":
                    body.append(flag)
        out.append(op)
        out += body
        before = code
        i += 1
    return out


def decode(data):
    """The generator's own check: the stream read back the way the engine reads it."""
    codes = []
    i = 0
    while i < len(data):
        op = data[i]
        i += 1
        if op < 0x40:
            for step in data[i : i + op + 1]:
                codes.append(increased(codes[-1], step))
            i += op + 1
        elif op < 0x60:
            codes += [codes[-1]] * (op - 0x40 + 1)
        elif op < 0x80:
            for _ in range(op - 0x60 + 1):
                codes.append(increased(codes[-1], data[i]))
            i += 1
        else:
            kind = KINDS[(op >> 2) & 7]
            before = codes[-1] if codes else None
            inline, extra, flag = b"", b"", 0
            if kind in HAS_INLINE:
                if op & 2:
                    inline = increased(before, data[i])[1]
                    i += 1
                else:
                    inline = bytes(data[i + 1 : i + 1 + data[i]])
                    i += 1 + data[i]
            if kind in HAS_EXTRA:
                if op & 1:
                    extra, flag = before[2], before[3]
                else:
                    extra = bytes(data[i + 1 : i + 1 + data[i]])
                    i += 1 + data[i]
                    if kind == "Z":
                        flag = data[i]
                        i += 1
            codes.append((kind, inline, extra, flag))
    return codes


def array_source(name, data):
    lines = [f"constexpr uint8_t {name}[{len(data)}] = {{"]
    for start in range(0, len(data), 32):
        lines.append("    " + "".join(f"0x{b:02X}," for b in data[start : start + 32]))
    lines.append("};")
    return "\n".join(lines)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: generate-sort-order-tables.py DATA_DIR")
    folder = Path(sys.argv[1])
    extended_count = 0x10000 - 0x100 - 0x800
    parts = []
    for name, prefix in (("kGeneralLegacy", "general-legacy"), ("kGeneral", "general")):
        codes = read_table(folder / f"{prefix}-base.txt", 256) + read_table(folder / f"{prefix}-extended.txt", extended_count)
        data = encode(codes)
        if decode(data) != codes:
            sys.exit(f"{prefix}: the stream does not read back as the table")
        parts.append(array_source(name, data))
    print(
        "// Generated by scripts/generate-sort-order-tables.py from the text-index code tables of\n"
        "// Jackcess (jahlborn/jackcess, Apache License 2.0); do not edit. The script describes the\n"
        "// byte streams; sort_order_tables.cpp reads them.\n"
        "\n"
        '#include "database/storage/write/sort_order_data.h"\n'
        "\n"
        "namespace storage::sort_order_data {\n"
        "\n"
        "namespace {\n"
        "\n"
        "// clang-format off\n" + "\n\n".join(parts) + "\n// clang-format on\n"
        "\n"
        "} // namespace\n"
        "\n"
        "std::span<const uint8_t> generalLegacy() { return kGeneralLegacy; }\n"
        "std::span<const uint8_t> general() { return kGeneral; }\n"
        "\n"
        "} // namespace storage::sort_order_data"
    )


if __name__ == "__main__":
    main()
