#!/usr/bin/env python3
"""source_rules.py <rule> <source folder>: the rules of the README that a reader of one file can
check, so that a build breaks them no more than a review would.

  dialogs    no message box, file chooser, printer chooser or other modal dialog of Qt outside
             the dialog service (src/ui/DialogService.*), and no modal loop (exec()) elsewhere;
  events     no processEvents outside the busy run and the wait service;
  tables     no table name (Tb_...) in the code of a file that does not own the table
             (tests/checks/table_owners.txt, with the README's listed exceptions);
  paths      no path put into a message, a label or an error without ShownPath (or FileLine,
             FolderLine, which use it);
  selftest   every rule above fails on a planted line and passes without it.

Comments and the texts of string literals are left out before a rule looks, except that the
tables rule reads the literals (that is where the SQL is)."""

import os
import re
import subprocess
import sys
import tempfile

SOURCES = ("src", "app")


def source_files(root):
    for top in SOURCES:
        for folder, _, names in os.walk(os.path.join(root, top)):
            for name in sorted(names):
                if name.endswith((".cpp", ".h")):
                    path = os.path.join(folder, name)
                    yield os.path.relpath(path, root), open(path, encoding="utf-8").read()


def without_comments(text):
    """The code with // and /* */ comments blanked, string literals kept."""
    out, i, n = [], 0, len(text)
    while i < n:
        c = text[i]
        if c == '"' or c == "'":
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            out.append(text[i : j + 1])
            i = j + 1
        elif text.startswith("//", i):
            j = text.find("\n", i)
            i = n if j < 0 else j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            out.append("\n" * text.count("\n", i, n if j < 0 else j))
            i = n if j < 0 else j + 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


def without_literals(code):
    return re.sub(r'"(?:\\.|[^"\\])*"', '""', code)


def lines_matching(code, pattern):
    for number, line in enumerate(code.split("\n"), 1):
        if re.search(pattern, line):
            yield number, line.strip()


QT_DIALOGS = (
    r"\b(QMessageBox|QFileDialog|QPrintDialog|QPageSetupDialog|QInputDialog|QColorDialog|QFontDialog"
    r"|QErrorMessage|QProgressDialog|QWizard)\b"
)


def rule_dialogs(root):
    found = []
    for path, text in source_files(root):
        if path.startswith("src/ui/DialogService."):
            continue
        code = without_literals(without_comments(text))
        for number, line in lines_matching(code, QT_DIALOGS):
            found.append(f"{path}:{number}: {line}")
        # A modal loop of a window of its own: exec() on a dialog or a menu (the engine's statements
        # have an exec() too, in files that hold no window).
        if re.search(r"#\s*include\s*<Q\w*(Dialog|Menu)\w*>", code):
            for number, line in lines_matching(code, r"\bexec\(\)"):
                if not re.search(r"\bQ(Core|Gui)?Application::exec\(\)", line):
                    found.append(f"{path}:{number}: {line}")
    return found, "a dialog of Qt or a modal loop outside src/ui/DialogService.cpp: show it through Dialogs()"


def rule_events(root):
    allowed = {"src/ui/BusyRun.cpp", "src/ui/WaitService.cpp"}
    found = []
    for path, text in source_files(root):
        if path in allowed:
            continue
        code = without_literals(without_comments(text))
        for number, line in lines_matching(code, r"\bprocessEvents\b"):
            found.append(f"{path}:{number}: {line}")
    return found, "processEvents outside BusyRun and the wait service: use BusyRun::paint, say or Repaint"


def table_owners(root):
    owners = {}
    with open(os.path.join(root, "tests/checks/table_owners.txt"), encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].split()
            if line:
                owners.setdefault(line[0], set()).update(line[1:])
    return owners


def rule_tables(root):
    owners = table_owners(root)
    everywhere = owners.pop("*", set())
    found = []
    for path, text in source_files(root):
        if path in everywhere:
            continue
        code = without_comments(text)
        for number, line in enumerate(code.split("\n"), 1):
            for table in re.findall(r"\bTb_\w+", line):
                if path not in owners.get(table, set()):
                    found.append(f"{path}:{number}: {table}: {line.strip()}")
    return found, "a table named outside its owner: call the owner's store (tests/checks/table_owners.txt)"


# Where a text reaches the user: a box, a label or a line of the screen, an error's message (the
# `where` of EngineError and QelError::of included). The file choosers take a folder, not a text.
SINKS = (
    r"(Dialogs\(\)\.(?:question|information|warning|exclamation|failure)\(|(?:->|\.)setText\(|\bQelError\("
    r"|\.within\(|\bEngineError\(|\bQelError::(?:of|fromFile)\()"
)
# A name that holds a path, by the program's naming: path, folder, m_path, dbPath, backupFolder, ...
PATHISH = r"\b(?:\w*[a-z_]Path|path|\w*[a-z_]Folder|folder|\w*Dir|AppPath)\b(?!\s*\()"
WRAPPERS = ("ShownPath(", "FileLine(", "FolderLine(")


def strip_calls(text, names):
    """The text with the arguments of the named calls removed."""
    for name in names:
        while True:
            start = text.find(name)
            if start < 0:
                break
            end = closing(text, start + len(name) - 1)
            text = text[:start] + "_" + text[end + 1 :]
    return text


def closing(text, open_at):
    depth = 0
    for i in range(open_at, len(text)):
        depth += {"(": 1, ")": -1}.get(text[i], 0)
        if depth == 0:
            return i
    return len(text) - 1


def top_level(arguments):
    """The arguments of a call, split at the commas that are not inside brackets."""
    parts, depth, start = [], 0, 0
    for i, c in enumerate(arguments):
        depth += {"(": 1, "{": 1, "[": 1, ")": -1, "}": -1, "]": -1}.get(c, 0)
        if c == "," and depth == 0:
            parts.append(arguments[start:i])
            start = i + 1
    parts.append(arguments[start:])
    return parts


def rule_paths(root):
    found = []
    for path, text in source_files(root):
        code = without_literals(without_comments(text))
        for sink in re.finditer(SINKS, code):
            arguments = code[sink.end() - 1 : closing(code, sink.end() - 1) + 1]
            if sink.group(0).startswith("EngineError"):
                arguments = ",".join(top_level(arguments[1:-1])[:2])  # the third is the file, not shown
            shown = strip_calls(arguments, WRAPPERS)
            shown = re.sub(r"\b\w+\s*\(\)", "_", shown)  # a call's result is not the name itself
            for name in re.finditer(PATHISH, shown):
                if re.search(r"(->|\.|::)\s*$", shown[: name.start()]):  # a member of something else
                    continue
                number = code.count("\n", 0, sink.start()) + 1
                found.append(f"{path}:{number}: {name.group(0)}: {' '.join(arguments.split())[:120]}")
                break
    return found, "a path shown without ShownPath: wrap it (or use FileLine, FolderLine)"


RULES = {"dialogs": rule_dialogs, "events": rule_events, "tables": rule_tables, "paths": rule_paths}

PLANTED = {
    "dialogs": '#include <QPrintPreviewDialog>\nvoid f(QPrintPreviewDialog& d) { d.exec(); }\n',
    "events": "void f() { QCoreApplication::processEvents(); }\n",
    "tables": 'void f() { db.execute("delete from Tb_売上"); }\n',
    "paths": 'void f(const QString& path) { Dialogs().information("x", "file: " + path); }\n',
}
CLEAN = {
    "dialogs": 'void f() { Dialogs().information("x", "y"); }\n',
    "events": "void f() { busy.paint(); }\n",
    "tables": 'void f() { SalesStore().removePeriod(from, to, n); }\n',
    "paths": 'void f(const QString& path) { Dialogs().information("x", "file: " + ShownPath(path)); }\n',
}


def selftest(root):
    failed = []
    for rule in RULES:
        for text, should_fail in ((PLANTED[rule], True), (CLEAN[rule], False)):
            with tempfile.TemporaryDirectory() as tree:
                os.makedirs(os.path.join(tree, "src/planted"))
                os.makedirs(os.path.join(tree, "tests/checks"))
                with open(os.path.join(tree, "tests/checks/table_owners.txt"), "w", encoding="utf-8") as f:
                    f.write("Tb_売上 src/sales/SalesStore.cpp\n")
                with open(os.path.join(tree, "src/planted/Planted.cpp"), "w", encoding="utf-8") as f:
                    f.write(text)
                result = subprocess.run(
                    [sys.executable, __file__, rule, tree], capture_output=True, text=True
                )
                if (result.returncode != 0) != should_fail:
                    failed.append(f"{rule}: {'planted' if should_fail else 'clean'} line gave {result.returncode}")
    for line in failed:
        print(line)
    if failed:
        print("source rules: a check does not see what it is for", file=sys.stderr)
        return 1
    print(f"source rules: each of {len(RULES)} checks fails on its planted line")
    return 0


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in list(RULES) + ["selftest"]:
        print(__doc__, file=sys.stderr)
        return 2
    rule, root = sys.argv[1], sys.argv[2]
    if rule == "selftest":
        return selftest(root)
    found, advice = RULES[rule](root)
    for line in found:
        print(line)
    if found:
        print(f"{rule}: {advice}", file=sys.stderr)
        return 1
    print(f"{rule}: no file breaks the rule")
    return 0


if __name__ == "__main__":
    sys.exit(main())
