"""Saving through the real save dialog: the bytes of 画板1 as they are, the JPEG made
through "ImageA.tmp", the name that carries over, the overwrite question, and the
error box when the chosen file could not be written."""

from __future__ import annotations

import io
import os
import shutil
import struct
import subprocess
from pathlib import Path

import pytest
from PIL import Image, ImageChops, ImageStat

from harness import SCREEN_SIZE
from mainwin import STARTUP, is_white, locate

DIALOG = "保存图形文件"  # the dialog, its overwrite question and the error box
BMP_SIZE = 54 + SCREEN_SIZE[0] * 3 * SCREEN_SIZE[1]  # rows of 1024 pixels need no padding


def windows_path(path: Path) -> str:
    """Z: is the Unix root under Wine."""
    return "Z:" + str(path).replace("/", "\\")


@pytest.fixture(scope="session")
def temp_folder(session) -> Path:
    """The folder GetTempPathW gives the program in this prefix, asked of Wine itself."""
    shown = subprocess.run(["wine", "cmd", "/c", "echo %TEMP%"], env=session.env, check=True,
                           capture_output=True, text=True, timeout=120).stdout.strip()
    unix = subprocess.run(["winepath", "-u", shown], env=session.env, check=True,
                          capture_output=True, text=True, timeout=120).stdout.strip()
    folder = Path(unix)
    assert folder.is_dir(), f"TEMP is {shown!r}, which is {unix!r} here"
    return folder


@pytest.fixture
def files(desktop) -> Path:
    """An empty folder of this test's own for the files it saves."""
    folder = desktop.test_dir() / "files"
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir()
    return folder


class Saver:
    """The save commands as a user gives them: the shortcut, the dialog, the answers."""

    def __init__(self, desktop, app):
        self.desktop = desktop
        self.app = app
        self.main = locate(desktop, app.window)

    def dialogs(self) -> list[int]:
        return self.desktop.find_windows(f"^{DIALOG}$")

    def open(self, shortcut: str) -> int:
        """Gives the command and waits for its dialog; the dialog's X id."""
        assert not self.dialogs(), "a dialog was already open"
        self.desktop.key(shortcut)
        return self.desktop.wait_for(lambda: (self.dialogs() or [None])[0],
                                     describe=f"the save dialog after {shortcut}")

    def type_name(self, path: Path) -> None:
        # The name box has the focus; whatever it holds is replaced.
        self.desktop.key("End", "shift+Home")
        self.desktop.type_text(windows_path(path))

    def question(self, dialog: int) -> int:
        """Waits for the overwrite question over the dialog; its X id."""
        return self.desktop.wait_for(
            lambda: next((w for w in self.dialogs() if w != dialog), None),
            describe=lambda: f"the overwrite question (windows titled {DIALOG}: {self.dialogs()})")

    def wait_closed(self, *windows: int) -> None:
        self.desktop.wait_for(lambda: not set(windows) & set(self.dialogs()),
                              describe=f"windows {windows} to close")

    def error_box(self, *gone: int) -> int:
        """Waits for the error box that comes once the dialog and the question are gone."""
        return self.desktop.wait_for(
            lambda: next((w for w in self.dialogs() if w not in gone), None)
            if not set(gone) & set(self.dialogs()) else None,
            describe=lambda: f"the error box (windows titled {DIALOG}: {self.dialogs()})")

    def save_expecting_error(self, shortcut: str, path: Path) -> int:
        """Saves over an existing `path`, agrees to overwrite it, and waits for the error
        box that says it could not be written; the box's X id."""
        dialog = self.open(shortcut)
        self.type_name(path)
        self.desktop.key("Return")
        question = self.question(dialog)
        self.desktop.key("alt+y")
        box = self.error_box(dialog, question)
        self.desktop.save_screenshot("error-box")
        return box

    def save(self, shortcut: str, path: Path | None, overwrite: bool = False) -> None:
        """One save to `path`, or to the name the dialog offers when None."""
        dialog = self.open(shortcut)
        if path is not None:
            self.type_name(path)
        self.desktop.key("Return")
        if overwrite:
            self.question(dialog)
            self.desktop.key("alt+y")
        self.wait_closed(dialog)

    def settle(self) -> None:
        """Returns once the command before has ended: the next one, Ctrl+C, has run."""
        self.desktop.key("ctrl+c")
        self.desktop.wait_for(lambda: is_white(self.main.viewport()),
                              describe="the view cleared after the command")


@pytest.fixture
def saver(desktop, app):
    return Saver(desktop, app)


def wait_file(desktop, path: Path, content=None) -> bytes:
    """The file's bytes once it exists (and holds `content`, when given). Files are
    moved into place whole, so one that exists is complete."""
    def ready():
        if not path.is_file():
            return None
        data = path.read_bytes()
        return data if content is None or data == content else None

    return desktop.wait_for(ready, describe=f"{path} to be written")


def decoded(data: bytes) -> Image.Image:
    return Image.open(io.BytesIO(data)).convert("RGB")


def test_bmp_before_any_capture_writes_the_start_up_jpeg_unchanged(desktop, saver, files):
    target = files / "start.bmp"
    saver.save("ctrl+b", target)
    assert wait_file(desktop, target) == STARTUP.read_bytes()


def test_escape_in_the_dialog_writes_nothing(desktop, app, saver, files, temp_folder):
    temporary = temp_folder / "ImageA.tmp"
    before = temporary.read_bytes() if temporary.exists() else None
    outer = desktop.window_geometry(app.window)
    for shortcut, name in (("ctrl+b", "no.bmp"), ("ctrl+g", "no.jpg")):
        dialog = saver.open(shortcut)
        box = desktop.window_geometry(dialog)
        # Centred over 主窗口.
        assert abs((box.x + box.right) - (outer.x + outer.right)) <= 2, (box, outer)
        assert abs((box.y + box.bottom) - (outer.y + outer.bottom)) <= 2, (box, outer)
        saver.type_name(files / name)
        desktop.key("Escape")
        saver.wait_closed(dialog)
        saver.settle()
    assert list(files.iterdir()) == []
    assert (temporary.read_bytes() if temporary.exists() else None) == before


def test_next_dialog_of_either_command_offers_the_path_confirmed_last(desktop, saver, files):
    startup = STARTUP.read_bytes()
    target = files / "first.bmp"
    saver.save("ctrl+b", target)
    wait_file(desktop, target)
    target.unlink()

    # Return at once: the JPG command saves under the name the BMP command confirmed.
    saver.save("ctrl+g", None)
    jpeg = wait_file(desktop, target)
    assert jpeg[:2] == b"\xff\xd8" and jpeg != startup
    assert decoded(jpeg).size == (596, 440)

    # And back: the BMP command offers it again; it exists now, so the dialog asks.
    saver.save("ctrl+b", None, overwrite=True)
    wait_file(desktop, target, startup)
    assert sorted(p.name for p in files.iterdir()) == ["first.bmp"]


def test_an_existing_file_is_replaced_only_after_the_overwrite_question(desktop, saver, files):
    target = files / "old.bmp"
    old = bytes(range(256)) * 1000  # longer than what replaces it
    target.write_bytes(old)
    dialog = saver.open("ctrl+b")
    saver.type_name(target)
    desktop.key("Return")
    question = saver.question(dialog)
    assert target.read_bytes() == old
    desktop.key("alt+n")  # back to the dialog
    saver.wait_closed(question)
    assert saver.dialogs() == [dialog]
    desktop.key("Return")
    saver.question(dialog)
    assert target.read_bytes() == old
    desktop.key("alt+y")
    saver.wait_closed(dialog)
    assert wait_file(desktop, target, STARTUP.read_bytes())


def files_open_in_processes(path: Path) -> bool:
    """Whether some process holds `path` open (Wine's server opens files for its
    clients, so the file shows among its descriptors)."""
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            for fd in os.listdir(f"/proc/{pid}/fd"):
                if os.readlink(f"/proc/{pid}/fd/{fd}") == str(path):
                    return True
        except OSError:
            continue
    return False


def test_a_bmp_save_over_a_file_in_use_shows_the_error_and_keeps_the_file(desktop, saver, files):
    target = files / "busy.bmp"
    old = b"in use by another program" * 10
    target.write_bytes(old)
    # Another Windows program holds the file open while it waits for a line of input.
    holder = subprocess.Popen(["wine", "cmd", "/c", f"set /p x= 2>>{windows_path(target)}"],
                              env=desktop.env, stdin=subprocess.PIPE,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        desktop.wait_for(lambda: files_open_in_processes(target),
                         describe=f"another program to open {target}")
        box = saver.save_expecting_error("ctrl+b", target)
        assert target.read_bytes() == old
        assert [p.name for p in files.iterdir()] == ["busy.bmp"], "a partial file stayed"
        desktop.key("Return")
        saver.wait_closed(box)
        saver.settle()
    finally:
        holder.communicate(b"\n", timeout=30)
    assert saver.app.running()


@pytest.fixture
def blocked_temporary(temp_folder):
    """A folder named "ImageA.tmp" where the JPG command writes its temporary file."""
    temporary = temp_folder / "ImageA.tmp"
    kept = temporary.read_bytes() if temporary.is_file() else None
    if temporary.is_file():
        temporary.unlink()
    temporary.mkdir(exist_ok=True)
    yield temporary
    shutil.rmtree(temporary, ignore_errors=True)
    if kept is not None:
        temporary.write_bytes(kept)


def test_a_jpg_save_whose_temporary_file_cannot_be_written_shows_the_error(
        desktop, saver, files, blocked_temporary):
    target = files / "keep.jpg"
    old = b"an older picture" * 10
    target.write_bytes(old)
    box = saver.save_expecting_error("ctrl+g", target)
    assert target.read_bytes() == old
    assert [p.name for p in files.iterdir()] == ["keep.jpg"]
    desktop.key("Return")
    saver.wait_closed(box)
    saver.settle()


def capture_full_screen(desktop, saver) -> None:
    """Ctrl+A, and wait until 主窗口 shows the snapshot: the desktop's colour where the
    start-up picture was."""
    startup_corner = saver.main.grab((9, 8, 60, 40))
    desktop.key("ctrl+a")
    desktop.wait_for(lambda: ImageChops.difference(saver.main.grab((9, 8, 60, 40)),
                                                   startup_corner).getbbox() is not None,
                     describe="主窗口 showing the snapshot")


def test_after_a_full_screen_capture_bmp_holds_the_snapshot_and_jpg_looks_the_same(
        desktop, app, saver, files, temp_folder):
    capture_full_screen(desktop, saver)
    bmp_path, jpg_path = files / "screen.bmp", files / "screen.jpg"
    saver.save("ctrl+b", bmp_path)
    bmp = wait_file(desktop, bmp_path)
    assert len(bmp) == BMP_SIZE
    assert bmp[:2] == b"BM" and struct.unpack_from("<I", bmp, 2)[0] == BMP_SIZE
    width, height, planes, bits = struct.unpack_from("<iiHH", bmp, 18)
    assert (width, height, planes, bits) == (*SCREEN_SIZE, 1, 24)

    # What the screen showed outside 主窗口 (and above Wine's bar of a minimised window,
    # which is in the snapshot at the bottom left) is in the picture pixel for pixel.
    picture = decoded(bmp)
    screen = desktop.screenshot()
    outer = desktop.window_geometry(app.window)
    for box in ((0, 0, SCREEN_SIZE[0], outer.y),
                (outer.right, 0, SCREEN_SIZE[0], SCREEN_SIZE[1] - 40)):
        assert ImageChops.difference(picture.crop(box), screen.crop(box)).getbbox() is None, box

    saver.save("ctrl+g", jpg_path)
    jpeg = wait_file(desktop, jpg_path)
    assert jpeg[:2] == b"\xff\xd8"
    as_jpeg = decoded(jpeg)
    assert as_jpeg.size == SCREEN_SIZE
    mean = ImageStat.Stat(ImageChops.difference(as_jpeg, picture)).mean
    assert max(mean) < 4, mean
    assert (temp_folder / "ImageA.tmp").read_bytes() == bmp
