"""The field settings from the keyboard alone, and the names a screen reader says for the
controls that stand without a visible label.

Run by run.py.
"""

import pyatspi

from app_case import RowsmithCase
from desktop import find_all, has_state, showing, wait_until, wait_window_closed
from grid import FIELD_NAME, FILL_METHOD, VALUES, FieldGrid, find_combo, labelled_by, record_count

PARTS = ["PartNo", "Description", "OnHand", "Cost", "ListPrice", "Weight"]

SCENARIO = b"""\
[Main]
AliasName=Demo
Tables=parts

[Table parts]
FieldMethod=0
RecCount=100
Fields=PartNo,Description

[Field parts.PartNo]
FillMethod=5
FillValue=

[Field parts.Description]
FillMethod=2
FillValue=Bolt,Nut,Washer
"""


def focused(node):
    return has_state(node, pyatspi.STATE_FOCUSED)


class KeyboardTest(RowsmithCase):
    def test_keyboard_alone_and_the_names_a_screen_reader_says(self):
        with open(self.scenario_path, "wb") as scenario:
            scenario.write(SCENARIO)
        self.start(self.scenario_path)
        main = self.main_window(f"Rowsmith - {self.scenario_path}")
        grid = FieldGrid(main)
        grid.wait_for_table(PARTS)
        self.tab_leaves_the_grid_and_shift_tab_comes_back(main, grid)
        self.controls_without_a_caption_have_names(main, grid)
        # Nothing was changed: Exit asks nothing and the program ends.
        self.file_command(main, "E&xit")
        self.assertEqual(0, self.processes[-1].wait(timeout=60))

    def tab_leaves_the_grid_and_shift_tab_comes_back(self, main, grid):
        grid.go_to("Description", VALUES)
        button = grid.edit_value_button()
        wait_until(lambda: showing(button), "the '...' button on the set's value cell")
        # Arrows still move between the cells.
        self.desktop.keys("Left")
        grid.wait_current("Description", FILL_METHOD)
        self.desktop.keys("Up")
        grid.wait_current("PartNo", FILL_METHOD)
        self.desktop.keys("Down", "Right")
        grid.wait_current("Description", VALUES)

        method = find_combo(main, label="Table fill method")
        self.desktop.keys("Tab")
        wait_until(lambda: focused(method), "the table fill method focused after Tab")
        # Away from the grid, the '...' button is gone.
        wait_until(lambda: not showing(button), "the '...' button hidden once the grid is left")
        self.shot("tab-left-the-grid")
        self.desktop.keys("Tab")
        count = record_count(main)
        wait_until(lambda: focused(count), "the record count focused after a second Tab")
        self.desktop.keys("shift+Tab", "shift+Tab")
        wait_until(grid.has_focus, "the grid focused again after Shift+Tab twice")
        self.assertTrue(grid.is_current("Description", VALUES))
        wait_until(lambda: showing(button), "the '...' button back with the grid's focus")

    def controls_without_a_caption_have_names(self, main, grid):
        # A click on the name lands on the method cell, under the method list.
        grid.go_to("PartNo", FIELD_NAME)
        methods = grid.method_combo()
        self.assertIn("Filling method", labelled_by(methods))
        self.assertTrue(find_all(main.node, "filler", "Status") or
                        find_all(main.node, "panel", "Status"), "no status panel named")
        bar = main.find("tool bar", "Work")
        unnamed = [node.getRoleName() for node in find_all(bar, "check box", into_hidden=True)
                   if not node.name]
        self.assertEqual([], unnamed)

        self.desktop.click(main.find("push button", "New scenario"))
        editor = self.main_window("Edit scenario")
        alias = find_combo(editor, holding="Demo")
        self.assertIn("Alias", labelled_by(alias))
        self.shot("new-scenario-alias-named")
        editor.press("Cancel")
        wait_window_closed(self.app, "Edit scenario")
