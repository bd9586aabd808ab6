"""Exit whose save fails: the error is shown, the window stays open with the scenario unsaved,
and the next Exit, once the file can be written, saves it and ends the program.

Run by run.py.
"""

import os
import shutil

from app_case import RowsmithCase
from desktop import enabled, find_all, wait_for_window, wait_until, wait_window_closed
from grid import FieldGrid, record_count, record_count_text

PARTS = ["PartNo", "Description", "OnHand", "Cost", "ListPrice", "Weight"]

SCENARIO = b"""\
[Main]
AliasName=Demo
Tables=parts

[Table parts]
FieldMethod=0
RecCount=5
Fields=PartNo,Description

[Field parts.PartNo]
FillMethod=5
FillValue=

[Field parts.Description]
FillMethod=1
FillValue=Bolt
"""

QUESTION = "Scenario was changed. Save changes?"


class ExitTest(RowsmithCase):
    def test_exit_whose_save_fails_keeps_the_window_and_the_changes(self):
        folder = os.path.join(self.home, "plans")
        path = os.path.join(folder, "shop.scn")
        os.makedirs(folder)
        with open(path, "wb") as scenario:
            scenario.write(SCENARIO)
        process = self.start(path)
        caption = f"Rowsmith - {path}"
        main = self.main_window(caption)
        FieldGrid(main).wait_for_table(PARTS)

        spin = record_count(main)
        self.desktop.click(spin, x_fraction=0.3)
        self.desktop.keys("ctrl+a")
        self.desktop.type_text("7")
        self.desktop.keys("Tab")
        save = main.find("push button", "Save scenario")
        wait_until(lambda: enabled(save), "the scenario changed")

        # The scenario's folder goes away: the save cannot write its file.
        shutil.rmtree(folder)
        self.file_command(main, "E&xit")
        wait_for_window(self.desktop, self.app, QUESTION, role="alert").press("Yes")
        error = wait_for_window(self.desktop, self.app, "Rowsmith", role="alert")
        message = f"Cannot create file {path}."
        wait_until(lambda: any(label.name == message for label in find_all(error.node, "label")),
                   f"'{message}' shown")
        self.shot("exit-save-failed")
        error.press("OK")
        wait_window_closed(self.app, "Rowsmith")

        main = self.main_window(caption)
        self.assertIsNone(process.poll(), "the program still runs")
        self.assertTrue(enabled(main.find("push button", "Save scenario")), "still unsaved")
        self.assertEqual("7", record_count_text(main))
        self.shot("exit-save-failed-window-open")

        os.makedirs(folder)
        self.file_command(main, "E&xit")
        wait_for_window(self.desktop, self.app, QUESTION, role="alert").press("Yes")
        self.assertEqual(0, process.wait(timeout=60))
        with open(path, "rb") as scenario:
            self.assertIn(b"RecCount=7\r\n", scenario.read())
