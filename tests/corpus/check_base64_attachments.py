#!/usr/bin/env python3
"""Checks the program's extraction of the real-mail corpus against Python's email package.

For every message whose top level is multipart/mixed with a quoted boundary, each direct
part with an attachment or inline disposition, a quoted file name and base64 encoding must
have been written by the program with exactly the bytes that Python decodes.

Usage: check_base64_attachments.py <corpus extract program> <corpus folder> <scratch folder>
"""

import binascii
import email
import email.policy
import os
import re
import shutil
import subprocess
import sys
from collections import Counter


def native(core_path):
    """A Windows path of the POSIX backend (drive Z: is the root) as a native path."""
    assert core_path[:3] == "Z:\\", core_path
    return "/" + core_path[3:].replace("\\", "/")


def expected_payloads(path):
    with open(path, "rb") as stream:
        message = email.message_from_binary_file(stream, policy=email.policy.compat32)
    content_type = message.get("Content-Type", "")
    if message.get_content_type() != "multipart/mixed" or not message.is_multipart():
        return []
    if not re.search(r'boundary="', content_type, re.IGNORECASE):
        return []
    # The program takes only exact delimiter lines; one with trailing white space hides the
    # part after it, by design. Such messages are not compared.
    delimiter = b"--" + message.get_boundary().encode("ascii", "replace")
    with open(path, "rb") as stream:
        for line in stream.read().split(b"\n"):
            line = line.rstrip(b"\r")
            if line.startswith(delimiter) and line != delimiter and line != delimiter + b"--":
                return []
    payloads = []
    for part in message.get_payload():
        disposition = (part.get("Content-Disposition") or "").lstrip().lower()
        encoding = (part.get("Content-Transfer-Encoding") or "").strip().lower()
        if not disposition.startswith(("attachment", "inline")):
            continue
        if 'filename="' not in disposition or not encoding.startswith("base64"):
            continue
        # Decoded here rather than by the package, which leaves a body undecoded when its
        # encoding name carries trailing white space.
        text = part.get_payload()
        payloads.append(binascii.a2b_base64(text.encode("ascii", "ignore")))
    return payloads


def main():
    program, corpus, scratch = sys.argv[1:4]
    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(scratch)
    output = subprocess.run([program, os.path.abspath(corpus), os.path.abspath(scratch)],
                            check=True, stdout=subprocess.PIPE).stdout
    checked = compared = failed = 0
    for line in output.decode("cp932", "surrogateescape").splitlines():
        message, staging = line.split("\t")
        expected = expected_payloads(native(message))
        if not expected:
            continue
        checked += 1
        written = Counter()
        if staging:
            folder = native(staging)
            for name in os.listdir(folder):
                with open(os.path.join(folder, name), "rb") as stream:
                    written[stream.read()] += 1
        for payload in expected:
            compared += 1
            if written[payload] > 0:
                written[payload] -= 1
            else:
                failed += 1
                print(f"MISSING: {len(payload)} bytes of {native(message)}")
    shutil.rmtree(scratch, ignore_errors=True)
    print(f"{compared - failed} passed, {failed} failed")
    print(f"({checked} multipart/mixed messages with base64 attachments compared)")
    return 1 if failed or compared == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
