"""Where 主窗口's parts are on the screen, found from what it shows."""

from __future__ import annotations

from dataclasses import dataclass

from PIL import Image, ImageChops

from harness import ROOT, HarnessError, Session

STARTUP = ROOT / "resources" / "startup.jpg"
# Client coordinates of the picture view's parts.
CANVAS_AT = (9, 8)            # 画板1's top-left at start: 内背景 (8, 7) plus (1, 1)
VIEWPORT = (8, 7, 606, 448)   # 内背景's visible white area (right column under the scroll bar,
                              # bottom row not painted by its rectangle), exclusive ends
HSCROLL = (7, 449, 607, 467)
VSCROLL = (606, 7, 623, 450)
WHITE = (255, 255, 255)


def startup_picture() -> Image.Image:
    return Image.open(STARTUP).convert("RGB")


@dataclass
class MainWindow:
    session: Session
    window: int
    client: tuple[int, int]  # screen position of the client area's top-left

    def at(self, x: int, y: int) -> tuple[int, int]:
        """Screen position of a client point."""
        return self.client[0] + x, self.client[1] + y

    def grab(self, box: tuple[int, int, int, int], screen: Image.Image | None = None) -> Image.Image:
        """A client-area rectangle (left, top, right, bottom) of the screen as it is now."""
        screen = screen or self.session.screenshot()
        x, y = self.client
        return screen.crop((x + box[0], y + box[1], x + box[2], y + box[3]))

    def viewport(self, screen: Image.Image | None = None) -> Image.Image:
        return self.grab(VIEWPORT, screen)


def same(a: Image.Image, b: Image.Image) -> bool:
    return a.size == b.size and ImageChops.difference(a, b).getbbox() is None


def is_white(image: Image.Image) -> bool:
    return image.getextrema() == ((255, 255), (255, 255), (255, 255))


def locate(session: Session, window: int) -> MainWindow:
    """Finds the client area by where the start-up picture is drawn: it lies at a known
    client position, so matching it on the screen gives the client origin exactly."""
    picture = startup_picture()
    outer = session.window_geometry(window)
    samples = [(x, y) for x in (0, 150, 301, 449, 595) for y in (0, 111, 222, 439)]

    def search():
        screen = session.screenshot()
        for dy in range(0, 90):
            for dx in range(0, 20):
                ox, oy = outer.x + dx, outer.y + dy
                if all(screen.getpixel((ox + x, oy + y)) == picture.getpixel((x, y)) for x, y in samples):
                    return (ox - CANVAS_AT[0], oy - CANVAS_AT[1])
        return None

    client = session.wait_for(search, describe="the start-up picture inside 主窗口")
    if client is None:
        raise HarnessError("no start-up picture")
    return MainWindow(session, window, client)
