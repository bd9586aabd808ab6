"""A date range set in its editor by keyboard, filled, and the dates read back from the database.

Run by run.py.
"""

import sqlite3

from app_case import RowsmithCase
from desktop import text_of, wait_for_window, wait_until, wait_window_closed
from grid import VALUES, FieldGrid

EMPLOYEES = ["EmpNo", "LastName", "FirstName", "PhoneExt", "HireDate", "StartTime", "Salary",
             "Notes", "Email"]

SCENARIO = b"""\
[Main]
AliasName=Demo
Tables=employees

[Table employees]
FieldMethod=0
RecCount=40
Fields=EmpNo,LastName,HireDate

[Field employees.EmpNo]
FillMethod=5
FillValue=

[Field employees.LastName]
FillMethod=1
FillValue=Okafor

[Field employees.HireDate]
FillMethod=8
FillValue=2021-03-01 - 2021-03-31
""".replace(b"\n", b"\r\n")


class DateRangeTest(RowsmithCase):
    def test_range_set_in_the_editor_is_the_range_filled(self):
        with open(self.scenario_path, "wb") as scenario:
            scenario.write(SCENARIO)
        self.start(self.scenario_path)
        main = self.main_window(f"Rowsmith - {self.scenario_path}")
        grid = FieldGrid(main)
        grid.wait_for_table(EMPLOYEES)

        grid.go_to("HireDate", VALUES)
        self.desktop.keys("ctrl+Return")
        editor = wait_for_window(self.desktop, self.app, "Date Range")
        start = editor.find("spin button", "From")
        end = editor.find("spin button", "To")
        self.assertEqual("2021-03-01", text_of(start))
        self.assertEqual("2021-03-31", text_of(end))
        self.shot("date-range-editor")
        # A click on a picker's year, then the arrow key moves it a year on.
        for picker, moved in ((start, "2022-03-01"), (end, "2022-03-31")):
            self.desktop.click(picker, x_fraction=0.05)
            self.desktop.keys("Up")
            wait_until(lambda: text_of(picker) == moved, f"{moved} in the picker")
        editor.press("OK")
        wait_window_closed(self.app, "Date Range")
        wait_until(lambda: grid.text("HireDate", VALUES) == "2022-03-01 - 2022-03-31",
                   "the range in the value cell")

        self.desktop.click(main.find("push button", "FillUp"))
        wait_until(lambda: len(self.hire_dates()) == 40, "the 40 employees written")
        self.shot("date-range-filled")
        dates = self.hire_dates()
        self.assertTrue(all("2022-03-01" <= day <= "2022-03-31" for day in dates), dates)
        self.assertGreater(len(set(dates)), 10)

    def hire_dates(self):
        with sqlite3.connect(self.database_path) as db:
            return [row[0] for row in db.execute("SELECT HireDate FROM employees")]
