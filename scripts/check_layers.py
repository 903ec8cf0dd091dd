#!/usr/bin/python3
"""Checks the layering of the source tree: every #include that reaches a project file
must be one the including file's module may use. Prints each wrong include and exits 1
when there is one.

An include is resolved as the compiler resolves it: "..." first against the folder of
the file that holds it, then against the include folders; <...> against the include
folders only. The include folders are those of each translation unit in the compile
database given with --compile-commands (CMake writes compile_commands.json into its
build folder); a file the database does not reach (a Windows-only one on Linux, or
every file without a database) is read with the project folder as its only include
folder, as every target of the build has it. Every include is read, whatever #if
surrounds it, so that Windows-only includes are checked on Linux too.

A file belongs to the module whose folder is the longest prefix of its path: nested
folders such as platform/excel/memory are modules of their own, not parts of
platform/excel. The modules and what each may include are the table RULES below;
README.md shows it (the part between its include-table marks, which must equal
`check_layers.py --table`).

    scripts/check_layers.py [--compile-commands FILE] [--root DIR]
    scripts/check_layers.py --table
"""

import argparse
import json
import os
import re
import shlex
import sys

ENGINES = ("compare", "actions", "blocks", "parser", "query")
INTERFACES = ("platform/runtime", "platform/excel", "platform/forms", "platform/system")
ANYTHING = "anything"

# Files the build makes, by the path the sources include them with: each belongs to the
# module of that path.
GENERATED = {"com/quillary3.h": "the type library's declarations, made by the build from com/quillary3.idl"}

# Each row: the modules it is about, and what they may include besides their own files:
# modules, groups (GROUPS below), single files, or ANYTHING.
RULES = (
    (("platform/runtime",), ()),
    (("platform/excel",), ("platform/runtime",)),
    (("platform/excel/memory",), ("platform/excel", "platform/runtime")),
    (("platform/forms",), ("platform/runtime",)),
    (("platform/forms/memory",), ("platform/forms", "platform/runtime")),
    (("platform/system",), ("platform/runtime",)),
    (("platform/system/memory",), ("platform/system", "platform/runtime")),
    (("platform/addin",), ("platform/forms", "platform/runtime")),
    (("platform/automation",), ("platform/runtime",)),
    (("platform/excel/automation",), ("platform/excel", "platform/automation", "platform/runtime")),
    (("platform/forms/automation",), ("platform/forms", "platform/automation", "platform/runtime")),
    (("host",), ("the platform's interfaces",)),
    (("sheets",), ("host", "the platform's interfaces")),
    (("items",), ("sheets", "host", "the platform's interfaces")),
    (("services",), ("items", "sheets", "host", "the platform's interfaces")),
    (ENGINES, ("services", "items", "sheets", "host", "the platform's interfaces")),
    (("drivers",), ("the engines", "services", "items", "sheets", "host", "the platform's interfaces")),
    (("testkit",), ("host", "the whole platform")),
    (("workbook",), ("platform/excel/memory", "platform/excel", "platform/runtime")),
    (("com",), ("drivers", "the engines", "services", "items", "sheets", "host", "the whole platform")),
    (("com/stand_in",), ("com/quillary3.h", "drivers", "the engines", "services", "items", "sheets", "host", "the whole platform")),
    (("cli",), ("workbook", "com/stand_in", "drivers", "the engines", "services", "items", "sheets", "host", "the whole platform")),
    (("cmake",), ()),
    (("bench", "fuzz"), (ANYTHING,)),
)

PLATFORM = tuple(m for modules, _ in RULES for m in modules if m.startswith("platform/"))
GROUPS = {
    "the platform's interfaces": (
        INTERFACES,
        "the component reaches the platform only through these, so that the in-memory "
        "stand-ins (`platform/*/memory/`, `platform/addin/`) and the automation backends "
        "(`platform/*/automation/`) can replace each other without touching it",
    ),
    "the whole platform": (PLATFORM, "every module under `platform/`"),
    "the engines": (ENGINES, "an engine never includes another engine"),
}

# The folders inside a module that hold its tests and benchmarks. Besides what their
# module may, they may include testkit and what testkit may, the whole platform, the
# modules nested in their own, and the test helpers (headers under tests/) of every module
# they may include.
TEST_FOLDERS = ("tests", "bench")
SOURCE_SUFFIXES = (".h", ".hpp", ".c", ".cc", ".cpp")
INCLUDE = re.compile(r'^\s*(?:/\*.*?\*/\s*)*#\s*include\b\s*(?:(<)([^>]*)>|(")([^"]*)"|(\S.*?))\s*(?://.*|/\*.*)?$')


def expand(entries):
    """The modules, files and ANYTHING that the entries of a rule stand for."""
    out = set()
    for entry in entries:
        out.update(GROUPS[entry][0] if entry in GROUPS else (entry,))
    return out


MODULES = {module: expand(may) for modules, may in RULES for module in modules}


def module_of(path):
    """The module a project path lies in (the longest module folder that is a prefix), or None."""
    best = None
    for module in MODULES:
        if path.startswith(module + "/") and (best is None or len(module) > len(best)):
            best = module
    return best


def within(path, module):
    """The path's folders below its module's folder."""
    return path[len(module) + 1 :].split("/")[:-1]


def is_test(path, module):
    return any(part in TEST_FOLDERS for part in within(path, module))


class Problems:
    def __init__(self):
        self.seen = set()
        self.lines = []

    def add(self, path, line, spelled, message):
        key = (path, line, message)
        if key not in self.seen:
            self.seen.add(key)
            self.lines.append(f"{path}:{line}: includes {spelled}: {message}")


def verdict(source, target):
    """Why `source` may not include the project file `target`, or None when it may."""
    owner = module_of(source)
    if owner is None:
        return f"{source} lies in no module of the table"
    home = module_of(target)
    if home is None:
        return f"{target} lies in no module of the table"
    if "internal" in within(target, home):
        return None if owner == home else f"{target} is internal to {home}"
    allowed = MODULES[owner]
    test = is_test(source, owner)
    if is_test(target, home) and not test and ANYTHING not in allowed:
        return f"{target} is a test helper of {home}, for tests only"
    if home == owner or ANYTHING in allowed:
        return None
    if test:
        allowed = allowed | set(PLATFORM) | {"testkit"} | MODULES["testkit"]
        allowed |= {m for m in MODULES if m.startswith(owner + "/")}
    if home in allowed or target in allowed:
        return None
    return f"{owner} may not include {home}"


# ---------------------------------------------------------------------------------------
# Resolving includes


class Tree:
    """The project's source files and their includes, read once."""

    def __init__(self, root):
        self.root = os.path.realpath(root)
        self.includes = {}

    def rel(self, absolute):
        """The project path of an absolute path, or None outside the project's sources (outside
        its folder, or in a build folder or a hidden one)."""
        r = os.path.relpath(absolute, self.root)
        first = r.split("/", 1)[0]
        return None if first == ".." or first.startswith((".", "build")) else r

    def sources(self):
        """Every source file of the tree, as project paths (build folders and hidden ones left out)."""
        found = []
        for folder, dirs, files in os.walk(self.root):
            dirs[:] = sorted(d for d in dirs if not d.startswith(".") and not d.startswith("build"))
            for name in files:
                if name.endswith(SOURCE_SUFFIXES):
                    found.append(self.rel(os.path.join(folder, name)))
        return sorted(found)

    def read(self, path):
        """The includes of a project file: (line number, bracket, name, as written)."""
        if path not in self.includes:
            found = []
            with open(os.path.join(self.root, path), encoding="utf-8", errors="replace") as f:
                for number, text in enumerate(f, 1):
                    if "include" not in text:
                        continue
                    m = INCLUDE.match(text)
                    if m and m.group(5):
                        found.append((number, None, m.group(5), m.group(5)))
                    elif m:
                        bracket, name = (m.group(1), m.group(2)) if m.group(1) else (m.group(3), m.group(4))
                        close = ">" if bracket == "<" else '"'
                        found.append((number, bracket, name, f"{bracket}{name}{close}"))
            self.includes[path] = found
        return self.includes[path]

    def resolve(self, path, bracket, name, dirs):
        """The project path the compiler finds for an include of `path`, or None when it finds
        no project file (a system header, or one not there at all). `dirs` is (quote, bracket):
        the include folders for "..." (after the file's own folder) and for <...>."""
        quote, angled = dirs
        own = os.path.dirname(os.path.join(self.root, path))
        search = angled if bracket == "<" else (own,) + quote + angled
        for folder in search:
            candidate = os.path.normpath(os.path.join(folder, name))
            below = os.path.relpath(candidate, folder)
            if folder != own and below in GENERATED:
                # The build's folder of generated files, or the project's folder standing
                # in for it where the build made none.
                if os.path.isfile(candidate) or folder == self.root:
                    return below
            if os.path.isfile(candidate):
                return self.rel(candidate)
        return None


def include_dirs(entry):
    """(quote, bracket) include folders of one compile-database entry."""
    if "arguments" in entry:
        args = list(entry["arguments"])
    else:
        args = shlex.split(entry["command"])
    directory = entry.get("directory", ".")
    expanded = []
    for arg in args:
        if arg.startswith("@") and os.path.isfile(os.path.join(directory, arg[1:])):
            with open(os.path.join(directory, arg[1:]), encoding="utf-8") as f:
                expanded.extend(shlex.split(f.read()))
        else:
            expanded.append(arg)
    quote, normal, system, after = [], [], [], []
    flags = {"-iquote": quote, "-I": normal, "-isystem": system, "-idirafter": after}
    i = 0
    while i < len(expanded):
        arg = expanded[i]
        for flag, into in flags.items():
            if arg == flag and i + 1 < len(expanded):
                into.append(expanded[i + 1])
                i += 1
                break
            if arg.startswith(flag) and len(arg) > len(flag):
                into.append(arg[len(flag) :])
                break
        i += 1

    def absolute(folders):
        return tuple(os.path.realpath(os.path.join(directory, d)) for d in folders)

    return absolute(quote), absolute(normal) + absolute(system) + absolute(after)


def check(root, compile_commands=None):
    """The wrong includes of the tree at `root`, as printable lines."""
    tree = Tree(root)
    problems = Problems()
    default = ((), (tree.root,))
    units = []
    if compile_commands:
        with open(compile_commands, encoding="utf-8") as f:
            for entry in json.load(f):
                source = tree.rel(os.path.realpath(os.path.join(entry.get("directory", "."), entry["file"])))
                if source is not None:
                    units.append((source, include_dirs(entry)))
    reached = set()
    done = set()

    def walk(path, dirs):
        stack = [path]
        while stack:
            current = stack.pop()
            if (current, dirs) in done:
                continue
            done.add((current, dirs))
            reached.add(current)
            for line, bracket, name, spelled in tree.read(current):
                if bracket is None:
                    problems.add(current, line, spelled, "a computed include, which this check cannot follow")
                    continue
                target = tree.resolve(current, bracket, name, dirs)
                if target is None:
                    continue
                why = verdict(current, target)
                if why:
                    problems.add(current, line, spelled, why)
                if target not in GENERATED:
                    stack.append(target)

    for source, dirs in units:
        walk(source, dirs)
    for source in tree.sources():
        if module_of(source) is None:
            problems.add(source, 1, "(the file itself)", f"{source} lies in no module of the table")
        elif source not in reached:
            walk(source, default)
    return sorted(problems.lines)


# ---------------------------------------------------------------------------------------
# The table as README.md shows it

README_BEGIN = "<!-- include table: the output of scripts/check_layers.sh --table -->"
README_END = "<!-- end of the include table -->"


def table():
    def name(entry):
        if entry == ANYTHING or entry in GROUPS:
            return entry
        return f"`{entry}` ({GENERATED[entry]})" if entry in GENERATED else f"`{entry}`"

    lines = ["| module | may include, besides its own files |", "|---|---|"]
    for modules, may in RULES:
        who = ", ".join(f"`{m}`" for m in modules)
        if modules == ENGINES:
            who += " (the engines)"
        lines.append(f"| {who} | {', '.join(name(e) for e in may) or 'nothing'} |")
    lines.append("")
    for group, (members, note) in GROUPS.items():
        if group == "the whole platform":
            lines.append(f"- {group}: {note}.")
        else:
            lines.append(f"- {group}: {', '.join(f'`{m}`' for m in members)}; {note}.")
    return "\n".join(lines) + "\n"


def readme_problem(readme_path, shown_as):
    """Why README.md's copy of the table is not the table, or None."""
    try:
        with open(readme_path, encoding="utf-8") as f:
            text = f.read()
    except OSError as e:
        return f"{shown_as}: cannot be read ({e.strerror})"
    begin, end = text.find(README_BEGIN), text.find(README_END)
    if begin < 0 or end < begin:
        return f"{shown_as}: the include table's marks are missing"
    if text[begin + len(README_BEGIN) : end].strip("\n") != table().strip("\n"):
        return f"{shown_as}: the include table differs from the rules: put in the output of scripts/check_layers.sh --table"
    return None


def main(argv):
    parser = argparse.ArgumentParser(description="Checks that every include is one its module may use.")
    parser.add_argument("--compile-commands", help="the compile database (compile_commands.json) to take include folders from")
    parser.add_argument("--root", default=os.path.dirname(os.path.dirname(os.path.realpath(__file__))))
    parser.add_argument("--table", action="store_true", help="print the include table for README.md and stop")
    args = parser.parse_args(argv)
    if args.table:
        sys.stdout.write(table())
        return 0
    lines = check(args.root, args.compile_commands)
    problem = readme_problem(os.path.join(args.root, "README.md"), "README.md")
    if problem:
        lines.append(problem)
    for line in lines:
        print(line)
    if lines:
        return 1
    print("layering: every include is allowed")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
