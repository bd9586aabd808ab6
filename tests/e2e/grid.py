"""The field settings grid and the controls over and below it, as a person works them."""

import pyatspi

from desktop import (children, enabled, extents, find_all, has_state, showing, text_of,
                     wait_until)

FIELD_NAME, FILL_METHOD, VALUES = 0, 1, 2


def labelled_by(node):
    """The names of the labels that name `node` (Qt names a combo box after its current item and
    puts its label's text in this relation instead)."""
    names = []
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            names += [relation.getTarget(i).name for i in range(relation.getNTargets())]
    return names


def combo_items(combo):
    lists = [node for node in children(combo) if node.getRoleName() == "list"]
    return [item.name for lst in lists for item in children(lst)]


def find_combo(window, label=None, holding=None):
    """The showing combo box labelled `label`, or, for one without a label, the one whose list
    holds the item `holding`."""

    def one():
        for combo in find_all(window.node, "combo box"):
            if label is not None and label in labelled_by(combo):
                return combo
            if holding is not None and holding in combo_items(combo):
                return combo
        return None

    return wait_until(one, f"the combo box {label or holding!r} in '{window.caption}'")


def pick_in_combo(window, combo, item, while_open=None):
    """Opens `combo` with a click and clicks `item` in its list; `while_open` runs before that
    click, with the list open."""
    window.desktop.click(combo)
    entry = wait_until(
        lambda: next((node for node in find_all(combo, "list item", item) if showing(node)), None),
        f"'{item}' in the open list")
    if while_open is not None:
        while_open()
    window.desktop.click(entry)
    wait_until(lambda: combo.name == item, f"the combo box showing '{item}'")


class FieldGrid:
    """The grid 'Field settings' of the main window: one row per column of the table shown."""

    def __init__(self, window):
        self.window = window
        self.desktop = window.desktop
        self.node = window.find("table", "Field settings")

    def texts(self):
        """Every row's name, method and value texts, as the grid shows them; the NULL share and
        unique columns after them are hidden until a scenario uses them, but still listed."""
        table = self.node.queryTable()
        return [[table.getAccessibleAt(row, column).name for column in range(VALUES + 1)]
                for row in range(table.nRows)]

    def field_names(self):
        return [row[FIELD_NAME] for row in self.texts()]

    def wait_for_table(self, field_names):
        wait_until(lambda: self.field_names() == field_names,
                   f"the grid showing the columns {field_names}")

    def cell(self, field, column):
        table = self.node.queryTable()
        for row in range(table.nRows):
            if table.getAccessibleAt(row, FIELD_NAME).name == field:
                return table.getAccessibleAt(row, column)
        raise AssertionError(f"no row '{field}' in the grid")

    def text(self, field, column):
        return self.cell(field, column).name

    def is_current(self, field, column):
        return has_state(self.cell(field, column), pyatspi.STATE_FOCUSED)

    def wait_current(self, field, column):
        wait_until(lambda: self.is_current(field, column),
                   f"the current cell at '{field}', column {column}")

    def has_focus(self):
        """True while the grid itself has the focus, not a cell editor or another control."""
        return has_state(self.node, pyatspi.STATE_FOCUSED)

    def go_to(self, field, column):
        """Makes a cell current with a click. A click on the field name lands on its method."""
        self.desktop.click(self.cell(field, column))
        self.wait_current(field, FILL_METHOD if column == FIELD_NAME else column)

    def method_combo(self):
        return find_combo(self.window, holding="The values from the master table")

    def set_method(self, field, method, while_open=None):
        """Picks `method` in the combo box that stands over the field's method cell."""
        self.go_to(field, FIELD_NAME)
        combo = self.method_combo()
        cell = extents(self.cell(field, FILL_METHOD))
        wait_until(lambda: showing(combo) and abs(extents(combo).y - cell.y) <= 2,
                   f"the method combo box over the method cell of '{field}'")
        pick_in_combo(self.window, combo, method, while_open)
        wait_until(lambda: self.text(field, FILL_METHOD) == method,
                   f"'{method}' in the method cell of '{field}'")

    def type_value(self, field, text, confirm=True):
        """Types `text` into the field's value cell: F2 to edit, the text, Enter to end."""
        self.go_to(field, VALUES)
        self.desktop.keys("F2", "ctrl+a")
        self.desktop.type_text(text)
        if confirm:
            self.desktop.keys("Return")
            wait_until(lambda: self.text(field, VALUES) == text,
                       f"'{text}' in the value cell of '{field}'")

    def edit_value_button(self):
        return self.window.find("push button", "Edit values")

    def open_value_editor(self, field):
        """Clicks the '...' button that stands at the right end of the field's value cell."""
        self.go_to(field, VALUES)
        button = self.edit_value_button()
        wait_until(lambda: showing(button) and enabled(button), "the '...' button")
        self.desktop.click(button)


def record_count(window):
    return window.find("spin button", "Record count:")


def record_count_text(window):
    return text_of(record_count(window))
