#!/usr/bin/env python3
"""Checks the program's extraction of the real-mail corpus against Python's email package.

Python's email package (default policy) reads every message; each leaf part that it gives a
file name, or the disposition "attachment", is an attachment, and so is each message/rfc822
part (kept whole, under its file name or "message.eml"). The program must have written every
one of them under Python's name, converted to Shift_JIS and made safe by the program's name
rules, with Python's decoded bytes (a nested message: the same message once both are parsed).

The figure is printed; the check fails when it falls below MINIMUM_PERCENT or when an
attachment differs from Python's and is not written as its entry in KNOWN_EXCEPTIONS says.

Usage: check_attachments.py [--listing FILE] <corpus extract program> <corpus folder>
                            <scratch folder>
--listing writes, for every message, the files written (name, size, SHA-256) and the
record file, for a before/after comparison of two builds.
"""

import argparse
import binascii
import email
import email.policy
import hashlib
import importlib.util
import os
import shutil
import subprocess
import sys
import unicodedata

# The share of Python's attachments that must be written under Python's name with Python's
# bytes.
MINIMUM_PERCENT = 94.7

# Attachments where Python's result is not what the sender wrote, each with the reason and
# what the program must write instead: (name, or None for Python's; bytes, or None for
# Python's). Keyed by the message's path below the corpus folder and Python's file name.
MIMETOOLS = "mimetools-testmsgs/core__src__test__resources__mimetools-testmsgs__"
KNOWN_EXCEPTIONS = {
    ("mime4j-testmsgs/core__src__test__resources__testmsgs__russian-headers.msg.eml",
     "attachment.txt"):
        ("Список.doc", None,
         "name==?koi8-r?B?...?= is an encoded word as a bare value, which Python does not "
         "decode and so finds no name"),
    (MIMETOOLS + "russian.msg.eml", "attachment.txt"):
        ("Список.doc", None, "the same bare KOI8-R encoded word"),
    ("ruby-mail/fixtures__emails__attachment_emails__attachment_with_base64_encoded_name.eml",
     "attachment.pdf"):
        ("This is a test.pdf", None, "the same with a bare UTF-8 encoded word"),
    ("ruby-mail/fixtures__emails__attachment_emails__attachment_with_unquoted_name.eml",
     "This"):
        ("This is a test.txt", None,
         "filename=This is a test.txt is not quoted; Python stops at the first space, the "
         "program takes the value up to the \";\" as the sender wrote it"),
    (MIMETOOLS + "multi-2evil.msg.eml",
     "/evil/because:ofpath3d-=?ISO-8859-1?Q?=63?=om=?US-ASCII*EN?Q?pr?=ess.gif"):
        ("3d-compress.gif", None,
         "encoded words inside a word: Python leaves them, the program decodes them as mail "
         "programs do (Japanese mail writes \"=?ISO-2022-JP?B?...?=.txt\"); and a backslash "
         "that escapes no quote stays a path separator (Python drops it), so only the last "
         "name of the path is kept"),
    (MIMETOOLS + "twopart.msg.eml", "/home1/eucyon/data/img_event/postcard/uk7200_110_6.jpg"):
        (None, "base64",
         "\"Content-transfer-encoding: base64 \" has a trailing space, after which Python "
         "leaves the body undecoded; the program decodes it"),
}

# Names given to a nameless attachment, by content type; "attachment.bin" otherwise.
NAMELESS_EXTENSIONS = {
    "application/pdf": "pdf", "application/zip": "zip", "application/msword": "doc",
    "application/vnd.ms-excel": "xls", "application/vnd.ms-powerpoint": "ppt",
    "application/rtf": "rtf", "application/x-zip-compressed": "zip",
    "application/gzip": "gz", "application/x-gzip": "gz", "application/json": "json",
    "application/xml": "xml", "application/pkcs7-signature": "p7s",
    "application/x-pkcs7-signature": "p7s", "application/pgp-signature": "asc",
    "application/ms-tnef": "dat",
    "image/jpeg": "jpg", "image/pjpeg": "jpg", "image/png": "png", "image/gif": "gif",
    "image/bmp": "bmp", "image/tiff": "tif", "image/webp": "webp", "image/svg+xml": "svg",
    "audio/mpeg": "mp3", "audio/wav": "wav", "audio/x-wav": "wav", "video/mp4": "mp4",
    "video/mpeg": "mpg", "video/quicktime": "mov",
    "text/plain": "txt", "text/html": "html", "text/csv": "csv", "text/xml": "xml",
    "text/calendar": "ics", "text/x-vcard": "vcf", "text/vcard": "vcf",
    "text/rfc822-headers": "txt", "message/delivery-status": "txt", "message/rfc822": "eml",
}


def load_cp932():
    """The program's code page 932 table, made by the script that generates it."""
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools",
                        "make_charset_tables.py")
    spec = importlib.util.spec_from_file_location("make_charset_tables", path)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return dict(module.cp932_pairs())


CP932 = load_cp932()


def native(core_path):
    """A Windows path of the POSIX backend (drive Z: is the root) as a native path."""
    assert core_path[:3] == "Z:\\", core_path
    return "/" + core_path[3:].replace("\\", "/")


def to_shift_jis(text):
    """Python's text as the program stores it: composed, code page 932, "?" for the rest."""
    out = bytearray()
    for ch in unicodedata.normalize("NFC", text):
        code = ord(ch) if ord(ch) < 0x80 else CP932.get(ord(ch))
        if code is None:
            out += b"?"
        else:
            out += code.to_bytes(2 if code > 0xFF else 1, "big")
    return bytes(out)


def is_lead(b):
    return 0x81 <= b <= 0x9F or 0xE0 <= b <= 0xFC


def is_trail(b):
    return 0x40 <= b <= 0x7E or 0x80 <= b <= 0xFC


def characters(name):
    pos = 0
    while pos < len(name):
        if pos + 1 < len(name) and is_lead(name[pos]) and is_trail(name[pos + 1]):
            yield name[pos:pos + 2]
            pos += 2
        else:
            yield name[pos:pos + 1]
            pos += 1


def make_safe(name):
    """The program's name rules on a Shift_JIS name; empty when nothing is left."""
    chars = list(characters(name))
    last = max((i for i, c in enumerate(chars) if c in (b"\\", b"/", b":")), default=-1)
    chars = chars[last + 1:]
    while chars and chars[-1] in (b".", b" "):
        chars.pop()
    if not chars:
        return b""
    chars = [b"_" if len(c) == 1 and (c[0] < 0x20 or c in b'<>"|?*') else c for c in chars]
    safe = b"".join(chars)
    stem = b"".join(chars[:chars.index(b".")] if b"." in chars else chars).rstrip(b" ").lower()
    devices = {b"con", b"prn", b"aux", b"nul", b"conin$", b"conout$"}
    if stem in devices or (len(stem) == 4 and stem[:3] in (b"com", b"lpt")
                           and 0x31 <= stem[3] <= 0x39):
        safe = b"_" + safe
    return safe


class Namer:
    """The program's numbering of names taken twice in one message."""

    def __init__(self):
        self.taken = []

    def take(self, name):
        safe = make_safe(name)
        if not safe:
            return b""
        number = 0
        while True:
            candidate = safe if number == 0 else with_number(safe, number)
            if candidate.lower() not in self.taken:
                self.taken.append(candidate.lower())
                return candidate
            number += 1


def with_number(name, number):
    chars = list(characters(name))
    dots = [i for i, c in enumerate(chars) if c == b"."]
    suffix = f"({number})".encode()
    if not dots:
        return name + suffix
    return b"".join(chars[:dots[-1]]) + suffix + b"".join(chars[dots[-1]:])


def expected_attachments(path):
    """(Python's name, Shift_JIS name, bytes or a parsed message) of each attachment."""
    # Read from bytes, not from a file: a file is read with universal newlines, which would
    # turn the CR LF of a text body into LF.
    with open(path, "rb") as stream:
        message = email.message_from_bytes(stream.read(), policy=email.policy.default)
    found = []

    def walk(part, depth):
        content_type = part.get_content_type()
        if content_type == "message/rfc822" and depth > 0:
            name = part.get_filename()
            if not name or not make_safe(to_shift_jis(name)):
                name = "message.eml"
            payload = part.get_payload()
            inner = payload[0] if isinstance(payload, list) and payload else None
            found.append((name, inner))
            return
        if part.is_multipart():
            for child in part.get_payload():
                walk(child, depth + 1)
            return
        name = part.get_filename()
        if name is None and part.get_content_disposition() != "attachment":
            return
        if name is None or not make_safe(to_shift_jis(name)):
            name = "attachment." + NAMELESS_EXTENSIONS.get(content_type, "bin")
        found.append((name, part.get_payload(decode=True) or b""))

    walk(message, 0)
    return found


def same_message(inner, data):
    if inner is None:
        return False
    written = email.message_from_bytes(data, policy=email.policy.default)
    normal = email.policy.default.clone(linesep="\n")
    return (written.as_bytes(policy=normal).replace(b"\r\n", b"\n")
            == inner.as_bytes(policy=normal).replace(b"\r\n", b"\n"))


def core_name(native_name):
    """A native file name of the POSIX backend as the program's Shift_JIS name: UTF-8 on
    disk, a byte that is no Shift_JIS character stored as U+F000 + byte."""
    out = bytearray()
    for ch in native_name:
        if 0xF000 <= ord(ch) <= 0xF0FF:
            out.append(ord(ch) - 0xF000)
        else:
            out += ch.encode("cp932", "replace")
    return bytes(out)


def read_written(scratch, staging):
    files = {}
    if staging:
        folder = native(staging)
        for name in os.listdir(folder):
            with open(os.path.join(folder, name), "rb") as stream:
                files[core_name(name)] = stream.read()
    return files


def write_listing(listing, corpus, output, scratch):
    with open(listing, "w", encoding="utf-8") as out:
        for message, staging in output:
            out.write(os.path.relpath(native(message), corpus) + "\n")
            files = read_written(scratch, staging)
            for name in sorted(files):
                data = files[name]
                out.write(f"  {name.decode('cp932', 'backslashreplace')}\t{len(data)}\t"
                          f"{hashlib.sha256(data).hexdigest()[:16]}\n")
            if staging:
                record = native(staging).replace("/scanvirus/", "/") + ".att"
                with open(record, "rb") as stream:
                    text = stream.read().decode("cp932", "backslashreplace")
                out.write(f"  record: {text!r}\n")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--listing")
    parser.add_argument("program")
    parser.add_argument("corpus")
    parser.add_argument("scratch")
    arguments = parser.parse_args()
    corpus = os.path.abspath(arguments.corpus)
    scratch = os.path.abspath(arguments.scratch)
    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(scratch)
    run = subprocess.run([arguments.program, corpus, scratch], check=True,
                         stdout=subprocess.PIPE).stdout
    output = [line.split("\t") for line in run.decode("cp932", "surrogateescape").splitlines()]
    if arguments.listing:
        write_listing(arguments.listing, corpus, output, scratch)

    total = passed = explained = 0
    unexpected = []
    for message, staging in output:
        relative = os.path.relpath(native(message), corpus)
        files = read_written(scratch, staging)
        namer = Namer()
        for name, expected in expected_attachments(native(message)):
            total += 1
            safe = namer.take(to_shift_jis(name))
            data = files.get(safe)
            if isinstance(expected, bytes):
                good = data == expected
            else:
                good = data is not None and same_message(expected, data)
            if good:
                passed += 1
                continue
            exception = KNOWN_EXCEPTIONS.get((relative, name))
            if exception:
                right_name, right_bytes, reason = exception
                if right_name is not None:
                    safe = Namer().take(to_shift_jis(right_name))
                if right_bytes == "base64":
                    expected = binascii.a2b_base64(expected)
                data = files.get(safe)
                if data == expected:
                    explained += 1
                    print(f"EXCEPTION: {relative}: {name!r} written as "
                          f"{safe.decode('cp932', 'backslashreplace')!r}: {reason}")
                    continue
            why = "not written" if data is None else "other bytes"
            if (isinstance(expected, bytes) and data is not None
                    and data.replace(b"\r\n", b"\n") == expected.replace(b"\r\n", b"\n")):
                why = "other line ends"
            print(f"FAILED: {relative}: {name!r} "
                  f"as {safe.decode('cp932', 'backslashreplace')!r}: {why}")
            unexpected.append((relative, name))
    shutil.rmtree(scratch, ignore_errors=True)
    percent = 100.0 * passed / total if total else 0.0
    print(f"{passed} of {total} attachments written under Python's name with Python's bytes "
          f"({percent:.1f} %); {explained} more as the exceptions above say, "
          f"{len(unexpected)} failed")
    return 1 if unexpected or percent < MINIMUM_PERCENT else 0


if __name__ == "__main__":
    sys.exit(main())
