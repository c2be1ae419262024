"""What a case asks of GNOME Shell, through one long-lived bus connection.

    gnome.py REQUESTS REPLIES

reads one command a line from the fifo REQUESTS and answers each with one
line on the fifo REPLIES, "ok" or "error WHY":

    screenshot FILE   the whole screen, as a PNG
    windows FILE      the shell's windows, one a line: wm-class, width,
                      height, has-focus (0 or 1), title; tab-separated
    keys KEY...       each KEY pressed and let go: "Escape", "alt+s", "a"
    click X Y         the left button clicked at that point of the screen

The shell answers screenshots and window lists only to a connection that
owns one of the names it trusts (a screenshot tool's, a desktop portal's),
and remote input only while the connection that asked for it stays; so the
names are taken and the input session made once, here.
"""
import sys

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

TRUSTED_NAMES = ("org.gnome.Screenshot", "org.freedesktop.impl.portal.desktop.gtk")
KEYSYMS = {
    "ctrl": 0xFFE3, "shift": 0xFFE1, "alt": 0xFFE9, "super": 0xFFEB,
    "Return": 0xFF0D, "Escape": 0xFF1B, "Tab": 0xFF09, "BackSpace": 0xFF08, "space": 0x20,
    "Home": 0xFF50, "Left": 0xFF51, "Up": 0xFF52, "Right": 0xFF53, "Down": 0xFF54, "End": 0xFF57,
}
BUTTON_LEFT = 0x110  # evdev's BTN_LEFT
REMOTE = "org.gnome.Mutter.RemoteDesktop"
TIMEOUT_MS = 20000

bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)


def call(name, path, interface, method, args=None, reply=None):
    return bus.call_sync(name, path, interface, method, args,
                         GLib.VariantType(reply) if reply else None,
                         Gio.DBusCallFlags.NONE, TIMEOUT_MS, None)


def own_names():
    for name in TRUSTED_NAMES:
        (result,) = call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
                         GLib.Variant("(su)", (name, 4)), "(u)").unpack()
        if result != 1:  # another owner: its portal or tool runs, and the shell would trust it, not us
            raise RuntimeError(f"{name} is taken")


def input_session():
    (path,) = call(REMOTE, "/org/gnome/Mutter/RemoteDesktop", REMOTE, "CreateSession", None, "(o)").unpack()
    remote(path, "Start")
    # The first moves of a new remote pointer can be lost (the screen then
    # shows no pointer): one is made here, where nothing is to be clicked.
    to_corner(path)
    return path


def remote(session, method, signature=None, *values):
    call(REMOTE, session, REMOTE + ".Session", method, GLib.Variant(signature, values) if signature else None)


def to_corner(session):
    # Absolute moves need a screen cast of their own; a move far up and left
    # stops in the corner, and from there a relative move is exact.
    remote(session, "NotifyPointerMotionRelative", "(dd)", -100000.0, -100000.0)


def click(session, x, y):
    to_corner(session)
    remote(session, "NotifyPointerMotionRelative", "(dd)", float(x), float(y))
    for down in (True, False):
        remote(session, "NotifyPointerButton", "(ib)", BUTTON_LEFT, down)


def press(session, keysym, down):
    remote(session, "NotifyKeyboardKeysym", "(ub)", keysym, down)


def keysym(name):
    if name in KEYSYMS:
        return KEYSYMS[name]
    if len(name) == 1 and 0x20 <= ord(name) < 0x7F:
        return ord(name)
    raise ValueError(f"no key called {name}")


def keys(session, combos):
    for combo in combos:
        held = [keysym(part) for part in combo.split("+")]
        for sym in held:
            press(session, sym, True)
        for sym in reversed(held):
            press(session, sym, False)


def windows(path):
    (found,) = call("org.gnome.Shell", "/org/gnome/Shell/Introspect", "org.gnome.Shell.Introspect",
                    "GetWindows", None, "(a{ta{sv}})").unpack()
    with open(path, "w") as out:
        for window in found.values():
            title = window.get("title", "").replace("\t", " ").replace("\n", " ")
            out.write(f"{window.get('wm-class', '')}\t{window.get('width', 0)}\t{window.get('height', 0)}\t"
                      f"{int(window.get('has-focus', False))}\t{title}\n")


def screenshot(path):
    success, _ = call("org.gnome.Shell.Screenshot", "/org/gnome/Shell/Screenshot", "org.gnome.Shell.Screenshot",
                      "Screenshot", GLib.Variant("(bbs)", (False, False, path)), "(bs)").unpack()
    if not success:
        raise RuntimeError("the shell took no screenshot")


def main():
    requests, replies = open(sys.argv[1]), open(sys.argv[2], "w", buffering=1)
    try:
        own_names()
        session = input_session()
        replies.write("ok\n")
    except Exception as error:  # the case reads why it cannot go on
        replies.write(f"error {error}\n")
        return 1
    for line in requests:
        command, *args = line.split()
        try:
            if command == "screenshot":
                screenshot(args[0])
            elif command == "windows":
                windows(args[0])
            elif command == "keys":
                keys(session, args)
            elif command == "click":
                click(session, int(args[0]), int(args[1]))
            else:
                raise ValueError(f"no command {command}")
            replies.write("ok\n")
        except Exception as error:
            replies.write(f"error {str(error).splitlines()[0]}\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
