#!/usr/bin/env python3
"""Times morvek-cli extract against the extractors people use today.

Generates three workloads under build/bench/ (once; --regenerate makes them again):
  big-base64   one message with a single 100 MiB base64 attachment, 76-character CRLF lines
  big-qp       one message with a 50 MB quoted-printable Shift_JIS text attachment
  many-small   2,000 messages, each with a text part and two base64 attachments of about
               20 KB, one of them named by an ISO-2022-JP encoded word
and runs, each the way its users run it, into a fresh output folder:
  morvek   morvek-cli extract --no-scan --quiet --data-dir OUT FILE...  (one call for all)
           (quiet like the peers; with --report it prints its new records as it does unasked)
  ripmime  ripmime -i FILE -d OUT                                  (one call per file)
  munpack  munpack -q -C OUT FILE...                               (one call for all files)
  mu       mu extract --save-attachments --overwrite --target-dir=OUT FILE (one per file)
and, as the floor of what any extractor must do, a plain copy of the same files:
  cp       cp FILE... OUT                                          (one call for all files)
Outputs are written under /dev/shm when it exists (MORVEK_BENCH_OUT overrides), and
MORVEK_BENCH_CLI names another morvek-cli to time (an older build, say). Each tool runs
--runs times (3 unless told) in turn, and the median run is shown: wall time, CPU time
(user and system, summed over the calls: on a loaded machine the one figure that does not
depend on the other work), peak memory (largest resident set of any one process) and each
peer's times divided by ours. The last lines give, per workload, how many times faster
than the fastest peer the program is and how many plain copies its time is worth.
Needs the Debian packages ripmime, mpack, maildir-utils and time (tools/setup.sh bench
installs them), and the native build (cmake --preset native).
With --hostile it runs the program alone on inputs shaped to cost time or memory (see
HOSTILE below; --shapes words,sections,... picks some), each with its peak memory and the
megabytes it wrote.
Usage: tools/bench/benchmark.py [--regenerate] [--runs N] [--tools morvek,ripmime,...] [--report]
       tools/bench/benchmark.py --hostile [--runs N] [--shapes NAME,...] [--regenerate]
"""

import base64
import os
import random
import shutil
import subprocess
import sys
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
WORK = os.path.join(ROOT, "build", "bench")
CLI = os.environ.get("MORVEK_BENCH_CLI") or os.path.join(ROOT, "build", "native", "cli", "morvek-cli")
# Outputs go to memory where there is a tmpfs: on a virtual machine's disk, write-back of
# the earlier runs' files dominates and scatters the timings of the later ones.
REPORT = "--report" in sys.argv
OUT = os.environ.get("MORVEK_BENCH_OUT") or (
    "/dev/shm/morvek-bench" if os.path.isdir("/dev/shm") else os.path.join(WORK, "out"))


def header(subject, boundary):
    return (f"From: bench@example.jp\r\nTo: user@example.jp\r\nSubject: {subject}\r\n"
            f"Date: Mon, 6 Dec 2004 10:20:30 +0900\r\nMIME-Version: 1.0\r\n"
            f"Content-Type: multipart/mixed; boundary=\"{boundary}\"\r\n\r\n").encode()


def base64_lines(data):
    text = base64.b64encode(data)
    return b"\r\n".join(text[i:i + 76] for i in range(0, len(text), 76)) + b"\r\n"


def text_part(boundary):
    return (f"--{boundary}\r\nContent-Type: text/plain; charset=us-ascii\r\n\r\n"
            "See the attachments.\r\n").encode()


def attachment(boundary, name, encoding, body, content_type="application/octet-stream"):
    return (f"--{boundary}\r\nContent-Type: {content_type}\r\n"
            f"Content-Transfer-Encoding: {encoding}\r\n"
            f"Content-Disposition: attachment; filename=\"{name}\"\r\n\r\n").encode() + body


def write_big_base64(path):
    boundary = "BENCH-B64"
    rng = random.Random(1)
    with open(path, "wb") as out:
        out.write(header("big base64", boundary) + text_part(boundary))
        out.write(attachment(boundary, "big.bin", "base64", b""))
        chunk = 57 * 1024 * 16  # whole 76-character lines per chunk
        left = 100 * 1024 * 1024
        while left > 0:
            n = min(chunk, left)
            out.write(base64_lines(rng.randbytes(n)))
            left -= n
        out.write(f"--{boundary}--\r\n".encode())


def quoted_printable_line(raw):
    out, length = [], 0
    for byte in raw:
        piece = chr(byte) if 33 <= byte <= 126 and byte != 61 else f"={byte:02X}"
        if length + len(piece) > 75:
            out.append("=\r\n")
            length = 0
        out.append(piece)
        length += len(piece)
    return "".join(out) + "\r\n"


def write_big_qp(path):
    boundary = "BENCH-QP"
    sentence = "添付ファイルの抽出を確認します。Attachment extraction benchmark line. ".encode("cp932")
    line = quoted_printable_line(sentence * 2).encode()
    with open(path, "wb") as out:
        out.write(header("big quoted-printable", boundary) + text_part(boundary))
        out.write(attachment(boundary, "big.txt", "quoted-printable", b"",
                             "text/plain; charset=shift_jis"))
        for _ in range(50 * 1000 * 1000 // len(sentence * 2)):
            out.write(line)
        out.write(f"--{boundary}--\r\n".encode())


def write_many_small(folder):
    os.makedirs(folder)
    rng = random.Random(2)
    encoded = "=?ISO-2022-JP?B?" + base64.b64encode("資料".encode("iso2022_jp")).decode() + "?="
    for i in range(2000):
        boundary = f"BENCH-{i}"
        with open(os.path.join(folder, f"m{i:04d}.eml"), "wb") as out:
            out.write(header(f"message {i}", boundary) + text_part(boundary))
            out.write(attachment(boundary, f"{encoded}{i}.pdf", "base64",
                                 base64_lines(rng.randbytes(20000))))
            out.write(attachment(boundary, f"data{i}.zip", "base64",
                                 base64_lines(rng.randbytes(20000))))
            out.write(f"--{boundary}--\r\n".encode())


# --- Hostile shapes: inputs made to cost time or memory out of proportion to their size.
# Each is one file the program reads alone (--hostile runs them; no peer takes part).

def simple_message(subject, disposition, body=b"hostile\r\n", extra_header=b""):
    boundary = "BENCH-H"
    out = header(subject, boundary).replace(b"MIME-Version", extra_header + b"MIME-Version")
    out += text_part(boundary)
    out += (f"--{boundary}\r\nContent-Type: application/octet-stream\r\n"
            f"Content-Transfer-Encoding: base64\r\n").encode()
    out += b"Content-Disposition: " + disposition + b"\r\n\r\n" + base64_lines(body)
    return out + f"--{boundary}--\r\n".encode()


def write_words(path):
    # A 1 MB Subject and file name of encoded-word openings that never close.
    words = b"=?a?Q?a" * (1024 * 1024 // 7)
    with open(path, "wb") as out:
        out.write(simple_message(words.decode(), b'attachment; filename="' + words + b'.txt"'))


def write_sections(path):
    # Just under 1 MB (a header field keeps no more) of RFC 2231 sections of one file name:
    # the last number written over and over, then the sections 0 to 9998 (a search for each
    # number passes all the copies).
    pieces = ["; filename*9999=b"] * 48000 + [f"; filename*{i}=a" for i in range(9999)]
    with open(path, "wb") as out:
        out.write(simple_message("sections", ("attachment" + "".join(pieces)).encode()))


def write_long_lines(path):
    # A plain and a quoted-printable attachment of one 200 MB line each.
    boundary = "BENCH-L"
    with open(path, "wb") as out:
        out.write(header("long lines", boundary) + text_part(boundary))
        out.write(attachment(boundary, "plain.txt", "7bit", b"", "text/plain"))
        for _ in range(200):
            out.write(b"x" * (1024 * 1024))
        out.write(b"\r\n")
        out.write(attachment(boundary, "qp.txt", "quoted-printable", b"", "text/plain"))
        for _ in range(200):
            out.write(b"=41" * (1024 * 1024 // 3))
        out.write(f"\r\n--{boundary}--\r\n".encode())


def write_long_header(path):
    # A 50 MB header value (a Subject of one line) before an ordinary attachment.
    with open(path, "wb") as out:
        out.write(simple_message("x" * (50 * 1024 * 1024), b'attachment; filename="a.bin"'))


class CompoundFile:
    """A version 3 compound file: streams below 4096 bytes in the mini stream, the others
    in sectors; directory trees as right-leaning lists (readers only walk them in order).
    stream(..., share=other) makes a stream use another stream's sectors."""

    def __init__(self):
        self.entries = [{"name": "Root Entry", "type": 5, "children": []}]
        self.sectors = bytearray()
        self.fat = []
        self.mini = bytearray()
        self.minifat = []

    def storage(self, parent, name):
        self.entries.append({"name": name, "type": 1, "children": []})
        self.entries[parent]["children"].append(len(self.entries) - 1)
        return len(self.entries) - 1

    def stream(self, parent, name, data, share=None):
        entry = {"name": name, "type": 2, "children": [], "size": len(data)}
        if share is not None:
            entry["start"] = self.entries[share]["start"]
            entry["size"] = self.entries[share]["size"]
        elif len(data) < 4096:
            count = (len(data) + 63) // 64
            entry["start"] = len(self.minifat) if count else 0xFFFFFFFE
            self.minifat += [len(self.minifat) + i + 1 for i in range(count - 1)] + [0xFFFFFFFE] * (count > 0)
            self.mini += data + b"\0" * (count * 64 - len(data))
        else:
            entry["start"] = self.chain(data)
        self.entries.append(entry)
        self.entries[parent]["children"].append(len(self.entries) - 1)
        return len(self.entries) - 1

    def chain(self, data):
        count = (len(data) + 511) // 512
        if count == 0:
            return 0xFFFFFFFE
        first = len(self.fat)
        self.fat += [first + i + 1 for i in range(count - 1)] + [0xFFFFFFFE]
        self.sectors += data + b"\0" * (count * 512 - len(data))
        return first

    def bytes(self):
        import struct
        root = self.entries[0]
        root["size"] = len(self.mini)
        root["start"] = self.chain(bytes(self.mini))
        minifat = b"".join(struct.pack("<I", v) for v in self.minifat)
        minifat += b"\xff" * ((-len(minifat)) % 512)
        minifat_start = self.chain(minifat) if minifat else 0xFFFFFFFE
        for entry in self.entries:
            kids = entry["children"]
            entry["child"] = kids[0] if kids else 0xFFFFFFFF
            for a, b in zip(kids, kids[1:] + [None]):
                self.entries[a]["right"] = b if b is not None else 0xFFFFFFFF
        directory = bytearray()
        for entry in self.entries:
            name = entry["name"].encode("utf-16-le")
            record = name + b"\0" * (64 - len(name))
            record += struct.pack("<HBBIII", len(name) + 2, entry["type"], 1, 0xFFFFFFFF,
                                  entry.get("right", 0xFFFFFFFF), entry["child"])
            record += b"\0" * 36
            record += struct.pack("<III", entry.get("start", 0) if entry["type"] != 1 else 0,
                                  entry.get("size", 0) if entry["type"] != 1 else 0, 0)
            directory += record
        directory += b"\0" * ((-len(directory)) % 512)
        directory_start = self.chain(bytes(directory))
        data_sectors = len(self.fat)
        fat_sectors = (data_sectors + 127) // 128
        while (data_sectors + fat_sectors + 127) // 128 > fat_sectors:
            fat_sectors += 1
        assert fat_sectors <= 109
        fat = self.fat + [0xFFFFFFFD] * fat_sectors
        fat += [0xFFFFFFFF] * (fat_sectors * 128 - len(fat))
        head = bytearray(512)
        head[0:8] = bytes([0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1])
        struct.pack_into("<HHHHH", head, 0x18, 0x3E, 3, 0xFFFE, 9, 6)
        struct.pack_into("<IIIIIIII", head, 0x2C, fat_sectors, directory_start, 0, 4096,
                         minifat_start, len(minifat) // 512, 0xFFFFFFFE, 0)
        for i in range(109):
            struct.pack_into("<I", head, 0x4C + 4 * i,
                             data_sectors + i if i < fat_sectors else 0xFFFFFFFF)
        return bytes(head) + bytes(self.sectors) + b"".join(struct.pack("<I", v) for v in fat)


def item_properties(header_size, fixed=()):
    import struct
    return b"\0" * header_size + b"".join(struct.pack("<IIQ", tag, 6, value) for tag, value in fixed)


def message_storage(cf, parent, header_size):
    cf.stream(parent, "__properties_version1.0", item_properties(header_size))
    cf.stream(parent, "__substg1.0_001A001F", "IPM.Note".encode("utf-16-le"))


def write_shared_chains(path):
    # A 2 MB item: 1,000 attachments whose data streams all use one 1.5 MB chain.
    cf = CompoundFile()
    message_storage(cf, 0, 32)
    first = None
    for i in range(1000):
        storage = cf.storage(0, f"__attach_version1.0_#{i:08X}")
        cf.stream(storage, "__properties_version1.0", item_properties(8, [(0x37050003, 1)]))
        cf.stream(storage, "__substg1.0_3707001F", f"f{i}.bin".encode("utf-16-le"))
        data = cf.stream(storage, "__substg1.0_37010102",
                         random.Random(3).randbytes(1536 * 1024) if first is None else b"",
                         share=first)
        first = first if first is not None else data
    with open(path, "wb") as out:
        out.write(cf.bytes())


def write_many_embedded(path):
    # A 1.1 MB item: a 1 MB named-property map at its root and 1,000 attached items, each of
    # which takes a copy of the map when it is written out as an item of its own.
    cf = CompoundFile()
    message_storage(cf, 0, 32)
    names = cf.storage(0, "__nameid_version1.0")
    cf.stream(names, "__substg1.0_00020102", random.Random(4).randbytes(1024 * 1024))
    for i in range(1000):
        storage = cf.storage(0, f"__attach_version1.0_#{i:08X}")
        cf.stream(storage, "__properties_version1.0", item_properties(8, [(0x37050003, 5)]))
        inner = cf.storage(storage, "__substg1.0_3701000D")
        message_storage(cf, inner, 24)
    with open(path, "wb") as out:
        out.write(cf.bytes())


HOSTILE = [("words", "words.eml", write_words), ("sections", "sections.eml", write_sections),
           ("long-lines", "long-lines.eml", write_long_lines),
           ("long-header", "long-header.eml", write_long_header),
           ("shared-chains", "shared-chains.msg", write_shared_chains),
           ("many-embedded", "many-embedded.msg", write_many_embedded)]


def hostile(regenerate, runs, only):
    """Runs the program alone on each hostile shape: wall and CPU seconds, peak memory and
    what it wrote (MB), with a time limit of 300 s a run."""
    inputs = os.path.join(WORK, "input", "hostile")
    os.makedirs(inputs, exist_ok=True)
    print(f"{'shape':<15}{'input MB':>9}{'seconds':>9}{'cpu s':>8}{'peak MB':>9}{'written MB':>11}"
          f"{'exit':>6}")
    for name, file_name, write in HOSTILE:
        if only and name not in only:
            continue
        path = os.path.join(inputs, file_name)
        if regenerate or not os.path.exists(path):
            write(path)
        measured = []
        for _ in range(runs):
            out = os.path.join(OUT, f"hostile-{name}")
            shutil.rmtree(out, ignore_errors=True)
            os.makedirs(out)
            copy = os.path.join(OUT, f"hostile-input-{file_name}")
            shutil.copyfile(path, copy)  # the program consumes nothing it is given; kept apart
            start = time.monotonic()
            try:
                result = subprocess.run(["/usr/bin/time", "-f", "%M %U %S", CLI, "extract",
                                         "--no-scan", "--quiet", "--data-dir", out, copy],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                        timeout=300)
                seconds = time.monotonic() - start
                rss, user, system = result.stderr.decode().strip().splitlines()[-1].split()
                cpu, peak, code = float(user) + float(system), int(rss) / 1024, result.returncode
            except subprocess.TimeoutExpired:
                seconds, cpu, peak, code = 300.0, float("nan"), float("nan"), "limit"
            written = sum(os.path.getsize(os.path.join(d, f))
                          for d, _, fs in os.walk(out) for f in fs) / 1e6
            shutil.rmtree(out, ignore_errors=True)
            os.remove(copy)
            measured.append((seconds, cpu, peak, written, code))
        seconds, cpu, peak, written, code = sorted(measured, key=lambda m: m[0])[len(measured) // 2]
        print(f"{name:<15}{os.path.getsize(path) / 1e6:>9.1f}{seconds:>9.2f}{cpu:>8.2f}"
              f"{peak:>9.1f}{written:>11.1f}{code!s:>6}", flush=True)


def workloads(regenerate):
    if regenerate:
        shutil.rmtree(os.path.join(WORK, "input"), ignore_errors=True)
    inputs = os.path.join(WORK, "input")
    os.makedirs(inputs, exist_ok=True)
    big64 = os.path.join(inputs, "big-base64.eml")
    bigqp = os.path.join(inputs, "big-qp.eml")
    small = os.path.join(inputs, "many-small")
    if not os.path.exists(big64):
        write_big_base64(big64)
    if not os.path.exists(bigqp):
        write_big_qp(bigqp)
    if not os.path.exists(small):
        write_many_small(small)
    files = sorted(os.path.join(small, name) for name in os.listdir(small))
    return [("big-base64", [big64]), ("big-qp", [bigqp]), ("many-small", files)]


def measure(commands):
    """Runs the commands one after another; returns wall seconds, CPU seconds and the largest
    peak RSS."""
    peak = 0
    cpu = 0.0
    start = time.monotonic()
    for command in commands:
        result = subprocess.run(["/usr/bin/time", "-f", "%M %U %S"] + command,
                                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        if result.returncode != 0:
            raise RuntimeError(f"{command[0]} failed: {result.stderr.decode()[-300:]}")
        rss, user, system = result.stderr.decode().strip().splitlines()[-1].split()
        peak = max(peak, int(rss))
        cpu += float(user) + float(system)
    return time.monotonic() - start, cpu, peak / 1024


def tools(files, out):
    # Our tool consumes the copies it makes, never the files it is given.
    return {
        # Quiet as the peers are (munpack -q; ripmime and mu print nothing): the report of
        # the new records is left out; --report times the program with it.
        "morvek": [[CLI, "extract", "--no-scan"] + ([] if REPORT else ["--quiet"]) +
                   ["--data-dir", out] + files],
        "ripmime": [["ripmime", "-i", f, "-d", out] for f in files],
        "munpack": [["munpack", "-q", "-C", out] + files],
        "mu": [["mu", "extract", "--save-attachments", "--overwrite", f"--target-dir={out}", f]
               for f in files],
        "cp": [["cp", "--"] + files + [out]],
    }


def option(name, default):
    if name in sys.argv:
        index = sys.argv.index(name)
        if index + 1 < len(sys.argv):
            return sys.argv[index + 1]
    return default


def main():
    if not os.access(CLI, os.X_OK):
        sys.exit(f"build the native preset first ({CLI} is missing)")
    runs = max(1, int(option("--runs", "3")))
    if "--hostile" in sys.argv:
        only = option("--shapes", "")
        hostile("--regenerate" in sys.argv, runs, only.split(",") if only else [])
        return
    chosen = option("--tools", "morvek,ripmime,munpack,mu,cp").split(",")
    if "morvek" not in chosen:
        chosen.insert(0, "morvek")
    loads = workloads("--regenerate" in sys.argv)
    print(f"{'workload':<12}{'tool':<9}{'seconds':>9}{'cpu s':>8}{'peak MB':>9}"
          f"{'peer/ours':>11}{'cpu ratio':>11}")
    summary = []
    for name, files in loads:
        results = {}
        for tool in [t for t in ("morvek", "ripmime", "munpack", "mu", "cp") if t in chosen]:
            measured = []
            for _ in range(runs):
                out = os.path.join(OUT, f"{name}-{tool}")
                shutil.rmtree(out, ignore_errors=True)
                os.makedirs(out)
                measured.append(measure(tools(files, out)[tool]))
                shutil.rmtree(out, ignore_errors=True)
            seconds, cpu, peak = sorted(measured)[len(measured) // 2]
            results[tool] = (seconds, cpu)
            ours = results["morvek"]
            ratio = "" if tool == "morvek" else f"{seconds / ours[0]:.2f}"
            cpu_ratio = "" if tool == "morvek" else f"{cpu / max(ours[1], 0.005):.2f}"
            print(f"{name:<12}{tool:<9}{seconds:>9.2f}{cpu:>8.2f}{peak:>9.1f}{ratio:>11}"
                  f"{cpu_ratio:>11}", flush=True)
        peers = {t: r for t, r in results.items() if t not in ("morvek", "cp")}
        line = f"{name:<12}"
        if peers:
            fastest = min(peers, key=lambda t: peers[t][0])
            line += f"{peers[fastest][0] / results['morvek'][0]:.2f} times as fast as {fastest}"
        if "cp" in results:
            line += f"; {results['morvek'][0] / results['cp'][0]:.2f} times a plain copy"
        summary.append(line)
    print(f"(median of {runs} run{'s' if runs > 1 else ''} each)")
    for line in summary:
        print(line)


if __name__ == "__main__":
    main()
