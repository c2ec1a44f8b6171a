#!/usr/bin/python3
"""Walks the road of one calculation through the real Kalvor window, keyboard only, and reads
the window back the way a screen reader does.

Keys go in through xdotool (the X server's test extension, so Qt sees them exactly as a
person's typing); what the window shows comes back through AT-SPI. Run it inside the session
that scripts/check_real_window.sh prepares (a virtual display, a D-Bus session with the
accessibility bus, Kalvor started with accessibility on). Prints one line per check and stops
with a non-zero status at the first failure. Every wait has a time limit.

Usage: drive.py --pid KALVOR_PID [--screenshot SHOT.png]
"""

import argparse
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

TITLE = "Kalvor 2.2"
MATERIAL = "Acciaio al carbonio"
SHAPE = "Barra tonda"

# Diameter 50, length 1000, density 7,85, 3 pieces at 2,5 per kilogram.
WEIGHTS = ["1 pezzo: 15,42 Kg", "3 pezzi: 46,26 Kg", "1 metro: 15,42 Kg"]
COSTS = ["1 pezzo: 38,55 €", "3 pezzi: 115,65 €", "1 metro 38,55 €"]

WAIT = 10.0  # seconds for the window to react to one step
KEY_DELAY_MS = "40"


class CheckFailed(Exception):
    pass


def passed(message):
    print(f"ok   {message}", flush=True)


# --- the keyboard --------------------------------------------------------------------------


def xdotool(*args, timeout=20):
    try:
        run = subprocess.run(["xdotool", *args], capture_output=True, text=True,
                             timeout=timeout)
    except subprocess.TimeoutExpired:
        raise CheckFailed(f"xdotool {' '.join(args)}: no answer in {timeout} s")
    if run.returncode != 0:
        raise CheckFailed(f"xdotool {' '.join(args)}: {run.stderr.strip()}")
    return run.stdout


def keys(*names):
    # No --window: a key sent to a window is a synthetic event that Qt ignores; without it the
    # key goes through the server to whatever has the keyboard focus, as a real key would.
    xdotool("key", "--delay", KEY_DELAY_MS, *names)


def type_text(text):
    xdotool("type", "--delay", KEY_DELAY_MS, text)


# --- reading the window --------------------------------------------------------------------


def descendants(node):
    yield node
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            yield from descendants(child)


def has_state(node, state):
    return node.get_state_set().contains(state)


def showing(node):
    return has_state(node, Atspi.StateType.SHOWING)


def text_of(node):
    return Atspi.Text.get_text(node, 0, Atspi.Text.get_character_count(node))


def find_all(root, role, name=None):
    return [
        node
        for node in descendants(root)
        if node.get_role() == role and (name is None or node.get_name() == name)
    ]


def find_one(root, role, name):
    found = find_all(root, role, name)
    if len(found) != 1:
        raise LookupError(f"{len(found)} {role.value_nick} named {name!r}")
    return found[0]


def focused_node(root):
    for node in descendants(root):
        if has_state(node, Atspi.StateType.FOCUSED):
            return node
    return None


def describe(node):
    if node is None:
        return "nothing"
    return f"{node.get_role_name()} {node.get_name()!r}"


def wait_until(what, probe, expected, timeout=WAIT, same=None, show=repr):
    """Polls probe() until it gives expected; the window answers keys asynchronously.

    same(seen, expected) decides the match (== unless given); show() writes a value for the
    failure message."""
    same = same or (lambda seen, wanted: seen == wanted)
    deadline = time.monotonic() + timeout
    while True:
        try:
            seen = probe()
            matched = same(seen, expected)
        except (GLib.Error, LookupError) as error:
            # The tree changes while it is read (a box opens, a row hides): read it again.
            seen, matched = error, False
        if matched:
            passed(what)
            return
        if time.monotonic() > deadline:
            shown = f"<{seen}>" if isinstance(seen, Exception) else show(seen)
            raise CheckFailed(f"{what}: expected {show(expected)}, saw {shown} after {timeout} s")
        time.sleep(0.05)


class Window:
    """Kalvor's controls as AT-SPI shows them, found by role and accessible name."""

    def __init__(self, pid):
        self.app = self._application(pid)
        # Qt announces changes as events, which a script without a main loop never sees: ask
        # the program every time instead of trusting a cache.
        self.app.set_cache_mask(Atspi.Cache.NONE)
        wait_until(
            f'AT-SPI shows the window "{TITLE}"', lambda: self._main_window() is not None, True
        )
        self.main = self._main_window()

    @staticmethod
    def _application(pid):
        deadline = time.monotonic() + WAIT
        while True:
            desktop = Atspi.get_desktop(0)
            for i in range(desktop.get_child_count()):
                app = desktop.get_child_at_index(i)
                try:
                    if app is not None and app.get_process_id() == pid:
                        passed(f"AT-SPI lists Kalvor (pid {pid}) as {app.get_name()!r}")
                        return app
                except GLib.Error:
                    pass
            if time.monotonic() > deadline:
                raise CheckFailed(f"no application with pid {pid} on the accessibility bus")
            time.sleep(0.1)

    def _main_window(self):
        for i in range(self.app.get_child_count()):
            child = self.app.get_child_at_index(i)
            if child is not None and child.get_name() == TITLE:
                return child
        return None

    def alerts(self):
        """The message boxes on show: top-level windows of the program with the alert role."""
        found = []
        for i in range(self.app.get_child_count()):
            child = self.app.get_child_at_index(i)
            if child is not None and child.get_role() == Atspi.Role.ALERT and showing(child):
                found.append(child)
        return found

    def field(self, name):
        return find_one(self.main, Atspi.Role.TEXT, name)

    def field_text(self, name):
        return text_of(self.field(name))

    def combo_with_item(self, item):
        """The combo box whose list holds the entry `item` (found by content, not by name)."""
        for combo in find_all(self.main, Atspi.Role.COMBO_BOX):
            if find_all(combo, Atspi.Role.LIST_ITEM, item):
                return combo
        raise LookupError(f"no combo box lists {item!r}")

    def material_list(self):
        return self.combo_with_item(MATERIAL)

    def shape_list(self):
        return self.combo_with_item(SHAPE)

    @staticmethod
    def combo_text(combo):
        # The editable material list keeps its text in an inner line edit; the shape list
        # has none, and Qt names it by the entry on show.
        inner = find_all(combo, Atspi.Role.TEXT)
        return text_of(inner[0]) if inner else combo.get_name()

    def frame(self, caption):
        return find_one(self.main, Atspi.Role.PANEL, caption)

    def frame_shown(self, caption):
        return showing(self.frame(caption))

    def results(self, caption):
        """The result lines of a frame as shown: the names of its visible labels, top down."""
        labels = [
            node for node in find_all(self.frame(caption), Atspi.Role.LABEL) if showing(node)
        ]
        labels.sort(key=lambda node: node.get_position(Atspi.CoordType.WINDOW).y)
        return [node.get_name() for node in labels]

    def focus(self):
        """What has the keyboard focus: the material list stands for its inner line edit."""
        node = focused_node(self.main)
        if node is not None and node.get_role() == Atspi.Role.TEXT:
            parent = node.get_parent()
            if parent is not None and parent.get_role() == Atspi.Role.COMBO_BOX:
                return parent
        return node


def same_node(seen, expected):
    # Names change as the user types and picks; the object path is the node's identity.
    return seen is not None and seen.path == expected.path


def focus_on(window, what, expected_node):
    wait_until(f"focus on {what}", window.focus, expected_node, same=same_node, show=describe)


# --- the road ------------------------------------------------------------------------------


def find_window():
    # --sync waits for the window to be mapped; xdotool's own timeout keeps it finite.
    found = xdotool("search", "--sync", "--onlyvisible", "--name", f"^{TITLE}$").split()
    if not found:
        raise CheckFailed(f'no window titled "{TITLE}"')
    window_id = found[0]
    passed(f'xdotool finds the window "{TITLE}" ({window_id})')
    xdotool("windowfocus", "--sync", window_id)
    passed("the window has the keyboard focus")
    return window_id


def check_start(window):
    material = window.material_list()
    focus_on(window, "the material list at start", material)
    # Qt names a combo box by the entry on show, and by its accessible name only while it
    # shows none: the shape list, empty at start, says what it is for.
    wait_until('the shape list is named "formato"', lambda: window.shape_list().get_name(),
               "formato")
    for name in ("densità", "numero pezzi", "prezzo"):
        wait_until(f'a text field named "{name}" is shown',
                   lambda name=name: showing(window.field(name)), True)
    for caption in ("pesi teorici", "costi teorici"):
        wait_until(f'the frame "{caption}" is hidden at start',
                   lambda caption=caption: window.frame_shown(caption), False)


def pick_material_and_shape(window):
    # Nothing is selected at start: the first Down selects the first entry.
    keys(*["Down"] * 7)
    wait_until(f'Down x7 picks "{MATERIAL}"', lambda: window.combo_text(window.material_list()),
               MATERIAL)
    wait_until('the density field "densità" shows 7,85', lambda: window.field_text("densità"),
               "7,85")

    keys("Tab")
    focus_on(window, "the shape list", window.shape_list())
    keys("Down", "Down")
    wait_until(f'Down x2 picks "{SHAPE}"', lambda: window.combo_text(window.shape_list()), SHAPE)
    for name in ("Diametro", "Lunghezza"):
        wait_until(f'the dimension field "{name}" is shown with "0,0"',
                   lambda name=name: (showing(window.field(name)), window.field_text(name)),
                   (True, "0,0"))
    wait_until("the third dimension row is hidden",
               lambda: [showing(node) for node in
                        find_all(window.frame("dati formato"), Atspi.Role.TEXT)].count(True), 2)


def type_into(window, name, typed, expected):
    keys("Tab")
    focus_on(window, f'the field "{name}"', window.field(name))
    type_text(typed)
    wait_until(f'typing "{typed}" in "{name}" gives "{expected}"',
               lambda: window.field_text(name), expected)


def press_calcola(window):
    keys("Tab")
    focus_on(window, "CALCOLA", find_one(window.main, Atspi.Role.PUSH_BUTTON, "CALCOLA"))
    keys("space")


def check_results(window):
    wait_until('the frames "pesi teorici" and "costi teorici" are shown',
               lambda: (window.frame_shown("pesi teorici"), window.frame_shown("costi teorici")),
               (True, True))
    # Qt exposes a label by its text as its name, which is what a screen reader reads.
    wait_until(f"the weights read {WEIGHTS}", lambda: window.results("pesi teorici"), WEIGHTS)
    wait_until(f"the costs read {COSTS}", lambda: window.results("costi teorici"), COSTS)
    focus_on(window, "the material list after CALCOLA", window.material_list())


def take_screenshot(window_id, path):
    try:
        run = subprocess.run(["import", "-window", window_id, path], capture_output=True,
                             text=True, timeout=30)
    except subprocess.TimeoutExpired:
        raise CheckFailed("import: no screenshot in 30 s")
    if run.returncode != 0:
        raise CheckFailed(f"import: {run.stderr.strip()}")
    passed(f"screenshot saved: {path}")


def check_invalid_price(window):
    # From the material list, Tab walks the shape list, the two shown dimensions and the pieces
    # to the price, which selects its text on entry; Backspace empties it.
    keys(*["Tab"] * 5)
    focus_on(window, "the price field", window.field("prezzo"))
    keys("BackSpace")
    wait_until("Backspace empties the price", lambda: window.field_text("prezzo"), "")
    wait_until("a key in the price hides the costs and keeps the weights",
               lambda: (window.frame_shown("pesi teorici"), window.frame_shown("costi teorici")),
               (True, False))
    press_calcola(window)

    wait_until("CALCOLA with an empty price opens one message box (alert role)",
               lambda: len(window.alerts()), 1)
    box = window.alerts()[0]
    wait_until('the box is titled "valore non valido"', box.get_name, "valore non valido")
    prompt = "inserire un numero nel campo prezzo"
    wait_until(f'the box says "{prompt}"',
               lambda: [node.get_name() for node in find_all(box, Atspi.Role.LABEL)],
               prompt, same=lambda texts, wanted: wanted in texts)
    ok_button = find_one(box, Atspi.Role.PUSH_BUTTON, "OK")
    wait_until("OK has the focus", lambda: has_state(ok_button, Atspi.StateType.FOCUSED), True)
    keys("Return")
    wait_until("Enter closes the box", lambda: len(window.alerts()), 0)


def check_usable_again(window, window_id):
    # With no window manager, nobody gives the keyboard back to the main window when the box
    # closes (the X server reverts it to the root): do what a window manager would.
    xdotool("windowfocus", "--sync", window_id)
    focus_on(window, "the price field after the message", window.field("prezzo"))
    type_text("2.5")
    wait_until('typing "2.5" in the price again gives "2,5"',
               lambda: window.field_text("prezzo"), "2,5")
    press_calcola(window)
    check_results(window)


def check_material_name(window):
    # The material list always shows a text (the prompt, then the material), and Qt names a
    # combo box by that text; with the text cleared its own accessible name shows through.
    keys("ctrl+a", "BackSpace")
    wait_until('the material list, emptied, is named "materiale"',
               lambda: (window.combo_text(window.material_list()),
                        window.material_list().get_name()), ("", "materiale"))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--pid", type=int, required=True, help="process id of Kalvor")
    parser.add_argument("--screenshot", help="PNG of the finished calculation")
    options = parser.parse_args()

    try:
        window_id = find_window()
        window = Window(options.pid)
        check_start(window)
        pick_material_and_shape(window)
        type_into(window, "Diametro", "50", "50")
        type_into(window, "Lunghezza", "1000", "1000")
        # The hidden third row is not in the Tab chain: the next Tab lands on the pieces.
        type_into(window, "numero pezzi", "3", "3")
        type_into(window, "prezzo", "2.5", "2,5")
        press_calcola(window)
        check_results(window)
        if options.screenshot:
            take_screenshot(window_id, options.screenshot)
        check_invalid_price(window)
        check_usable_again(window, window_id)
        check_material_name(window)
    except CheckFailed as failure:
        print(f"FAIL {failure}", flush=True)
        return 1
    print("all checks passed", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
