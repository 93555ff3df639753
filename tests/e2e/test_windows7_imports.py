"""The program must still start on Windows 7 SP1: functions that later versions added are
looked up at run time, never imported, or the loader would refuse the .exe before main."""

from __future__ import annotations

import re
import shutil
import subprocess

import pytest

import harness

# Functions of Windows 8 and later that a DPI-aware or compositor-aware program reaches for.
LATER_THAN_WINDOWS_7 = {
    "GetDpiForWindow", "GetDpiForSystem", "GetDpiForMonitor", "AdjustWindowRectExForDpi",
    "GetSystemMetricsForDpi", "SystemParametersInfoForDpi", "SetThreadDpiAwarenessContext",
    "SetProcessDpiAwarenessContext", "SetProcessDpiAwareness", "GetProcessDpiAwareness",
    "EnableNonClientDpiScaling", "GetAwarenessFromDpiAwarenessContext",
    "GetWindowDpiAwarenessContext", "GetThreadDpiAwarenessContext", "DwmSetIconicThumbnail",
    "GetSystemTimePreciseAsFileTime", "SetDefaultDllDirectories", "CreateFile2",
}


def imports(exe) -> set[str]:
    tool = shutil.which("x86_64-w64-mingw32-objdump")
    if tool is None:
        pytest.fail("x86_64-w64-mingw32-objdump is not installed: run scripts/setup.sh")
    text = subprocess.run([tool, "-p", str(exe)], capture_output=True, text=True,
                          check=True).stdout
    # Rows of the import tables: hint/name-table address, hint, name.
    return set(re.findall(r"^\s+[0-9a-f]+\s+\d+\s+(\w+)\s*$", text, re.MULTILINE))


def test_no_function_newer_than_windows_7_is_imported():
    names = imports(harness.program_path())
    assert "ShowWindow" in names and "BitBlt" in names, "the import table was not read"
    assert names & LATER_THAN_WINDOWS_7 == set()
