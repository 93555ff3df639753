"""Saving over a file that is already there, as a user meets it: a name typed without an
extension, a hidden or read-only file, and a file that another program holds open for a
moment (a virus scanner or a sync client right after the file was written)."""

from __future__ import annotations

import re
import subprocess
from pathlib import Path

import pytest

import harness
from mainwin import STARTUP
from test_save import decoded, files, saver, wait_file, windows_path  # noqa: F401 (fixtures)

# The new file a save writes beside its target before it takes the target's place.
PARTIAL_SAVES = "~蓝杉果截图-未完成的保存-*.tmp"


def attributes(desktop, path: Path) -> str:
    """The file's attribute letters as Windows' own attrib command shows them ("A", "H", "R",
    "S"), asked of a Windows program so that it is what Windows programs see."""
    shown = subprocess.run(["wine", "cmd", "/c", "attrib", windows_path(path)], env=desktop.env,
                           check=True, capture_output=True, text=True, timeout=120).stdout
    line = next((l for l in shown.splitlines() if path.name in l), None)
    assert line is not None, f"attrib did not list {path}: {shown!r}"
    return re.sub(r"[^A-Z]", "", line[:line.index(":") - 1])


def set_attributes(desktop, path: Path, *changes: str) -> None:
    subprocess.run(["wine", "cmd", "/c", "attrib", *changes, windows_path(path)], env=desktop.env,
                   check=True, capture_output=True, timeout=120)


@pytest.mark.parametrize("shortcut, extension", [("ctrl+b", ".bmp"), ("ctrl+g", ".jpg")])
def test_a_name_typed_without_an_extension_gets_the_extension_of_the_filter(
        desktop, saver, files, shortcut, extension):
    saver.save(shortcut, files / "shot")
    data = wait_file(desktop, files / f"shot{extension}")
    assert sorted(p.name for p in files.iterdir()) == [f"shot{extension}"]
    if extension == ".bmp":
        assert data == STARTUP.read_bytes()
    else:
        assert data[:2] == b"\xff\xd8" and decoded(data).size == (596, 440)


def test_a_hidden_file_stays_hidden_after_a_save_over_it(desktop, saver, files):
    target = files / "hidden.bmp"
    target.write_bytes(b"old" * 100)
    set_attributes(desktop, target, "+h")
    assert "H" in attributes(desktop, target)
    saver.save("ctrl+b", target, overwrite=True)
    wait_file(desktop, target, STARTUP.read_bytes())
    assert "H" in attributes(desktop, target)
    assert [p.name for p in files.iterdir()] == ["hidden.bmp"]


def test_a_read_only_file_is_not_replaced_and_stays_read_only(desktop, saver, files):
    # A read-only file is one its owner protected: the save says so and leaves it alone.
    target = files / "read-only.bmp"
    old = b"protected" * 100
    target.write_bytes(old)
    set_attributes(desktop, target, "+r")
    box = saver.save_expecting_error("ctrl+b", target)
    assert target.read_bytes() == old
    assert "R" in attributes(desktop, target)
    assert [p.name for p in files.iterdir()] == ["read-only.bmp"]
    desktop.key("Return")
    saver.wait_closed(box)
    saver.settle()
    set_attributes(desktop, target, "-r")


def test_a_file_held_open_for_200_ms_is_replaced_after_the_retry(desktop, launch, saver, files):
    target = files / "held.bmp"
    target.write_bytes(b"held by another program" * 10)
    holder = launch(harness.BUILD / "windows" / "tests" / "e2e_hold_file.exe",
                    windows_path(target), windows_path(files / PARTIAL_SAVES), 200)
    desktop.wait_for(lambda: "held" in holder.output(), describe="the other program to open "
                     f"{target} (its output: {holder.output()!r})")
    saver.save("ctrl+b", target, overwrite=True)
    wait_file(desktop, target, STARTUP.read_bytes())
    holder.wait_exit()
    # The program was still waiting for the file when the other program let go of it.
    assert "released waiting=1" in holder.output(), holder.output()
    saver.settle()
    assert [p.name for p in files.iterdir()] == ["held.bmp"]
