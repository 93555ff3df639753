#include "platform/win32/messages_win.h"

#include <windowsx.h>

namespace lsg::win {

namespace {

int keyState(WPARAM wParam) {
  int keys = 0;
  if (wParam & MK_CONTROL) keys |= kCtrlKey;
  if (wParam & MK_SHIFT) keys |= kShiftKey;
  if (GetKeyState(VK_MENU) < 0) keys |= kAltKey;
  return keys;
}

}  // namespace

int heldModifiers() {
  int keys = 0;
  if (GetKeyState(VK_CONTROL) < 0) keys |= kCtrlKey;
  if (GetKeyState(VK_SHIFT) < 0) keys |= kShiftKey;
  if (GetKeyState(VK_MENU) < 0) keys |= kAltKey;
  return keys;
}

MouseEvent mouseEvent(WPARAM wParam, LPARAM lParam) {
  return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), keyState(wParam)};
}

std::optional<ScrollAction> scrollAction(WORD code) {
  switch (code) {
    case SB_LINEUP:
      return ScrollAction::LineUp;
    case SB_LINEDOWN:
      return ScrollAction::LineDown;
    case SB_PAGEUP:
      return ScrollAction::PageUp;
    case SB_PAGEDOWN:
      return ScrollAction::PageDown;
    case SB_THUMBPOSITION:
      return ScrollAction::ThumbPosition;
    case SB_THUMBTRACK:
      return ScrollAction::ThumbTrack;
    case SB_TOP:
      return ScrollAction::Top;
    case SB_BOTTOM:
      return ScrollAction::Bottom;
    case SB_ENDSCROLL:
      return ScrollAction::EndScroll;
  }
  return std::nullopt;
}

SIZE clientSizeOf(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return {r.right, r.bottom};
}

}  // namespace lsg::win
