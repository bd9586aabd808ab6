"""Drives the real rowsmith window as a person would.

Controls are found through the desktop accessibility bus (AT-SPI) by their role and accessible
name, the way a screen reader finds them. Mouse clicks and keystrokes go to the X server through
xdotool, at the places the bus gives, so that every click and key takes the same path through Qt
as a person's: focus, cell editors, combo lists and modal dialogs all behave as on a desktop.
Waiting is always polling with a deadline, never a fixed sleep.
"""

import os
import subprocess
import time

import pyatspi

# Long enough for a slow, shared machine; a control that does not appear in this time is missing.
DEFAULT_TIMEOUT = 30.0
# A program starting under the sanitizers on a loaded machine, and the bus registering it after
# another one has just exited, took more than 15 s in a full parallel run.
START_TIMEOUT = 90.0
POLL_INTERVAL = 0.05


def wait_until(condition, what, timeout=DEFAULT_TIMEOUT):
    """Polls `condition` until it returns something true and returns that, or fails naming `what`.

    Errors raised while the window is busy (a control going away under the walk) count as not yet.
    """
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            result = condition()
            if result:
                return result
        except Exception as error:  # noqa: BLE001 - the tree changes while it is read
            last_error = error
        if time.monotonic() > deadline:
            detail = f" (last error: {last_error})" if last_error else ""
            raise AssertionError(f"timed out waiting for {what}{detail}")
        time.sleep(POLL_INTERVAL)


def strip_mnemonic(caption):
    """'&New Scenario...' reads 'New Scenario...' on the accessibility bus."""
    return caption.replace("&&", "\0").replace("&", "").replace("\0", "&")


def has_state(node, state):
    return node.getState().contains(state)


def showing(node):
    return has_state(node, pyatspi.STATE_SHOWING)


def enabled(node):
    return has_state(node, pyatspi.STATE_ENABLED)


def children(node):
    return [node.getChildAtIndex(i) for i in range(node.childCount)]


def walk(node, into_hidden=False):
    """Every node below `node`, depth first. Hidden subtrees are skipped unless asked for."""
    for child in children(node):
        if child is None:
            continue
        yield child
        if into_hidden or showing(child):
            yield from walk(child, into_hidden)


def find_all(root, role, name=None, into_hidden=False):
    return [
        node
        for node in walk(root, into_hidden)
        if node.getRoleName() == role and (name is None or node.name == strip_mnemonic(name))
    ]


def text_of(node):
    return node.queryText().getText(0, -1)


def extents(node):
    return node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)


class XServer:
    """A private X server (Xvfb) on a display number that it picks itself.

    Xvfb's -displayfd takes the first free display atomically, so parallel runs on a shared
    machine never meet on one display, which guessing a free number (xvfb-run -a) can.
    """

    def __init__(self, geometry="1280x900x24"):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", geometry, "-nolisten", "tcp"],
            pass_fds=(write_end,), stderr=subprocess.DEVNULL)
        os.close(write_end)
        # Xvfb writes the display number once it accepts clients.
        with os.fdopen(read_end) as ready:
            number = ready.readline().strip()
        if not number:
            self.process.kill()
            raise RuntimeError("Xvfb did not start")
        self.display = f":{number}"

    def stop(self):
        self.process.terminate()
        self.process.wait()


class Desktop:
    """The X display and the accessibility bus of one test run."""

    def __init__(self, shots_dir):
        self.shots_dir = shots_dir
        # Qt's accessibility bridge gives places in the program's unscaled pixels; X counts
        # device pixels. Set to the program's QT_SCALE_FACTOR.
        self.scale = 1
        self.shot_count = 0
        os.makedirs(shots_dir, exist_ok=True)

    def screenshot(self, name):
        """Saves the whole screen as NN-name.png in the shots folder."""
        self.shot_count += 1
        path = os.path.join(self.shots_dir, f"{self.shot_count:02d}-{name}.png")
        subprocess.run(["import", "-window", "root", path], check=True)
        return path

    @staticmethod
    def xdotool(*args):
        subprocess.run(["xdotool", *args], check=True)

    def click(self, node, x_fraction=0.5):
        """Clicks the middle of `node` (or a point along it), as a person's mouse would."""
        box = extents(node)
        if box.width <= 0 or box.height <= 0:
            raise AssertionError(f"{node.getRoleName()} '{node.name}' has no place on screen")
        x = int((box.x + box.width * x_fraction) * self.scale)
        y = int((box.y + box.height / 2) * self.scale)
        self.xdotool("mousemove", "--sync", str(x), str(y), "click", "1")

    def double_click(self, node):
        """Double-clicks the middle of `node`."""
        box = extents(node)
        x = int((box.x + box.width / 2) * self.scale)
        y = int((box.y + box.height / 2) * self.scale)
        self.xdotool("mousemove", "--sync", str(x), str(y), "click", "--repeat", "2",
                     "--delay", "80", "1")

    def keys(self, *names):
        """Presses keys by their X names: 'Tab', 'Return', 'F2', 'ctrl+a'."""
        self.xdotool("key", "--delay", "30", *names)

    def type_text(self, text):
        self.xdotool("type", "--delay", "30", text)

    @staticmethod
    def application(pid):
        """The accessible application of the process `pid`, once it is on the bus."""

        def find():
            desktop = pyatspi.Registry.getDesktop(0)
            for app in children(desktop):
                if app is not None and app.get_process_id() == pid:
                    return app
            return None

        return wait_until(find, f"the program (pid {pid}) on the accessibility bus",
                          START_TIMEOUT)


class Window:
    """One top-level window or dialog of the program, found by role and caption."""

    def __init__(self, desktop, node):
        self.desktop = desktop
        self.node = node

    @property
    def caption(self):
        return self.node.name

    def find(self, role, name=None, timeout=DEFAULT_TIMEOUT):
        """The one control of `role` named `name` among the shown ones and their direct children
        (so a control just hidden is found too), once it is there."""

        def one():
            found = find_all(self.node, role, name)
            if len(found) > 1:
                raise AssertionError(f"{len(found)} controls {role} '{name}'")
            return found[0] if found else None

        return wait_until(one, f"{role} '{name}' in '{self.caption}'", timeout)

    def press(self, name, role="push button"):
        """Presses a button through its accessible action, once it is enabled."""
        button = self.find(role, name)
        wait_until(lambda: enabled(button), f"{role} '{name}' enabled")
        button.queryAction().doAction(0)
        return button


def item_names(lst):
    return [node.name for node in children(lst) if node.getRoleName() == "list item"]


def selected_names(lst):
    return [node.name for node in children(lst)
            if node.getRoleName() == "list item" and has_state(node, pyatspi.STATE_SELECTED)]


def top_windows(app):
    return [node for node in children(app) if node is not None]


def wait_for_window(desktop, app, caption, role=None, timeout=DEFAULT_TIMEOUT):
    """The showing top-level window or dialog with `caption`, once it is there."""

    def find():
        for node in top_windows(app):
            if node.name == caption and showing(node) and (role is None or
                                                          node.getRoleName() == role):
                return node
        return None

    try:
        return Window(desktop, wait_until(find, f"the window '{caption}'", timeout))
    except AssertionError as error:
        shown = [(node.getRoleName(), node.name) for node in top_windows(app) if showing(node)]
        raise AssertionError(f"{error}; showing: {shown}") from None


def wait_window_closed(app, caption, timeout=DEFAULT_TIMEOUT):
    wait_until(lambda: not any(node.name == caption and showing(node)
                               for node in top_windows(app)),
               f"the window '{caption}' to close", timeout)
