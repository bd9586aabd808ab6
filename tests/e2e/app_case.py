"""What every end-to-end case starts from: rowsmith in folders of its own, so that Demo is a
fresh database, a screenshot of each step, and the File menu, lists and file dialogs worked as a
person works them."""

import os
import shutil
import subprocess
import tempfile
import unittest

import pyatspi

from desktop import (Desktop, Window, children, find_all, has_state, showing, text_of,
                     wait_for_window, wait_until)

# Set by run.py from its command line.
PROGRAM = None
SHOTS = None


class RowsmithCase(unittest.TestCase):
    def setUp(self):
        self.home = tempfile.mkdtemp(prefix="rowsmith-e2e-")
        self.addCleanup(shutil.rmtree, self.home, ignore_errors=True)
        self.scenario_path = os.path.join(self.home, "shop.scn")
        self.database_path = os.path.join(self.home, "data", "rowsmith", "demo.sqlite")
        self.desktop = Desktop(SHOTS)
        self.processes = []

    def tearDown(self):
        for process in self.processes:
            if process.poll() is None:
                process.kill()
                process.wait()

    def start(self, *arguments, scale=1):
        """Starts rowsmith in its own folders, so that Demo is a fresh database."""
        self.desktop.scale = scale
        env = dict(os.environ,
                   QT_SCALE_FACTOR=str(scale),
                   QT_QPA_PLATFORM="xcb",
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   HOME=self.home,
                   XDG_DATA_HOME=os.path.join(self.home, "data"),
                   XDG_CONFIG_HOME=os.path.join(self.home, "config"))
        process = subprocess.Popen([PROGRAM, *arguments], env=env, cwd=self.home)
        self.processes.append(process)
        self.app = Desktop.application(process.pid)
        return process

    def main_window(self, caption):
        return wait_for_window(self.desktop, self.app, caption)

    def shot(self, name):
        self.desktop.screenshot(name)

    def file_command(self, main, caption):
        """Opens the File menu with a click and clicks its item `caption`."""
        self.desktop.click(main.find("menu item", "&File"))
        self.desktop.click(wait_until(
            lambda: next((item for item in find_all(main.node, "menu item", caption)
                          if showing(item)), None), "the File menu open"))

    def click_item(self, lst, name):
        item = wait_until(lambda: next((node for node in children(lst) if node.name == name),
                                       None), f"'{name}' in the list")
        self.desktop.click(item)
        wait_until(lambda: has_state(item, pyatspi.STATE_SELECTED), f"'{name}' selected")

    def file_dialog(self, accept_button):
        """The file dialog that shows the button `accept_button`."""

        def find():
            for node in children(self.app):
                if node is not None and node.getRoleName() == "dialog" and showing(node):
                    if find_all(node, "push button", accept_button):
                        return node
            return None

        return Window(self.desktop, wait_until(find, f"the file dialog with '{accept_button}'"))

    def type_file_name(self, dialog, path):
        name = dialog.find("text", "File name:")
        self.desktop.click(name)
        self.desktop.keys("ctrl+a")
        self.desktop.type_text(path)
        wait_until(lambda: text_of(name) == path, "the file name typed")
