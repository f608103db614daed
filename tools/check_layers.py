#!/usr/bin/env python3
"""Checks that every include of the program's sources runs down the layers.

The layers, from the top:

    gui/, cli/          the programs (morvek.exe, morvek-cli); nothing includes them
    view/               the attachment list (view/win/ its window)
    intake/             the mail intake (intake/win/ its windows)
    app/, ui/           the application's portable core; the window kit
    engine/             the message engine
    policy/             extension lists and file-type descriptions
    platform/           the operating-system layer

A file may include headers of its own folder and of any layer below its own. Folders of one
layer (gui/ and cli/, app/ and ui/) do not include each other. Portable code (everything but
ui/, gui/ and the win/ folders) includes neither the windows' folders nor res/ nor a
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
    "app": 3,
    "ui": 3,
    "intake": 4,
    "view": 5,
    "gui": 6,
    "cli": 6,
}
# Resource ids: a leaf that only the windows include.
RESOURCES = "res"
WINDOWS_ONLY = {"ui", "gui", "intake/win", "view/win", "platform/win32"}
BACKENDS = {"platform/win32", "platform/posix"}
SOURCE_SUFFIXES = {".h", ".cpp"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def unit(path):
    """The folder a file or header belongs to: its top folder, or top/win and the
    platform backends."""
    parts = pathlib.PurePosixPath(path).parts
    if len(parts) >= 3 and parts[1] in ("win", "win32", "posix"):
        return f"{parts[0]}/{parts[1]}"
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
