#pragma once

#include <windows.h>

#include <memory>

#include "capture/screen.h"
#include "save/save_commands.h"

namespace lsg::win {

std::unique_ptr<Screen> makeScreen();
std::unique_ptr<SavePlatform> makeSavePlatform();

}  // namespace lsg::win
