"""The built program's own header: what the loader hardens, and which DLLs it imports.
Needs only the .exe; no screen and no Wine."""

from __future__ import annotations

import struct
from pathlib import Path

import pytest

import harness

DYNAMIC_BASE = 0x0040
NX_COMPAT = 0x0100
HIGH_ENTROPY_VA = 0x0020
RELOCS_STRIPPED = 0x0001  # in the file header's characteristics
IMPORT, BASE_RELOCATION, DELAY_IMPORT = 1, 5, 13  # data directory entries

# DLLs that come with every Windows the program runs on and that the loader takes from the
# system folder whatever lies beside the .exe: the known DLLs, and comctl32 through the
# manifest. Anything else (a C++ runtime, a JPEG library, and even Windows' own dwmapi or
# uxtheme) is searched for beside the .exe first, before the program can restrict the
# search, so a planted copy would load; the program looks those up by full path instead.
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "comdlg32.dll", "comctl32.dll",
    "shell32.dll", "advapi32.dll", "ole32.dll", "msvcrt.dll",
}


class Pe:
    """The parts of a 64-bit PE image that the checks read."""

    def __init__(self, data: bytes):
        self.data = data
        assert data[:2] == b"MZ", "no DOS header"
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        assert data[pe:pe + 4] == b"PE\0\0", "no PE signature"
        (self.machine, sections, _, _, _, optional_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        assert struct.unpack_from("<H", data, optional)[0] == 0x20B, "not PE32+"
        self.dll_characteristics = struct.unpack_from("<H", data, optional + 70)[0]
        count = struct.unpack_from("<I", data, optional + 108)[0]
        self.directories = [struct.unpack_from("<II", data, optional + 112 + 8 * i)
                            for i in range(count)]
        table = optional + optional_size
        self.sections = [struct.unpack_from("<IIII", data, table + 40 * i + 8)
                         for i in range(sections)]  # virtual size, address, raw size, raw offset

    def offset(self, rva: int) -> int:
        for size, address, raw_size, raw in self.sections:
            if address <= rva < address + max(size, raw_size):
                return raw + rva - address
        raise AssertionError(f"RVA {rva:#x} lies in no section")

    def directory(self, index: int) -> tuple[int, int]:
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def string(self, rva: int) -> str:
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imports(self, index: int = IMPORT, entry: int = 20, name_at: int = 12) -> list[str]:
        """DLL names of the import (or delay-import) descriptors, up to the empty one."""
        rva, size = self.directory(index)
        names = []
        if not rva:
            return names
        at = self.offset(rva)
        while True:
            descriptor = self.data[at:at + entry]
            if descriptor == bytes(entry):
                return names
            names.append(self.string(struct.unpack_from("<I", descriptor, name_at)[0]))
            at += entry


@pytest.fixture(scope="module")
def program() -> Pe:
    exe = harness.program_path()
    if not exe.is_file():
        pytest.fail(f"{exe} is not built: cmake --build --preset windows")
    return Pe(Path(exe).read_bytes())


def test_the_loader_randomises_its_place_and_never_runs_its_data(program):
    flags = program.dll_characteristics
    for name, bit in (("DYNAMIC_BASE", DYNAMIC_BASE), ("NX_COMPAT", NX_COMPAT),
                      ("HIGH_ENTROPY_VA", HIGH_ENTROPY_VA)):
        assert flags & bit, f"{name} is off ({flags:#06x})"
    # Without its relocations the image could not move, whatever the flag says.
    assert not program.characteristics & RELOCS_STRIPPED
    assert program.directory(BASE_RELOCATION)[1] > 0, "no base relocations"


def test_it_imports_only_dlls_of_windows_itself(program):
    imported = [name.lower() for name in program.imports()]
    delayed = [name.lower() for name in program.imports(DELAY_IMPORT, entry=32, name_at=4)]
    assert "kernel32.dll" in imported, imported  # the table was really read
    assert set(imported + delayed) <= SYSTEM_DLLS, sorted(set(imported + delayed) - SYSTEM_DLLS)
