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
Usage: tools/bench/benchmark.py [--regenerate] [--runs N] [--tools morvek,ripmime,...] [--report]
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
