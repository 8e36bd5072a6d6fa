#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The licence line at the head of every source file of the project.

    tools/spdx_lines.py          adds the line where it is missing
    tools/spdx_lines.py --check  names every file that lacks it; exit 1 if any

The files are the tracked ones (git ls-files) of the kinds below, each with
the line in its own comment syntax: after a "#!" line, after an HTML
document's DOCTYPE. JSON has no comments: the page's package.json, and the
root entry of its lock file, say "license": "MIT" instead. Running it again
changes nothing.
"""
import json
import pathlib
import re
import subprocess
import sys

IDENTIFIER = "SPDX-License-Identifier: MIT"
# How far into a file the line may stand and still count as its head.
HEAD_LINES = 5
PACKAGE_FILES = ("web/package.json", "web/package-lock.json")


def comment_for(path: pathlib.Path, first_line: str):
    """The comment line for a file, or None for a file that is not source."""
    name = path.name
    suffix = path.suffix
    if suffix in (".cpp", ".h", ".hpp", ".js", ".cjs", ".mjs"):
        return f"// {IDENTIFIER}"
    if suffix == ".css":
        return f"/* {IDENTIFIER} */"
    if suffix in (".cmake", ".sh", ".py") or name == "CMakeLists.txt":
        return f"# {IDENTIFIER}"
    if suffix == ".html":
        return f"<!-- {IDENTIFIER} -->"
    if re.fullmatch(r"\.[1-9]", suffix):
        return f'.\\" {IDENTIFIER}'
    if first_line.startswith("#!"):
        return f"# {IDENTIFIER}"
    return None


def insertion_line(lines, comment):
    """Where the comment goes: after a "#!" line, a DOCTYPE or a man page's
    preprocessor line, which must come first."""
    if lines and (lines[0].startswith("#!") or lines[0].lower().startswith("<!doctype")
                  or (comment.startswith(".") and lines[0].startswith("'\\\""))):
        return 1
    return 0


def tracked_files(root):
    names = subprocess.run(["git", "ls-files", "-z"], cwd=root, check=True,
                           capture_output=True).stdout.decode().split("\0")
    return [root / name for name in names if name and (root / name).is_file()]


def source_status(path):
    """(comment, has_line) for a source file; (None, True) for any other."""
    try:
        text = path.read_text(encoding="utf-8")
    except UnicodeDecodeError:
        return None, True
    lines = text.split("\n")
    comment = comment_for(path, lines[0] if lines else "")
    if comment is None:
        return None, True
    return comment, any(IDENTIFIER in line for line in lines[:HEAD_LINES])


def add_line(path, comment):
    text = path.read_text(encoding="utf-8")
    lines = text.split("\n")
    lines.insert(insertion_line(lines, comment), comment)
    path.write_text("\n".join(lines), encoding="utf-8")


def package_licence(path):
    """The package's own licence field: in package.json at the top, in the
    lock file in its root entry."""
    data = json.loads(path.read_text(encoding="utf-8"))
    return data.get("packages", {}).get("", data).get("license")


def set_package_licence(path):
    # The first "license" key of both files is the package's own; the rest
    # of the file keeps its bytes.
    text = path.read_text(encoding="utf-8")
    changed, count = re.subn(r'("license":\s*)"[^"]*"', r'\1"MIT"', text, count=1)
    if count == 0:
        changed = re.sub(r'^(\s*)("name":\s*"[^"]*",\n)', r'\1\2\1"license": "MIT",\n', text,
                         count=1, flags=re.M)
    path.write_text(changed, encoding="utf-8")
    if package_licence(path) != "MIT":
        raise SystemExit(f"{path}: could not set its licence to MIT")


def main():
    check = sys.argv[1:] == ["--check"]
    if sys.argv[1:] not in ([], ["--check"]):
        raise SystemExit(__doc__)
    root = pathlib.Path(subprocess.run(["git", "rev-parse", "--show-toplevel"], check=True,
                                       capture_output=True, text=True).stdout.strip())
    lacking = []
    for path in tracked_files(root):
        relative = path.relative_to(root).as_posix()
        if relative in PACKAGE_FILES:
            if package_licence(path) != "MIT":
                lacking.append(relative)
                if not check:
                    set_package_licence(path)
            continue
        comment, has_line = source_status(path)
        if not has_line:
            lacking.append(relative)
            if not check:
                add_line(path, comment)
    if check and lacking:
        print(f"without the line \"{IDENTIFIER}\" at its head:")
        print("\n".join(f"  {name}" for name in lacking))
        return 1
    if not check and lacking:
        print(f"added the licence line to {len(lacking)} files")
    return 0


if __name__ == "__main__":
    sys.exit(main())
