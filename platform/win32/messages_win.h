#pragma once

#include <windows.h>

#include <optional>

#include "ui/definition.h"
#include "ui/scroll_model.h"

namespace lsg::win {

// Posted by Form::destroy: a window cannot be destroyed inside its own handler, whose code
// and controls are still in use, so the destruction waits for the queue.
constexpr UINT kDestroyMessage = WM_APP + 1;

// The modifier keys held now, as the layer's key state (Ctrl, Shift, Alt).
int heldModifiers();

// A mouse message's position in client coordinates and its key state.
MouseEvent mouseEvent(WPARAM wParam, LPARAM lParam);

// The layer's scroll action for a WM_HSCROLL / WM_VSCROLL code; none for codes it ignores.
std::optional<ScrollAction> scrollAction(WORD code);

SIZE clientSizeOf(HWND window);

}  // namespace lsg::win
