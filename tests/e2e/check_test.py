"""File > Check: a scenario whose parts leave a NOT NULL column unfilled is listed with that
warning, and a double-click on it shows the parts with that column's row current.

Run by run.py.
"""

from app_case import RowsmithCase
from desktop import wait_for_window, wait_until, wait_window_closed
from grid import FILL_METHOD, FieldGrid, find_combo

EMPLOYEES = ["EmpNo", "LastName", "FirstName", "PhoneExt", "HireDate", "StartTime", "Salary",
             "Notes", "Email"]
PARTS = ["PartNo", "Description", "OnHand", "Cost", "ListPrice", "Weight"]

# The employees are fine; the parts' Description is NOT NULL without a default, left unfilled.
SCENARIO = b"""\
[Main]
AliasName=Demo
Tables=employees,parts

[Table employees]
FieldMethod=0
RecCount=5
Fields=EmpNo,LastName

[Field employees.EmpNo]
FillMethod=5
FillValue=

[Field employees.LastName]
FillMethod=1
FillValue=Smith

[Table parts]
FieldMethod=0
RecCount=5
Fields=PartNo,Description

[Field parts.PartNo]
FillMethod=5
FillValue=

[Field parts.Description]
FillMethod=0
FillValue=
"""


class CheckCommandTest(RowsmithCase):
    def test_check_lists_a_warning_and_goes_to_its_column(self):
        with open(self.scenario_path, "wb") as scenario:
            scenario.write(SCENARIO)
        self.start(self.scenario_path)
        main = self.main_window(f"Rowsmith - {self.scenario_path}")
        grid = FieldGrid(main)
        grid.wait_for_table(EMPLOYEES)

        self.file_command(main, "&Check")
        check = wait_for_window(self.desktop, self.app, "Check scenario")
        table = check.find("table", "Warnings").queryTable()
        wait_until(lambda: table.nRows == 1, "one warning listed")
        row = [table.getAccessibleAt(0, column).name for column in range(table.nColumns)]
        self.assertEqual(["parts", "Description"], row[:2])
        self.assertIn("NOT NULL", row[2])
        self.shot("check-warnings")

        self.desktop.double_click(table.getAccessibleAt(0, 2))
        wait_window_closed(self.app, "Check scenario")
        grid.wait_for_table(PARTS)
        self.assertEqual("parts", find_combo(main, label="Table:").name)
        grid.wait_current("Description", FILL_METHOD)
        self.shot("check-went-to-column")
