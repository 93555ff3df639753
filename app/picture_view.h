#pragma once

#include "ui/application.h"

namespace lsg {

// Sizes 画板1 to its picture at the view's top-left and sets up the scroll bars.
void fitCanvasToPicture(Application& app);
void scrollViewHorizontally(Application& app);
void scrollViewVertically(Application& app);
void clearView(Application& app);

}  // namespace lsg
