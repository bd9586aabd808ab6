"""Runs every end-to-end case (the *_test.py modules here) in a private X server.

Run with a session bus (see run-e2e):
    run.py PATH_TO_ROWSMITH SHOTS_FOLDER
"""

import os
import sys
import unittest

import app_case
from desktop import XServer

if __name__ == "__main__":
    app_case.PROGRAM, app_case.SHOTS = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    here = os.path.dirname(os.path.abspath(__file__))
    suite = unittest.defaultTestLoader.discover(here, pattern="*_test.py", top_level_dir=here)
    server = XServer()
    os.environ["DISPLAY"] = server.display
    try:
        result = unittest.TextTestRunner(verbosity=2).run(suite)
    finally:
        server.stop()
    sys.exit(0 if result.wasSuccessful() else 1)
