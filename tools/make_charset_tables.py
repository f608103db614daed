#!/usr/bin/env python3
"""Writes engine/text/CharsetTables.cpp: the tables behind the header-text decoder, taken from
Python's codecs and Unicode database so that every build of the program converts alike.

  - Unicode (BMP) to code page 932, with the characters that code page 932 holds under
    another Unicode form as well (the JIS forms of the wave dash, minus sign, and so on);
  - the upper halves of the single-byte character sets (ISO-8859-x, windows-125x, KOI8);
  - the canonical compositions of two BMP characters (NFC), for text sent decomposed;
  - the double-byte sets of Korean, Chinese and JIS X 0212 text, each as a grid of lead byte
    by trail byte that holds the code page 932 code of each character (0 where code page 932
    has none, so the grids keep only what the program can show): KS X 1001 from Python's
    cp949 (EUC-KR and its Windows superset), GBK/GB18030's two-byte codes from gb18030,
    Big5 from cp950 (Windows' Big5), JIS X 0212 from the three-byte codes of euc_jp;
  - the GB18030 four-byte codes of the BMP as ranges of consecutive Unicode characters.

Usage: tools/make_charset_tables.py > engine/text/CharsetTables.cpp
"""

import codecs
import sys
import unicodedata

SINGLE_BYTE = (
    [f"iso-8859-{n}" for n in range(1, 17) if n != 12]
    + [f"windows-{n}" for n in range(1250, 1259)]
    + ["koi8-r", "koi8-u"]
)

# Code page 932's character for Unicode forms its own table does not hold.
EXTRA_CP932 = {0x00A5: 0x818F, 0x2014: 0x815C}


def cp932_pairs():
    """Each character's code as Windows picks it where code page 932 holds it twice: the
    first of the JIS rows, the NEC row 13, the IBM extensions (0xFA-0xFC), and only then the
    NEC-selected IBM extensions (0xED, 0xEE)."""
    pairs = {}

    def add(code, data):
        try:
            text = data.decode("cp932")
        except UnicodeDecodeError:
            return
        if len(text) == 1 and ord(text) not in pairs and ord(text) >= 0x80:
            if ord(text) == 0x80 or 0xF8F0 <= ord(text) <= 0xF8F3:
                return
            pairs[ord(text)] = code

    for byte in list(range(0x80, 0x100)):
        add(byte, bytes([byte]))
    leads = [b for b in range(0x81, 0xFD) if (b <= 0x9F or b >= 0xE0) and b not in (0xED, 0xEE)]
    for lead in leads + [0xED, 0xEE]:
        for trail in range(0x40, 0xFD):
            if trail != 0x7F:
                add(lead << 8 | trail, bytes([lead, trail]))
    for code, value in EXTRA_CP932.items():
        pairs[code] = value
    # The other Unicode forms Python's encoder knows (U+301C, U+2212, ...), in its choice.
    for code in range(0x80, 0x10000):
        if code in pairs or code == 0x80 or 0xD800 <= code <= 0xDFFF or 0xF8F0 <= code <= 0xF8F3:
            continue
        try:
            pairs[code] = int.from_bytes(chr(code).encode("cp932"), "big")
        except UnicodeEncodeError:
            pass
    return sorted(pairs.items())


# name, Python codec, prefix bytes before the two-byte code, lead range, trail range
DOUBLE_BYTE = [
    ("ks_c_5601", "cp949", b"", (0x81, 0xFE), (0x41, 0xFE)),
    ("gb18030", "gb18030", b"", (0x81, 0xFE), (0x40, 0xFE)),
    ("big5", "cp950", b"", (0x81, 0xFE), (0x40, 0xFE)),
    ("jis_x0212", "euc_jp", b"\x8f", (0xA1, 0xFE), (0xA1, 0xFE)),
]


def double_byte_grid(codec, prefix, leads, trails, cp932):
    """The cp932 codes by (lead, trail), cut to the rows and columns that hold any."""
    found = {}
    for lead in range(leads[0], leads[1] + 1):
        for trail in range(trails[0], trails[1] + 1):
            try:
                text = (prefix + bytes([lead, trail])).decode(codec)
            except UnicodeDecodeError:
                continue
            if len(text) != 1 or ord(text) < 0x80 or 0xE000 <= ord(text) <= 0xF8FF:
                continue  # user-defined characters are not the same in two sets
            code = cp932.get(ord(text))
            if code:
                found[(lead, trail)] = code
    lead_min = min(l for l, _ in found)
    lead_max = max(l for l, _ in found)
    trail_min = min(t for _, t in found)
    trail_max = max(t for _, t in found)
    grid = [found.get((l, t), 0) for l in range(lead_min, lead_max + 1)
            for t in range(trail_min, trail_max + 1)]
    return lead_min, lead_max, trail_min, trail_max, grid


def gb18030_ranges():
    """(linear index of the four-byte code, first Unicode character) of each run."""
    ranges = []
    for index in range(39420):
        rest = index
        b4 = rest % 10
        rest //= 10
        b3 = rest % 126
        rest //= 126
        code = bytes([0x81 + rest // 10, 0x30 + rest % 10, 0x81 + b3, 0x30 + b4])
        char = ord(code.decode("gb18030"))
        if not ranges or char != ranges[-1][1] + index - ranges[-1][0]:
            ranges.append((index, char))
    return ranges


def compositions():
    found = []
    for code in range(0x80, 0x10000):
        if 0xD800 <= code <= 0xDFFF:
            continue
        decomposition = unicodedata.decomposition(chr(code))
        if not decomposition or decomposition.startswith("<"):
            continue
        parts = [int(p, 16) for p in decomposition.split()]
        if len(parts) != 2 or max(parts) > 0xFFFF:
            continue
        if unicodedata.normalize("NFC", chr(parts[0]) + chr(parts[1])) != chr(code):
            continue  # excluded from composition
        found.append((parts[0], parts[1], code))
    return sorted(found)


def main():
    out = sys.stdout
    out.write("// Generated by tools/make_charset_tables.py from Python "
              f"{sys.version.split()[0]}'s codecs; do not edit.\n\n")
    out.write('#include "engine/text/CharsetTables.h"\n\nnamespace engine::charset_tables {\n\n')

    pairs = cp932_pairs()
    out.write(f"const Cp932Pair kCp932[{len(pairs)}] = {{\n")
    for i in range(0, len(pairs), 6):
        out.write("    " + " ".join(f"{{0x{u:04X}, 0x{c:04X}}}," for u, c in pairs[i:i + 6]) + "\n")
    out.write("};\n")
    out.write(f"const std::size_t kCp932Count = {len(pairs)};\n\n")

    out.write(f"const SingleByteCharset kSingleByte[{len(SINGLE_BYTE)}] = {{\n")
    for name in SINGLE_BYTE:
        upper = []
        for byte in range(0x80, 0x100):
            try:
                upper.append(ord(bytes([byte]).decode(name)))
            except UnicodeDecodeError:
                upper.append(0xFFFD)
        out.write(f'    {{"{name}", {{\n')
        for i in range(0, 128, 12):
            out.write("        " + " ".join(f"0x{c:04X}," for c in upper[i:i + 12]) + "\n")
        out.write("    }},\n")
    out.write("};\n")
    out.write(f"const std::size_t kSingleByteCount = {len(SINGLE_BYTE)};\n\n")

    composed = compositions()
    out.write(f"const Composition kCompositions[{len(composed)}] = {{\n")
    for i in range(0, len(composed), 4):
        out.write("    " + " ".join(f"{{0x{a:04X}, 0x{b:04X}, 0x{c:04X}}},"
                                    for a, b, c in composed[i:i + 4]) + "\n")
    out.write("};\n")
    out.write(f"const std::size_t kCompositionCount = {len(composed)};\n\n")

    cp932 = dict(pairs)
    names = []
    for name, codec, prefix, leads, trails in DOUBLE_BYTE:
        lead_min, lead_max, trail_min, trail_max, grid = double_byte_grid(
            codec, prefix, leads, trails, cp932)
        array = "k" + "".join(part.capitalize() for part in name.split("_"))
        names.append((name, array, lead_min, lead_max, trail_min, trail_max))
        out.write(f"static const std::uint16_t {array}[{len(grid)}] = {{\n")
        for i in range(0, len(grid), 20):
            out.write(",".join(str(c) for c in grid[i:i + 20]) + ",\n")
        out.write("};\n\n")
    out.write(f"const DoubleByteCharset kDoubleByte[{len(names)}] = {{\n")
    for name, array, lead_min, lead_max, trail_min, trail_max in names:
        out.write(f'    {{"{name}", 0x{lead_min:02X}, 0x{lead_max:02X}, 0x{trail_min:02X}, '
                  f"0x{trail_max:02X}, {array}}},\n")
    out.write("};\n")
    out.write(f"const std::size_t kDoubleByteCount = {len(names)};\n\n")

    ranges = gb18030_ranges()
    out.write(f"const Gb18030Range kGb18030Ranges[{len(ranges)}] = {{\n")
    for i in range(0, len(ranges), 6):
        out.write("    " + " ".join(f"{{{a}, 0x{c:04X}}}," for a, c in ranges[i:i + 6]) + "\n")
    out.write("};\n")
    out.write(f"const std::size_t kGb18030RangeCount = {len(ranges)};\n\n")
    out.write("}  // namespace engine::charset_tables\n")


if __name__ == "__main__":
    main()
