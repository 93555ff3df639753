#pragma once

#include "ui/application.h"

namespace lsg {

// Sizes 画板1 to its picture at the view's top-left and sets up the scroll bars.
void fitCanvasToPicture(Application& app);
// The viewport took another size (a new DPI): a fitted or scrolled picture is fitted again,
// so that its scroll ranges match; a cleared view stays cleared.
void viewportResized(Application& app);
void scrollViewHorizontally(Application& app);
void scrollViewVertically(Application& app);
void clearView(Application& app);

}  // namespace lsg
