#!/usr/bin/env python3
"""Runs two builds of morvek-cli over the real-mail corpus and the Outlook samples and lists
every file that one of them wrote and the other did not: with the inspection of attachments,
each attachment it holds shows as "name" before and "name.alert" after.

    tests/corpus/compare_held.py OLD_CLI NEW_CLI [CORPUS] [OUTLOOK_SAMPLES]

Each build gets a fresh data folder (with its default lists) and takes in every message in
one run (--no-scan). TNEF streams of the Outlook samples go in as winmail.dat attachments
of a small message. Exit 0 when both wrote the same files.
"""

import base64
import pathlib
import subprocess
import sys
import tempfile


def messages(corpus, outlook, scratch):
    found = sorted(str(p) for p in pathlib.Path(corpus).rglob("*.eml"))
    found += sorted(str(p) for p in pathlib.Path(outlook).rglob("*.msg"))
    for number, stream in enumerate(sorted(pathlib.Path(outlook).rglob("*.dat"))):
        body = base64.encodebytes(stream.read_bytes()).decode()
        wrapped = scratch / f"tnef{number}.eml"
        wrapped.write_text(
            "Subject: tnef\r\nContent-Type: multipart/mixed; boundary=\"b\"\r\n\r\n--b\r\n"
            "Content-Type: application/ms-tnef\r\nContent-Transfer-Encoding: base64\r\n"
            "Content-Disposition: attachment; filename=\"winmail.dat\"\r\n\r\n"
            + body + "\r\n--b--\r\n", newline="")
        found.append(str(wrapped))
    return found


def written(cli, files, data):
    data.mkdir()
    subprocess.run([cli, "extract", "--data-dir", str(data), "--no-scan", "--quiet", *files],
                   check=False, stdout=subprocess.DEVNULL)
    return {str(p.relative_to(data)) for p in data.rglob("*")
            if p.is_file() and p.parent != data}


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    root = pathlib.Path(__file__).resolve().parents[3] / "shared"
    corpus = sys.argv[3] if len(sys.argv) > 3 else root / "corpus"
    outlook = sys.argv[4] if len(sys.argv) > 4 else root / "corpus-outlook"
    with tempfile.TemporaryDirectory() as temp:
        scratch = pathlib.Path(temp)
        files = messages(corpus, outlook, scratch)
        old = written(sys.argv[1], files, scratch / "old")
        new = written(sys.argv[2], files, scratch / "new")
        print(f"{len(files)} messages; {len(old)} files before, {len(new)} after")
        for name in sorted(old - new):
            print(f"  only before: {name}")
        for name in sorted(new - old):
            alert = scratch / "new" / name
            reason = ""
            if name.endswith(".alert"):
                for line in alert.read_bytes().decode("cp932", "replace").splitlines():
                    if line.startswith("\u3000理由："):
                        reason = "  (" + line[4:] + ")"
            print(f"  only after:  {name}{reason}")
        return 0 if old == new else 1


if __name__ == "__main__":
    sys.exit(main())
