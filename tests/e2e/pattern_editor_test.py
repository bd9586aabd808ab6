"""A library picked, a pattern typed and a library loaded into a value set in their editors,
filled, and the rows read back.

Run by run.py.
"""

import os
import re
import sqlite3

from app_case import RowsmithCase
from desktop import (enabled, item_names, text_of, wait_for_window, wait_until,
                     wait_window_closed, walk)
from grid import VALUES, FieldGrid

SCENARIO = b"""\
[Main]
AliasName=Club
Tables=members

[Table members]
FieldMethod=0
RecCount=40
Fields=id,first,email,team

[Field members.id]
FillMethod=5
FillValue=

[Field members.first]
FillMethod=9
FillValue=seasons

[Field members.email]
FillMethod=10
FillValue=

[Field members.team]
FillMethod=2
FillValue=Red,Blue
""".replace(b"\n", b"\r\n")

PATTERN = "{first|lower}.##@example.net"


class PatternEditorTest(RowsmithCase):
    def setUp(self):
        super().setUp()
        libraries = os.path.join(self.home, "data", "rowsmith", "libraries")
        os.makedirs(libraries)
        with open(os.path.join(libraries, "given.txt"), "w", encoding="utf-8") as library:
            library.write("# Given names\nOla\nIb\nMaren\n")
        with open(os.path.join(libraries, "seasons.txt"), "w", encoding="utf-8") as library:
            library.write("# Seasons\nSpring\nAutumn\n")
        config = os.path.join(self.home, "config", "rowsmith")
        os.makedirs(config)
        self.club_path = os.path.join(self.home, "club.sqlite")
        with open(os.path.join(config, "aliases.ini"), "w", encoding="utf-8") as aliases:
            aliases.write(f"[Club]\nDRIVER=SQLITE\nPATH={self.club_path}\n")
        with sqlite3.connect(self.club_path) as db:
            db.execute("CREATE TABLE members (id INTEGER PRIMARY KEY, first VARCHAR(20), "
                       "email VARCHAR(60), team VARCHAR(20))")

    def test_libraries_and_pattern_set_in_their_editors_are_filled(self):
        with open(self.scenario_path, "wb") as scenario:
            scenario.write(SCENARIO)
        self.start(self.scenario_path)
        main = self.main_window(f"Rowsmith - {self.scenario_path}")
        grid = FieldGrid(main)
        grid.wait_for_table(["id", "first", "email", "team"])

        grid.open_value_editor("first")
        picker = wait_for_window(self.desktop, self.app, "Value Libraries")
        libraries = wait_until(lambda: next((node for node in walk(picker.node)
                                             if node.name == "Libraries"), None),
                               "the list of libraries")
        given = wait_until(lambda: next((node for node in walk(libraries)
                                         if node.name == "given"), None), "'given' listed")
        self.shot("library-picker")
        self.desktop.click(given)
        picker.press("OK")
        wait_window_closed(self.app, "Value Libraries")
        wait_until(lambda: grid.text("first", VALUES) == "given", "the library in its cell")

        grid.open_value_editor("email")
        editor = wait_for_window(self.desktop, self.app, "Text Pattern")
        pattern = editor.find("text", "Pattern")
        self.desktop.click(pattern)
        # An unclosed brace shows the check's reason in place of the samples, and OK waits.
        self.desktop.type_text("{first")
        editor.find("label", "the { at character 1 has no }")
        wait_until(lambda: not enabled(editor.find("push button", "OK")), "OK disabled")
        self.shot("pattern-refused")
        self.desktop.keys("ctrl+a")
        self.desktop.type_text(PATTERN)
        samples = editor.find("list", "Samples")
        shape = re.compile(r"^(ola|ib|maren)\.\d\d@example\.net$")
        wait_until(lambda: len(item_names(samples)) == 5 and
                   all(shape.match(name) for name in item_names(samples)),
                   "five samples of the whole pattern")
        self.shot("pattern-editor")
        editor.press("OK")
        wait_window_closed(self.app, "Text Pattern")
        wait_until(lambda: grid.text("email", VALUES) == PATTERN, "the pattern in its cell")

        grid.open_value_editor("team")
        values = wait_for_window(self.desktop, self.app, "Edit Values")
        values.press("Load from library...")
        picker = wait_for_window(self.desktop, self.app, "Value Libraries")
        self.desktop.click(wait_until(lambda: next((node for node in walk(picker.node)
                                                    if node.name == "seasons"), None),
                                      "'seasons' listed"))
        picker.press("OK")
        wait_window_closed(self.app, "Value Libraries")
        memo = values.find("text", "Values")
        wait_until(lambda: text_of(memo) == "Spring\nAutumn", "the library's values in the memo")
        self.shot("value-set-editor")
        values.press("OK")
        wait_window_closed(self.app, "Edit Values")
        wait_until(lambda: grid.text("team", VALUES) == "Spring,Autumn", "the set in its cell")

        self.desktop.click(main.find("push button", "FillUp"))
        wait_until(lambda: len(self.members()) == 40, "the 40 members written")
        self.shot("pattern-filled")
        for first, email, team in self.members():
            self.assertRegex(email, rf"^{first.lower()}\.\d\d@example\.net$")
            self.assertIn(team, ("Spring", "Autumn"))
        self.assertEqual({"Ola", "Ib", "Maren"}, {row[0] for row in self.members()})

    def members(self):
        with sqlite3.connect(self.club_path) as db:
            return db.execute("SELECT first, email, team FROM members").fetchall()
