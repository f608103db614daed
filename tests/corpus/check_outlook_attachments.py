#!/usr/bin/python3
"""Checks the program's extraction of the Outlook samples against independent readers.

Outlook items (msg/*.msg) are read with olefile (Debian's python3-olefile): every
attachment with data (stream 37010102) must have been written under its name (long file
name, short file name or display name, Unicode or 8-bit) in code page 932 made safe, with
the same bytes; an attached item (storage 3701000D) must have been written whole as
"message.msg", a compound file with the same streams. TNEF streams (tnef/*.dat) are read
with the tnef program (Debian's tnef), and each file it writes must have been written with
the same name and bytes. A sample that gives no attachment must give no record file.

Usage: check_outlook_attachments.py <outlook extract program> <samples folder> <scratch folder>
"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile

import olefile


def native(core_path):
    """A Windows path of the POSIX backend (drive Z: is the root) as a native path."""
    assert core_path[:3] == "Z:\\" or core_path[:3] == "Z:/", core_path
    return "/" + core_path[3:].replace("\\", "/")


def safe_name(name, taken):
    """The name rules of the extraction, for the names the samples hold."""
    for separator in "\\/:":
        name = name.rsplit(separator, 1)[-1]
    name = name.rstrip(". ")
    name = "".join("_" if c in '<>"|?*' or ord(c) < 0x20 else c for c in name)
    candidate, number = name, 0
    while candidate.lower() in taken:
        number += 1
        stem, dot, extension = name.rpartition(".")
        candidate = f"{stem}({number}).{extension}" if dot else f"{name}({number})"
    taken.add(candidate.lower())
    return candidate


def cp932(text):
    """Text as the program shows it: code page 932, "?" for what it cannot hold."""
    return text.encode("cp932", "replace").decode("cp932")


def code_page(ole):
    data = ole.openstream("__properties_version1.0").read()
    values = {}
    for offset in range(32, len(data) - 15, 16):
        tag, _, value = struct.unpack_from("<IIQ", data, offset)
        values[tag] = value & 0xFFFFFFFF
    return values.get(0x3FDE0003) or values.get(0x3FFD0003) or 932


def text_property(ole, storage, prop, page):
    eight_bit = {20127: "ascii", 28591: "latin-1", 65001: "utf-8", 51932: "euc-jp",
                 50220: "iso-2022-jp"}.get(page, f"cp{page}")
    for kind, encoding in (("001F", "utf-16-le"), ("001E", eight_bit)):
        path = f"{storage}/__substg1.0_{prop}{kind}" if storage else f"__substg1.0_{prop}{kind}"
        if ole.exists(path):
            raw = ole.openstream(path).read()
            text = raw.decode(encoding, "replace")
            return text.split("\0")[0]
    return ""


def streams_of(ole, prefix):
    """Stream path (inside prefix) -> bytes."""
    found = {}
    for entry in ole.listdir(streams=True, storages=False):
        if entry[: len(prefix)] == prefix:
            found["/".join(entry[len(prefix):])] = ole.openstream(entry).read()
    return found


def expected_msg(path):
    """[(name, bytes or None, embedded streams or None)] of an Outlook item, None when
    the file is damaged."""
    try:
        ole = olefile.OleFileIO(path, raise_defects=olefile.DEFECT_INCORRECT)
    except OSError:
        return None  # damaged: the program must give nothing
    if text_property(ole, "", "001A", 932).lower() not in ("ipm.note",) and \
            not text_property(ole, "", "001A", 932).lower().startswith("ipm.note."):
        return []
    page = code_page(ole)
    storages = sorted({e[0] for e in ole.listdir(streams=True, storages=True)
                       if e[0].lower().startswith("__attach_version1.0_#")})
    result = []
    for storage in storages:
        embedded = f"{storage}/__substg1.0_3701000D"
        if ole.exists(embedded) and ole.get_type(embedded) == olefile.STGTY_STORAGE:
            streams = streams_of(ole, [storage, "__substg1.0_3701000D"])
            result.append(("message.msg", None, streams))
            continue
        data = f"{storage}/__substg1.0_37010102"
        if not ole.exists(data):
            continue
        name = ""
        for prop in ("3707", "3704", "3001"):
            name = text_property(ole, storage, prop, page)
            if name:
                break
        result.append((cp932(name), ole.openstream(data).read(), None))
    return result


def expected_tnef(path):
    folder = tempfile.mkdtemp()
    try:
        subprocess.run(["tnef", "-C", folder, "-f", path], stderr=subprocess.DEVNULL, check=False)
        result = []
        for name in sorted(os.listdir(folder)):
            with open(os.path.join(folder, name), "rb") as stream:
                result.append((cp932(name), stream.read(), None))
        return result
    finally:
        shutil.rmtree(folder)


def check_embedded(path, streams):
    """Whether a written message.msg holds the attached item's streams (its property
    stream with the 8 bytes a top-level item has more) and nothing else of its own."""
    ole = olefile.OleFileIO(path)
    written = streams_of(ole, [])
    for name, data in streams.items():
        if name == "__properties_version1.0":
            data = data[:24] + b"\0" * 8 + data[24:]
        if written.get(name) != data:
            return False
    extra = [n for n in written if n not in streams and not n.startswith("__nameid_version1.0/")]
    return not extra


def main():
    program, samples, scratch = sys.argv[1:4]
    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(scratch)
    output = subprocess.run([program, os.path.abspath(samples), os.path.abspath(scratch)],
                            check=True, stdout=subprocess.PIPE).stdout
    compared = failed = samples_checked = damaged = 0
    for line in output.decode("cp932", "surrogateescape").splitlines():
        sample, staging, record = line.split("\t")
        sample_path = native(sample)
        samples_checked += 1
        expected = expected_msg(sample_path) if sample_path.endswith(".msg") \
            else expected_tnef(sample_path)
        written = {}
        if staging:
            folder = native(staging)
            for name in os.listdir(folder):
                written[name] = os.path.join(folder, name)
        if expected is None:
            damaged += 1
            if written or record:
                failed += 1
                print(f"OUTPUT FROM A DAMAGED FILE: {sample_path}: {sorted(written)}")
            continue
        if not expected:
            # The TNEF stream without files is kept as it came.
            keeps = sample_path.endswith(".dat") and list(written) == ["winmail.dat"]
            if (written or record) and not keeps:
                failed += 1
                print(f"UNEXPECTED OUTPUT: {sample_path}: {sorted(written)}")
            continue
        if not record:
            failed += 1
            print(f"NO RECORD: {sample_path}")
        taken = set()
        for name, data, streams in expected:
            compared += 1
            name = safe_name(name, taken)
            file = written.pop(name, None)
            if file is None:
                failed += 1
                print(f"MISSING: {name} of {sample_path} (written: {sorted(written)})")
                continue
            if streams is not None:
                ok = check_embedded(file, streams)
            else:
                with open(file, "rb") as stream:
                    ok = stream.read() == data
            if not ok:
                failed += 1
                print(f"WRONG BYTES: {name} of {sample_path}")
        if written:
            failed += 1
            print(f"EXTRA FILES: {sorted(written)} of {sample_path}")
    shutil.rmtree(scratch, ignore_errors=True)
    print(f"{compared - failed} of {compared} attachments match ({samples_checked} samples, "
          f"{damaged} damaged)")
    return 1 if failed or compared == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
