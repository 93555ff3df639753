"""Fixtures for the end-to-end tests: one screen, Wine prefix and wine server for the
whole run, and per test the programs it starts, ended when the test ends."""

from __future__ import annotations

import os
from pathlib import Path

import pytest

import harness

MAIN_TITLE = "蓝杉果高级屏幕截图软件"


@pytest.fixture(scope="session")
def session():
    prefix = Path(os.environ.get("LSG_WINE_PREFIX", harness.BUILD / "wine" / "e2e"))
    s = harness.Session(prefix, harness.BUILD / "e2e")
    yield s
    s.close()


@pytest.fixture
def desktop(session, request):
    """The shared screen for one test; what the test launched is ended afterwards."""
    session.current_test = request.node.name
    yield session
    session.end_programs()
    session.current_test = "session"


@pytest.fixture
def launch(desktop):
    """launch(exe, *args, cwd=None) starts any Windows program (a path, or the name of
    a program in the Windows build folder) and returns its harness.Program."""

    def start(exe, *args, cwd=None):
        path = Path(exe)
        if not path.is_absolute() and path.parent == Path("."):
            path = harness.program_path(str(path))
        return desktop.launch(path, *args, cwd=cwd)

    return start


@pytest.fixture
def app(launch):
    """The program, started and showing its main window (app.window is its X id)."""
    program = launch(harness.program_path())
    program.window = program.wait_window(MAIN_TITLE)
    return program
