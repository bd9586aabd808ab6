"""The record count: what the field shows once it is left is the count the table holds, the one
Save stores and Fill Up writes.

Run by run.py.
"""

import sqlite3

from app_case import RowsmithCase
from desktop import enabled, wait_until
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


class RecordCountTest(RowsmithCase):
    def test_emptied_count_left_with_tab_is_the_count_saved_and_filled(self):
        with open(self.scenario_path, "wb") as scenario:
            scenario.write(SCENARIO)
        self.start(self.scenario_path)
        main = self.main_window(f"Rowsmith - {self.scenario_path}")
        FieldGrid(main).wait_for_table(PARTS)
        self.assertEqual("5", record_count_text(main))

        self.desktop.click(record_count(main), x_fraction=0.3)
        self.desktop.keys("ctrl+a", "BackSpace")
        wait_until(lambda: record_count_text(main) == "", "the record count emptied")
        self.desktop.keys("Tab")
        # Leaving the field puts the number it holds in it.
        shown = wait_until(lambda: record_count_text(main), "a number in the record count")
        self.shot("record-count-left-empty")
        self.assertEqual("0", shown)

        save = main.find("push button", "Save scenario")
        self.desktop.click(save)
        wait_until(lambda: not enabled(save), "Save disabled after saving")
        with open(self.scenario_path, "rb") as scenario:
            self.assertIn(b"RecCount=0\r\n", scenario.read())

        self.desktop.click(main.find("push button", "FillUp"))
        wait_until(lambda: self.count("parts") == 0, "the parts emptied and none written")
        self.shot("record-count-filled")

    def count(self, table):
        with sqlite3.connect(self.database_path) as db:
            return db.execute(f"SELECT COUNT(*) FROM {table}").fetchone()[0]
