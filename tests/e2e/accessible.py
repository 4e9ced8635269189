#!/usr/bin/python3
"""Looks at the running Sonvira through the accessibility bus, as a screen reader does.

  accessible.py shown <text> [<seconds>]   waits until a control shows <text> (a label's
                                           text, a button's or a menu's caption)
  accessible.py absent <text>              fails when a control shows <text>
  accessible.py names                      prints every name a screen reader can read
                                           there (the controls', menus' and windows'), one
                                           per line
  accessible.py rows [<seconds>]           prints the row count of the shown table
  accessible.py focus-table [<seconds>]    gives the keyboard focus to the shown table

Needs a session bus with the accessibility bus (e2e_atspi_setup) and the program started
with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1. Debian's python3 (pyatspi).
"""
import sys
import time

import pyatspi


def walk(node, depth=0):
    if node is None or depth > 30:
        return
    yield node
    try:
        children = list(node)
    except Exception:  # a node that went away while walking
        return
    for child in children:
        yield from walk(child, depth + 1)


def program_nodes():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and "sonvira" in (app.name or "").lower():
            yield from walk(app)


def shows(node, text):
    try:
        if node.name == text:
            return True
        if node.getRole() == pyatspi.ROLE_LABEL:
            # A message box's label: its message, then the file and the reason below it.
            label = node.queryText().getText(0, -1)
            return text in (label, label.split("\n")[0])
    except Exception:
        pass
    return False


def showing_table():
    for node in program_nodes():
        try:
            if node.getRole() == pyatspi.ROLE_TABLE and node.getState().contains(pyatspi.STATE_SHOWING):
                return node
        except Exception:
            pass
    return None


def wait_for(find, seconds, what):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = find()
        if found is not None:
            return found
        time.sleep(0.2)
    raise SystemExit(f"{what} did not appear within {seconds} s")


def main(args):
    pyatspi.setTimeout(2000, 15000)
    command, rest = args[0], args[1:]
    if command == "shown":
        text, seconds = rest[0], float(rest[1]) if len(rest) > 1 else 10.0
        wait_for(lambda: next((n for n in program_nodes() if shows(n, text)), None), seconds, repr(text))
    elif command == "absent":
        if any(shows(n, rest[0]) for n in program_nodes()):
            raise SystemExit(f"{rest[0]!r} is shown")
    elif command == "names":
        for node in program_nodes():
            try:
                if node.name:
                    print(node.name)
            except Exception:
                pass
    elif command == "rows":
        table = wait_for(showing_table, float(rest[0]) if rest else 10.0, "a table")
        print(table.queryTable().nRows)
    elif command == "focus-table":
        table = wait_for(showing_table, float(rest[0]) if rest else 10.0, "a table")
        if not table.queryComponent().grabFocus():
            raise SystemExit("the table did not take the focus")
    else:
        raise SystemExit(__doc__)


if __name__ == "__main__":
    if len(sys.argv) < 2:
        raise SystemExit(__doc__)
    main(sys.argv[1:])
