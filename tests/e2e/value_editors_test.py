"""Both value editors of the settings grid at doubled scaling, opened by keyboard and cancelled:
the value set and the master column shown as stored, and nothing changed.

Run by run.py.
"""

from app_case import RowsmithCase
from desktop import enabled, selected_names, text_of, wait_for_window, wait_window_closed
from grid import FIELD_NAME, VALUES, FieldGrid, find_combo

PARTS = ["PartNo", "Description", "OnHand", "Cost", "ListPrice", "Weight"]
PART_NAMES = ["Bicycle pump", "Brake cable", "Rain jacket", "Bell", "Mudguard", "Kickstand"]
# A set longer than the 30 characters that its current cell shows, and a master column.
PARTS_SCENARIO = f"""\
[Main]
AliasName=Demo
Tables=parts

[Table parts]
FieldMethod=0
RecCount=100
Fields=PartNo,Description,OnHand

[Field parts.PartNo]
FillMethod=5
FillValue=

[Field parts.Description]
FillMethod=2
FillValue={",".join(PART_NAMES)}

[Field parts.OnHand]
FillMethod=7
FillValue=items.qty

""".replace("\n", "\r\n").encode()


class ValueEditorsTest(RowsmithCase):
    def test_value_editors_at_doubled_scale_change_nothing_on_cancel(self):
        with open(self.scenario_path, "wb") as scenario:
            scenario.write(PARTS_SCENARIO)
        self.start(self.scenario_path, scale=2)
        main = self.main_window(f"Rowsmith - {self.scenario_path}")
        grid = FieldGrid(main)
        grid.wait_for_table(PARTS)
        save = main.find("push button", "Save scenario")
        self.assertFalse(enabled(save))
        self.shot("doubled-grid")

        # A click into the grid, then the keyboard: the arrows to the value cell, Ctrl+Enter for
        # its editor.
        grid.go_to("PartNo", FIELD_NAME)
        self.desktop.keys("Down", "Right")
        grid.wait_current("Description", VALUES)
        self.desktop.keys("ctrl+Return")
        editor = wait_for_window(self.desktop, self.app, "Edit Values")
        memo = editor.find("text", "Values")
        self.assertEqual("\n".join(PART_NAMES), text_of(memo))
        self.shot("doubled-value-set-editor")
        editor.press("Cancel")
        wait_window_closed(self.app, "Edit Values")
        grid.wait_current("Description", VALUES)
        # Without a window manager nothing gives the window back the keyboard after a dialog;
        # a click on the next value cell does.
        grid.go_to("OnHand", VALUES)
        self.shot("doubled-master-row")
        self.desktop.keys("ctrl+Return")
        picker = wait_for_window(self.desktop, self.app, "Edit Values")
        # Found whatever the letter case of the stored value.
        self.assertEqual("items", find_combo(picker, label="Tables").name)
        self.assertEqual(["Qty"], selected_names(picker.find("list", "Fields")))
        self.shot("doubled-master-picker")
        picker.press("Cancel")
        wait_window_closed(self.app, "Edit Values")

        self.assertEqual(",".join(PART_NAMES), grid.text("Description", VALUES))
        self.assertEqual("items.qty", grid.text("OnHand", VALUES))
        self.assertFalse(enabled(save), "Cancel leaves the scenario unchanged")
