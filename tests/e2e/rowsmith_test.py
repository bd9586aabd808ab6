"""Rowsmith on a fresh demo database, worked as a person works it.

The whole path: New scenario (alias, three tables, reordered), column settings in the grid
(typed, rejected and corrected, through the value-set editor and the master-field picker), Save,
Fill Up, and the scenario opened again, both from the File menu and from the command line. The
records in the database and the bytes of the scenario file are checked at the end. A screenshot
of each step goes to the shots folder.

Run by run.py.
"""

import os
import sqlite3

from app_case import RowsmithCase
from desktop import (enabled, find_all, item_names, selected_names, showing, text_of,
                     wait_for_window, wait_until, wait_window_closed)
from grid import VALUES, FieldGrid, find_combo, pick_in_combo, record_count, record_count_text

CUSTOMERS = ["CustNo", "Company", "Contact", "City", "Country", "Phone", "CreditLimit", "Since",
             "Active"]
EMPLOYEES = ["EmpNo", "LastName", "FirstName", "PhoneExt", "HireDate", "StartTime", "Salary",
             "Notes"]
ORDERS = ["OrderNo", "CustNo", "EmpNo", "SaleDate", "ShipDate", "ShipVia", "AmountPaid", "Paid"]

# The value set as typed into the value-set editor, one value a line: a blank, a comma.
# Adding orders offers the tables it refers to; the test adds them itself.
ORDERS_PARENTS = ("Tables that 'orders' refers to are not in the scenario: customers, employees. "
                  "Add them?")
COMPANIES = ["Reef Divers", "Blue Lagoon, Ltd.", "Quillfeather"]
# The same set as one value: the lines with a blank or a comma quoted.
COMPANIES_VALUE = '"Reef Divers","Blue Lagoon, Ltd.",Quillfeather'

# What the scenario file holds after the settings below: every column of every table shown, in
# the table's order, the untouched ones as "Don't fill it" (0). The file's lines end in CR LF.
EXPECTED_SCENARIO = """\
[Main]
AliasName=Demo
Tables=customers,employees,orders

[Table customers]
FieldMethod=0
RecCount=5
Fields=CustNo,Company,Contact,City,Country,Phone,CreditLimit,Since,Active

[Field customers.CustNo]
FillMethod=5
FillValue=

[Field customers.Company]
FillMethod=2
FillValue="Reef Divers","Blue Lagoon, Ltd.",Quillfeather

[Field customers.Contact]
FillMethod=0
FillValue=

[Field customers.City]
FillMethod=1
FillValue=Kapaa

[Field customers.Country]
FillMethod=0
FillValue=

[Field customers.Phone]
FillMethod=0
FillValue=

[Field customers.CreditLimit]
FillMethod=3
FillValue=1000 - 5000

[Field customers.Since]
FillMethod=0
FillValue=

[Field customers.Active]
FillMethod=0
FillValue=

[Table employees]
FieldMethod=2
RecCount=100
Fields=EmpNo,LastName,FirstName,PhoneExt,HireDate,StartTime,Salary,Notes

[Field employees.EmpNo]
FillMethod=0
FillValue=

[Field employees.LastName]
FillMethod=1
FillValue=Smith

[Field employees.FirstName]
FillMethod=6
FillValue=10

[Field employees.PhoneExt]
FillMethod=0
FillValue=

[Field employees.HireDate]
FillMethod=0
FillValue=

[Field employees.StartTime]
FillMethod=0
FillValue=

[Field employees.Salary]
FillMethod=0
FillValue=

[Field employees.Notes]
FillMethod=0
FillValue=

[Table orders]
FieldMethod=0
RecCount=6
Fields=OrderNo,CustNo,EmpNo,SaleDate,ShipDate,ShipVia,AmountPaid,Paid

[Field orders.OrderNo]
FillMethod=5
FillValue=

[Field orders.CustNo]
FillMethod=7
FillValue=customers.CustNo

[Field orders.EmpNo]
FillMethod=7
FillValue=employees.EmpNo

[Field orders.SaleDate]
FillMethod=0
FillValue=

[Field orders.ShipDate]
FillMethod=0
FillValue=

[Field orders.ShipVia]
FillMethod=0
FillValue=

[Field orders.AmountPaid]
FillMethod=4
FillValue=10.5 - 99.5

[Field orders.Paid]
FillMethod=0
FillValue=

""".replace("\n", "\r\n").encode()


class RowsmithDesktopTest(RowsmithCase):
    def test_new_scenario_to_filled_database_and_back(self):
        self.start()
        main = self.main_window("Rowsmith")
        self.assertFalse(enabled(main.find("push button", "Save scenario")))
        self.assertFalse(enabled(main.find("push button", "FillUp")))
        self.shot("start")

        self.new_scenario(main)
        main = self.main_window("Rowsmith - noname")
        self.assertTrue(enabled(main.find("push button", "Save scenario")))
        grid = FieldGrid(main)
        grid.wait_for_table(CUSTOMERS)
        self.assertEqual([[name, "Don't fill it", ""] for name in CUSTOMERS], grid.texts())
        self.assertEqual("100", record_count_text(main))
        self.shot("new-scenario")

        self.set_customers(main, grid)
        self.set_employees(main, grid)
        self.set_orders(main, grid)

        self.save(main)
        with open(self.scenario_path, "rb") as scenario:
            self.assertEqual(EXPECTED_SCENARIO, scenario.read())

        self.fill_up(main)
        self.check_database()

        main = self.open_from_menu(main)
        self.exit_unchanged(main)
        self.open_from_command_line()

    # The steps, in the order a person takes them.

    def new_scenario(self, main):
        self.file_command(main, "&New Scenario...")
        editor = wait_for_window(self.desktop, self.app, "Edit scenario")
        self.shot("scenario-editor")

        alias = find_combo(editor, holding="Choose alias")
        self.assertEqual("Choose alias", alias.name)
        pick_in_combo(editor, alias, "Demo")
        available = editor.find("list", "Available tables")
        wait_until(lambda: item_names(available) == ["customers", "employees", "items", "orders",
                                                     "parts"], "the demo tables listed")
        chosen = editor.find("list", "Tables in scenario")
        for table in ["orders", "employees", "customers"]:
            self.click_item(available, table)
            editor.press("Add table")
            if table == "orders":
                wait_for_window(self.desktop, self.app, ORDERS_PARENTS, role="alert").press("No")
            wait_until(lambda: table in item_names(chosen), f"'{table}' in the scenario")
        self.assertEqual(["items", "parts"], item_names(available))
        self.assertFalse(enabled(alias), "the alias is locked while tables are chosen")
        self.shot("tables-added")

        self.click_item(chosen, "customers")
        editor.press("Move table up")
        wait_until(lambda: item_names(chosen) == ["orders", "customers", "employees"],
                   "customers moved up")
        self.click_item(chosen, "orders")
        for order in (["customers", "orders", "employees"], ["customers", "employees", "orders"]):
            editor.press("Move table down")
            wait_until(lambda: item_names(chosen) == order, f"the tables in the order {order}")
            self.assertEqual(["orders"], selected_names(chosen), "the moved table stays selected")
        self.shot("tables-reordered")

        editor.press("OK")
        wait_window_closed(self.app, "Edit scenario")

    def set_customers(self, main, grid):
        grid.set_method("CustNo", "Autoincrement", while_open=lambda: self.shot("method-list"))

        grid.set_method("Company", "Random value from a set")
        grid.open_value_editor("Company")
        editor = wait_for_window(self.desktop, self.app, "Edit Values")
        memo = editor.find("text", "Values")
        self.desktop.click(memo)
        for i, line in enumerate(COMPANIES):
            if i > 0:
                self.desktop.keys("Return")
            self.desktop.type_text(line)
        wait_until(lambda: text_of(memo) == "\n".join(COMPANIES), "the values in the memo")
        self.shot("value-set-editor")
        editor.press("OK")
        wait_window_closed(self.app, "Edit Values")
        wait_until(lambda: grid.text("Company", VALUES) == COMPANIES_VALUE,
                   "the value set in the grid")

        grid.set_method("City", "Single value")
        grid.type_value("City", "Kapaa")

        # A range that is no range is kept in the cell but not taken: moving away brings the
        # current cell back to it until it is put right.
        grid.set_method("CreditLimit", "Integer random value from range")
        grid.type_value("CreditLimit", "abc", confirm=False)
        self.desktop.keys("Tab")
        # The grid has the focus back once Tab closed the editor, and the current cell is there
        # again rather than on the next row.
        wait_until(lambda: grid.has_focus() and grid.is_current("CreditLimit", VALUES),
                   "the current cell back at the rejected range")
        self.assertEqual("abc", grid.text("CreditLimit", VALUES))
        self.shot("rejected-value")
        self.desktop.keys("F2", "ctrl+a")
        self.desktop.type_text("1000 - 5000")
        self.desktop.keys("Return")
        wait_until(lambda: grid.text("CreditLimit", VALUES) == "1000 - 5000", "the corrected range")
        self.desktop.keys("Down")
        grid.wait_current("Since", VALUES)

        self.set_record_count(main, "5")
        self.shot("customers-set")

    def set_employees(self, main, grid):
        self.choose_table(main, grid, "employees", EMPLOYEES)
        fill_method = find_combo(main, label="Table fill method")
        pick_in_combo(main, fill_method, "Update existing")
        wait_until(lambda: not showing(record_count(main)), "the record count hidden")

        grid.set_method("LastName", "Single value")
        grid.type_value("LastName", "Smith")
        grid.set_method("FirstName", "Random string")
        self.assertEqual("10", grid.text("FirstName", VALUES))
        self.shot("employees-set")

    def set_orders(self, main, grid):
        self.choose_table(main, grid, "orders", ORDERS)
        grid.set_method("OrderNo", "Autoincrement")
        self.pick_master(grid, "CustNo", "customers", "CustNo")
        self.pick_master(grid, "EmpNo", "employees", "EmpNo")
        grid.set_method("AmountPaid", "Real random value from range")
        grid.type_value("AmountPaid", "10.5 - 99.5")
        self.set_record_count(main, "6")
        self.shot("orders-set")

    def pick_master(self, grid, field, table, column):
        grid.set_method(field, "The values from the master table")
        grid.open_value_editor(field)
        picker = wait_for_window(self.desktop, self.app, "Edit Values")
        tables = find_combo(picker, label="Tables")
        # A blank value opens the picker on the first table, with no column chosen.
        self.assertEqual("customers", tables.name)
        fields = picker.find("list", "Fields")
        self.assertEqual([], selected_names(fields))
        if table != tables.name:
            pick_in_combo(picker, tables, table)
        wait_until(lambda: column in item_names(fields), f"the columns of {table}")
        self.click_item(fields, column)
        self.shot(f"master-picker-{field}")
        picker.press("OK")
        wait_window_closed(self.app, "Edit Values")
        wait_until(lambda: grid.text(field, VALUES) == f"{table}.{column}",
                   f"{table}.{column} in the grid")

    def choose_table(self, main, grid, table, columns):
        pick_in_combo(main, find_combo(main, label="Table:"), table)
        grid.wait_for_table(columns)

    def set_record_count(self, main, count):
        spin = record_count(main)
        self.desktop.click(spin, x_fraction=0.3)
        self.desktop.keys("ctrl+a")
        self.desktop.type_text(count)
        wait_until(lambda: text_of(spin) == count, f"the record count {count}")

    def save(self, main):
        save = main.find("push button", "Save scenario")
        self.assertTrue(enabled(save))
        self.desktop.click(save)
        dialog = self.file_dialog("Save")
        # Typed without its extension: the dialog adds ".scn".
        self.type_file_name(dialog, os.path.splitext(self.scenario_path)[0])
        self.shot("save-dialog")
        self.desktop.keys("Return")
        wait_until(lambda: os.path.exists(self.scenario_path), "the scenario file written")
        wait_until(lambda: not enabled(save), "Save disabled after saving")
        self.assertEqual("Rowsmith - noname", main.caption, "Save As keeps the caption")

    def fill_up(self, main):
        self.desktop.click(main.find("push button", "FillUp"))
        wait_until(lambda: self.count("orders") == 6, "the orders filled")
        progress = find_all(main.node, "progress bar", into_hidden=True)[0]
        wait_until(lambda: not showing(progress), "the fill ended")
        self.shot("filled")

    def check_database(self):
        with sqlite3.connect(self.database_path) as db:
            customers = db.execute(
                "SELECT CustNo, Company, Contact, City, CreditLimit FROM customers "
                "ORDER BY CustNo").fetchall()
            employees = db.execute(
                "SELECT EmpNo, LastName, FirstName, Salary FROM employees "
                "ORDER BY EmpNo").fetchall()
            orders = db.execute(
                "SELECT OrderNo, CustNo, EmpNo, AmountPaid FROM orders ORDER BY OrderNo").fetchall()
        self.assertEqual([1, 2, 3, 4, 5], [row[0] for row in customers])
        for _, company, contact, city, credit in customers:
            self.assertIn(company, COMPANIES)
            self.assertIsNone(contact)
            self.assertEqual("Kapaa", city)
            self.assertTrue(1000 <= credit <= 5000, credit)
        # Update existing rewrites the four demo employees and keeps what it does not fill.
        self.assertEqual([1, 2, 3, 4], [row[0] for row in employees])
        self.assertEqual([4250.00, 3900.50, 3100.00, 3350.75], [row[3] for row in employees])
        for _, last_name, first_name, _ in employees:
            self.assertEqual("Smith", last_name)
            # A random string of length 0 is the empty text, which is stored as no value.
            self.assertLess(len(first_name or ""), 10)
        # Master columns walk their tables row by row and start again at the end.
        self.assertEqual([(1, 1, 1), (2, 2, 2), (3, 3, 3), (4, 4, 4), (5, 5, 1), (6, 1, 2)],
                         [row[:3] for row in orders])
        for row in orders:
            self.assertTrue(10.5 <= row[3] <= 99.5, row)

    def open_from_menu(self, main):
        self.file_command(main, "&Open Scenario...")
        dialog = self.file_dialog("Open")
        self.type_file_name(dialog, self.scenario_path)
        self.shot("open-dialog")
        self.desktop.keys("Return")
        main = self.main_window(f"Rowsmith - {self.scenario_path}")
        self.check_reopened(main)
        return main

    def exit_unchanged(self, main):
        # Opening the file and looking at another of its tables showed other record counts (the
        # customers' 5 where the orders showed 6, then 6 again), which is no change: Save stays
        # disabled and Exit asks nothing.
        self.assertFalse(enabled(main.find("push button", "Save scenario")))
        self.file_command(main, "E&xit")
        self.assertEqual(0, self.processes[-1].wait(timeout=60))
        with open(self.scenario_path, "rb") as scenario:
            self.assertEqual(EXPECTED_SCENARIO, scenario.read())

    def open_from_command_line(self):
        self.start(self.scenario_path)
        main = self.main_window(f"Rowsmith - {self.scenario_path}")
        self.check_reopened(main)
        self.shot("reopened-from-command-line")

    def check_reopened(self, main):
        grid = FieldGrid(main)
        grid.wait_for_table(CUSTOMERS)
        texts = grid.texts()
        self.assertEqual(["CustNo", "Autoincrement", ""], texts[0])
        self.assertEqual(["Company", "Random value from a set", COMPANIES_VALUE], texts[1])
        self.assertEqual(["City", "Single value", "Kapaa"], texts[3])
        self.assertEqual(["CreditLimit", "Integer random value from range", "1000 - 5000"],
                         texts[6])
        self.assertEqual("5", record_count_text(main))
        self.shot("reopened")
        self.choose_table(main, grid, "orders", ORDERS)
        self.assertEqual(["CustNo", "The values from the master table", "customers.CustNo"],
                         grid.texts()[1])
        self.assertEqual(["AmountPaid", "Real random value from range", "10.5 - 99.5"],
                         grid.texts()[6])

    # Helpers.

    def count(self, table):
        try:
            with sqlite3.connect(self.database_path) as db:
                return db.execute(f"SELECT COUNT(*) FROM {table}").fetchone()[0]
        except sqlite3.OperationalError:
            return None

