"""Finds the program's controls as the desktop's accessibility layer (AT-SPI)
shows them: by role and name, with their place on the screen.  Qt's own
windows, the file picker among them, have no template the harness knows.

    widgets.py find ROLE NAME [WINDOW]   prints "x y width height" of the first
                                         showing control of that role and name
                                         (in the window titled WINDOW); status 1
                                         when there is none
    widgets.py text ROLE INDEX [WINDOW]  prints the name of the INDEX-th such
                                         control (0 first)
    widgets.py enabled ROLE NAME [WINDOW]  status 0 when such a showing
                                         control takes input, 1 when it is
                                         greyed out, 2 when there is none
    widgets.py active WINDOW             status 0 when the program takes the
                                         window titled so as its active one
    widgets.py highlighted               prints the highlighted item of the
                                         open menu; status 1 when none is
    widgets.py dump                      prints every control, indented
Roles are AT-SPI's names: "push button", "table cell", "list item", "label"...
"""
import sys

import pyatspi


def program():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name == "hauntwatch":
            return app
    return None


def extents(acc):
    try:
        e = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return e.x, e.y, e.width, e.height
    except Exception:
        return 0, 0, 0, 0


def showing(acc):
    """On the screen: it and every container up to its window have a place
    there (a closed drop-down's list keeps items that claim one)."""
    while acc is not None and acc.getRoleName() != "application":
        _, _, w, h = extents(acc)
        if not acc.getState().contains(pyatspi.STATE_SHOWING) or w <= 0 or h <= 0:
            return False
        acc = acc.parent
    return True


def walk(acc, depth=0):
    yield acc, depth
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


def controls(role, window=None):
    app = program()
    if app is None:
        return
    for top in (app.getChildAtIndex(i) for i in range(app.childCount)):
        if top is None or (window is not None and top.name != window):
            continue
        for acc, _ in walk(top):
            if acc.getRoleName() == role and showing(acc):
                yield acc


def main(argv):
    if argv[1] == "dump":
        app = program()
        for acc, depth in walk(app) if app else []:
            print("  " * depth + "[%s] %r %s" % (acc.getRoleName(), acc.name, extents(acc)))
        return 0
    if argv[1] == "find":
        for acc in controls(argv[2], argv[4] if len(argv) > 4 else None):
            if acc.name == argv[3]:
                print(*extents(acc))
                return 0
        return 1
    if argv[1] == "enabled":
        for acc in controls(argv[2], argv[4] if len(argv) > 4 else None):
            if acc.name == argv[3]:
                return 0 if acc.getState().contains(pyatspi.STATE_ENABLED) else 1
        return 2
    if argv[1] == "active":
        app = program()
        for top in (app.getChildAtIndex(i) for i in range(app.childCount)) if app else []:
            if top is not None and top.name == argv[2] and top.getState().contains(pyatspi.STATE_ACTIVE):
                return 0
        return 1
    if argv[1] == "highlighted":
        for acc in controls("menu item"):
            if acc.parent.getRoleName() == "popup menu" and acc.getState().contains(pyatspi.STATE_FOCUSED):
                print(acc.name)
                return 0
        return 1
    if argv[1] == "text":
        found = list(controls(argv[2], argv[4] if len(argv) > 4 else None))
        index = int(argv[3])
        if index >= len(found):
            return 1
        print(found[index].name)
        return 0
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
