#!/usr/bin/env python3
"""Checks that every include of the program's sources runs down the layers.

The layers, from the top:

    gui/, cli/          the programs (morvek.exe, morvek-cli); nothing includes them
    view/               the attachment list (view/win/ its window)
    intake/             the mail intake (intake/win/ its windows)
    run/                the extraction and unsent runs, the antivirus program
    app/, ui/           the application's portable core; the window kit
    store/              records, the record list file, store paths
    engine/             the message engine, itself in layers:
        extract/            the extraction (the only part that sees both formats)
        inspect/            what an attachment holds (archives, programs under other names)
        mime/, outlook/     the MIME reader; compound files, Outlook items, TNEF
        text/               header text and charsets
        codec/              base64 and quoted-printable
    policy/             extension lists and file-type descriptions
    platform/           the operating-system layer

A file may include headers of its own folder and of any layer below its own. Folders of one
layer (gui/ and cli/, app/ and ui/) do not include each other. The same holds for the folders
of engine/. cli/ includes nothing of the attachment list (view/). Portable code (everything
but ui/, gui/ and the win/ folders) includes neither the windows' folders nor res/ nor a
backend of platform/. Prints each include against the layers and exits 1 when there is one.

    tools/check_layers.py [ROOT]
"""

import pathlib
import re
import sys

LAYERS = {
    "platform": 0,
    "policy": 1,
    "engine": 2,
    "store": 3,
    "app": 4,
    "ui": 4,
    "run": 5,
    "intake": 6,
    "view": 7,
    "gui": 8,
    "cli": 8,
}
# The layers inside engine/.
ENGINE_LAYERS = {"codec": 0, "text": 1, "mime": 2, "outlook": 2, "inspect": 3, "extract": 4}
# Includes that the layers alone would allow: the terminal tool stays clear of the list.
FORBIDDEN = {("cli", "view"): "cli/ includes the attachment list (view/)"}
# Resource ids: a leaf that only the windows include.
RESOURCES = "res"
WINDOWS_ONLY = {"ui", "gui", "intake/win", "view/win", "platform/win32"}
BACKENDS = {"platform/win32", "platform/posix"}
SOURCE_SUFFIXES = {".h", ".cpp"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def engine_violation(source_unit, target_unit):
    """Why an include between two folders of engine/ runs against its layers, or None."""
    source, target = source_unit.split("/")[1], target_unit.split("/")[1]
    if source not in ENGINE_LAYERS or target not in ENGINE_LAYERS:
        return f"engine code lies outside engine's folders ({source_unit} -> {target_unit})"
    if source == target or ENGINE_LAYERS[target] < ENGINE_LAYERS[source]:
        return None
    if ENGINE_LAYERS[target] == ENGINE_LAYERS[source]:
        return f"engine/{source}/ and engine/{target}/ are one layer and do not include each other"
    return f"engine/{source}/ includes engine/{target}/, a layer above it"


def unit(path):
    """The folder a file or header belongs to: its top folder, or top/win and the
    platform backends."""
    parts = pathlib.PurePosixPath(path).parts
    if len(parts) >= 3 and parts[1] in ("win", "win32", "posix"):
        return f"{parts[0]}/{parts[1]}"
    if parts[0] == "engine":
        return f"engine/{parts[1]}" if len(parts) >= 3 else "engine/."
    return parts[0]


def top(folder):
    return folder.split("/")[0]


def violation(source_unit, header):
    """Why including header from source_unit runs against the layers, or None."""
    target_unit = unit(header)
    source_top, target_top = top(source_unit), top(target_unit)
    windows_code = source_unit in WINDOWS_ONLY
    if target_top == RESOURCES:
        return None if windows_code else "portable code includes the resources"
    if target_top not in LAYERS:
        return None  # not one of the program's folders (a generated or test header)
    if target_unit in BACKENDS and source_top != "platform":
        if target_unit == "platform/win32" and windows_code:
            return None
        return f"{source_unit} reaches into the {target_unit} backend"
    if not windows_code and target_unit in WINDOWS_ONLY:
        return f"portable {source_unit} includes the windows of {target_unit}"
    if (source_top, target_top) in FORBIDDEN:
        return FORBIDDEN[(source_top, target_top)]
    if source_top == target_top == "engine":
        return engine_violation(source_unit, target_unit)
    if source_top == target_top:
        return None
    if LAYERS[target_top] < LAYERS[source_top]:
        return None
    if LAYERS[target_top] == LAYERS[source_top]:
        return f"{source_top}/ and {target_top}/ are one layer and do not include each other"
    return f"{source_top}/ includes {target_top}/, a layer above it"


def check(root):
    problems = []
    for folder in LAYERS:
        base = root / folder
        if not base.is_dir():
            continue
        for path in sorted(base.rglob("*")):
            if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
                continue
            relative = path.relative_to(root).as_posix()
            source_unit = unit(relative)
            text = path.read_text(encoding="utf-8", errors="replace")
            for match in INCLUDE.finditer(text):
                header = match.group(1)
                if "/" not in header:
                    continue  # beside the file
                reason = violation(source_unit, header)
                if reason:
                    line = text.count("\n", 0, match.start()) + 1
                    problems.append(f"{relative}:{line}: #include \"{header}\": {reason}")
    return problems


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent)
    problems = check(root.resolve())
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} include(s) against the layers")
        return 1
    print("includes run down the layers")
    return 0


if __name__ == "__main__":
    sys.exit(main())
