#!/usr/bin/python3
"""Presses a push button, menu, menu item or check box of the running Sonvira, found by its caption
through the accessibility bus as a screen reader finds it. Waits up to <seconds> for it
to appear and be enabled. With --click the mouse clicks it (xdotool, at the place the
accessibility bus gives) instead of the accessible action: a command that opens a modal
dialog must be clicked, since the program cannot answer the action until the dialog has
closed.

  press_button.py [--click] <caption> [<seconds>]

Needs a session bus with the accessibility bus (e2e_atspi_setup) and the program
started with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1. Debian's python3 (pyatspi).
"""
import subprocess
import sys
import time

import pyatspi

ROLES = (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_MENU, pyatspi.ROLE_CHECK_BOX)


def matches(node, caption, depth=0):
    """Every control of that caption below `node`, in tree order."""
    if node is None or depth > 30:
        return
    try:
        if node.getRole() in ROLES and node.name == caption:
            yield node
        children = list(node)
    except Exception:  # a node that went away while walking: its siblings still count
        return
    for child in children:
        yield from matches(child, caption, depth + 1)


def has_state(node, state):
    try:
        return node.getState().contains(state)
    except Exception:  # gone meanwhile
        return False


def find(app, caption):
    """The enabled control of that caption, one on the screen first: a hidden dialog may
    have a button of the same caption (several dialogs have an "OK")."""
    enabled = [node for node in matches(app, caption) if has_state(node, pyatspi.STATE_ENABLED)]
    showing = [node for node in enabled if has_state(node, pyatspi.STATE_SHOWING)]
    return (showing or enabled or [None])[0]


def click(node):
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    x, y = box.x + box.width // 2, box.y + box.height // 2
    subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], check=True, timeout=10)


def main(caption, seconds=10.0, by_mouse=False):
    pyatspi.setTimeout(2000, 15000)  # milliseconds for a reply, and at start-up
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is None or "sonvira" not in (app.name or "").lower():
                continue
            node = find(app, caption)
            if node is not None and by_mouse:
                click(node)
                return
            if node is not None:
                try:
                    node.queryAction().doAction(0)
                except Exception as error:
                    # A command that opens a modal dialog answers only when the dialog
                    # closes: the press arrived, the reply did not.
                    if "reply" not in str(error):
                        raise
                return
        time.sleep(0.2)
    raise SystemExit(f"no enabled control {caption!r} within {seconds} s")


if __name__ == "__main__":
    args = sys.argv[1:]
    by_mouse = bool(args) and args[0] == "--click"
    if by_mouse:
        args = args[1:]
    if len(args) not in (1, 2):
        raise SystemExit(__doc__)
    main(args[0], float(args[1]) if len(args) == 2 else 10.0, by_mouse)
