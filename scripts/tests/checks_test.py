#!/usr/bin/python3
"""Tests of the layering check (check_layers.py) and the format check (check_format.sh):
each case plants one include, or one file, in a small tree made for it and runs the
check there."""

import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

SCRIPTS = os.path.dirname(os.path.dirname(os.path.realpath(__file__)))
sys.path.insert(0, SCRIPTS)
import check_layers  # noqa: E402

# The headers the planted includes reach, as empty files.
HEADERS = (
    "blocks/engine.h",
    "blocks/internal/writer.h",
    "query/search.h",
    "query/internal/match.h",
    "host/state.h",
    "items/list.h",
    "items/tests/fixture.h",
    "testkit/bench.h",
    "drivers/routines.h",
    "platform/excel/excel.h",
    "platform/excel/automation/automation_excel.h",
    "platform/excel/memory/memory.h",
    "platform/excel/memory/internal/objects.h",
    "platform/forms/memory/memory_forms.h",
    "platform/system/system.h",
    "platform/system/memory/memory_system.h",
    "com/component.h",
    "com/stand_in/hosts.h",
)

# (the planted file, its text, the complaint expected or None where the include is allowed)
PLANTED = (
    # "..." resolves against the including file's folder first.
    ("query/find.cpp", '#include "../blocks/engine.h"', "query may not include blocks"),
    ("query/internal/walk.cpp", '#include "../../blocks/engine.h"', "query may not include blocks"),
    ("query/find.cpp", '#include "../blocks/internal/writer.h"', "blocks/internal/writer.h is internal to blocks"),
    ("query/find.cpp", '#include "search.h"', None),
    ("query/find.cpp", '#include "internal/match.h"', None),
    ("query/find.cpp", '#include "blocks/engine.h"', "query may not include blocks"),
    # <...> reaches project headers through the include folders.
    ("query/find.cpp", "#include <blocks/engine.h>", "query may not include blocks"),
    ("query/find.cpp", "#include <host/state.h>", None),
    ("query/find.cpp", "#include <search.h>", None),  # not in the include folders: not query/search.h
    ("query/find.cpp", '#include <vector>\n#include "zlib.h"', None),
    # A module nested in another is not part of it.
    (
        "platform/excel/memory/sheet.cpp",
        '#include "platform/excel/automation/automation_excel.h"',
        "platform/excel/memory may not include platform/excel/automation",
    ),
    ("platform/excel/memory/sheet.cpp", '#include "platform/excel/excel.h"', None),
    ("platform/excel/memory/tests/sheet_test.cpp", '#include "platform/excel/memory/internal/objects.h"', None),
    ("workbook/xlsx.cpp", '#include "platform/excel/memory/memory.h"', None),
    (
        "workbook/xlsx.cpp",
        '#include "platform/excel/memory/internal/objects.h"',
        "platform/excel/memory/internal/objects.h is internal to platform/excel/memory",
    ),
    (
        "platform/excel/range.cpp",
        '#include "memory/internal/objects.h"',
        "platform/excel/memory/internal/objects.h is internal to platform/excel/memory",
    ),
    ("host/state.cpp", '#include "platform/forms/memory/memory_forms.h"', "host may not include platform/forms/memory"),
    ("host/state.cpp", '#include "../platform/system/memory/memory_system.h"', "host may not include platform/system/memory"),
    ("host/state.cpp", '#include "platform/system/system.h"', None),
    ("cli/session.cpp", '#include "com/component.h"', "cli may not include com"),
    ("cli/session.cpp", '#include "com/quillary3.h"', "cli may not include com"),
    ("cli/session.cpp", '#include "com/stand_in/hosts.h"', None),
    ("com/stand_in/hosts.cpp", '#include "com/quillary3.h"', None),
    ("com/stand_in/hosts.cpp", '#include "../component.h"', "com/stand_in may not include com"),
    ("com/tests/client.cpp", '#include "com/stand_in/hosts.h"', None),
    # Tests, benchmarks and test helpers.
    ("drivers/tests/paste_test.cpp", '#include "items/tests/fixture.h"', None),
    ("drivers/tests/paste_test.cpp", '#include "testkit/bench.h"', None),
    ("drivers/tests/paste_test.cpp", '#include "platform/forms/memory/memory_forms.h"', None),
    ("drivers/tests/paste_test.cpp", '#include "query/internal/match.h"', "query/internal/match.h is internal to query"),
    ("host/tests/state_test.cpp", '#include "items/tests/fixture.h"', "host may not include items"),
    ("items/gather.cpp", '#include "items/tests/fixture.h"', "items/tests/fixture.h is a test helper of items, for tests only"),
    ("items/gather.cpp", '#include "testkit/bench.h"', "items may not include testkit"),
    ("workbook/tests/csv_test.cpp", '#include "host/state.h"', None),
    ("workbook/csv.cpp", '#include "host/state.h"', "workbook may not include host"),
    ("bench/get_try.cpp", '#include "blocks/engine.h"', None),
    ("bench/get_try.cpp", '#include "blocks/internal/writer.h"', "blocks/internal/writer.h is internal to blocks"),
    # Every include counts, whatever surrounds it and however it is spaced.
    ("query/find.cpp", '#ifdef _WIN32\n#  include "blocks/engine.h"  // there only\n#endif', "query may not include blocks"),
    ("query/find.h", '#pragma once\n/* a comment is a blank */ #include "blocks/engine.h"', "query may not include blocks"),
    ("query/find.cpp", "#include QUERY_HEADER", "a computed include, which this check cannot follow"),
    ("tools/gen.cpp", '#include "host/state.h"', "tools/gen.cpp lies in no module of the table"),
)


class Tree:
    """A temporary source tree holding HEADERS and the files given."""

    def __init__(self, files):
        self.root = tempfile.mkdtemp(prefix="quillary-layers-")
        for path in HEADERS:
            self.write(path, "#pragma once\n")
        for path, text in files.items():
            self.write(path, text + "\n")

    def write(self, path, text):
        full = os.path.join(self.root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w", encoding="utf-8") as f:
            f.write(text)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        shutil.rmtree(self.root)


class LayeringTest(unittest.TestCase):
    def test_planted_includes(self):
        for path, text, complaint in PLANTED:
            with self.subTest(path=path, text=text), Tree({path: text}) as tree:
                lines = check_layers.check(tree.root)
                if complaint is None:
                    self.assertEqual(lines, [])
                else:
                    self.assertEqual(len(lines), 1, lines)
                    self.assertTrue(lines[0].startswith(path + ":"), lines)
                    self.assertIn(complaint, lines[0])

    def test_include_folders_come_from_the_compile_database(self):
        # find.h is reached from the translation unit, whose -I makes "engine.h" blocks'.
        files = {"query/find.cpp": '#include "query/find.h"', "query/find.h": '#pragma once\n#include "engine.h"'}
        for flags, complaint in (
            ([], None),
            (["-I{root}/blocks"], "query/find.h:2: includes \"engine.h\": query may not include blocks"),
            (["-iquote", "blocks"], "query/find.h:2: includes \"engine.h\": query may not include blocks"),
        ):
            with self.subTest(flags=flags), Tree(files) as tree:
                args = ["c++", "-I" + tree.root] + [f.format(root=tree.root) for f in flags] + ["-c", "query/find.cpp"]
                database = os.path.join(tree.root, "build", "compile_commands.json")
                tree.write("build/compile_commands.json", json.dumps([{"directory": tree.root, "file": "query/find.cpp", "arguments": args}]))
                lines = check_layers.check(tree.root, database)
                self.assertEqual(lines, [complaint] if complaint else [])

    def test_readme_must_show_the_table_that_is_checked(self):
        begin, end = check_layers.README_BEGIN, check_layers.README_END
        table = check_layers.table()
        altered = table.replace("| `host` | the platform's interfaces |", "| `host` | the whole platform |")
        self.assertNotEqual(altered, table)
        for text, complaint in (
            (f"# Layout\n\n{begin}\n{table}{end}\n", None),
            (f"# Layout\n\n{begin}\n{altered}{end}\n", "the include table differs from the rules"),
            (f"# Layout\n\n{table}", "the include table's marks are missing"),
        ):
            with self.subTest(complaint=complaint), Tree({"README.md": text}) as tree:
                problem = check_layers.readme_problem(os.path.join(tree.root, "README.md"), "README.md")
                if complaint is None:
                    self.assertIsNone(problem)
                else:
                    self.assertIn(complaint, problem)


@unittest.skipUnless(shutil.which("clang-format") and shutil.which("git"), "needs clang-format and git")
class FormatTest(unittest.TestCase):
    def test_a_file_clang_format_would_change_fails_the_check(self):
        for text, passes in (
            ("int Answer() { return 42; }\n", True),
            ("int  Answer( ){return 42;}\n", False),
        ):
            with self.subTest(text=text), Tree({"items/answer.cpp": text.rstrip("\n")}) as tree:
                shutil.copy(os.path.join(SCRIPTS, "..", ".clang-format"), tree.root)
                subprocess.run(["git", "init", "-q", tree.root], check=True)
                subprocess.run(["git", "-C", tree.root, "add", "."], check=True)
                run = subprocess.run(
                    [os.path.join(SCRIPTS, "check_format.sh"), tree.root], capture_output=True, text=True
                )
                self.assertEqual(run.returncode == 0, passes, run.stdout + run.stderr)
                if not passes:
                    self.assertIn("items/answer.cpp", run.stderr)


if __name__ == "__main__":
    unittest.main()
