#pragma once

#include "picture/picture.h"
#include "ui/application.h"
#include "ui/definition.h"

namespace lsg {

struct Program;

inline constexpr const char* kMainWindowTitle = "蓝杉果高级屏幕截图软件";

FormDefinition mainWindowDefinition(Program& program, Picture startupPicture);

void minimizeMainWindow(Application& app);
void restoreMainWindow(Application& app);

}  // namespace lsg
