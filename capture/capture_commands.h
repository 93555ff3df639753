#pragma once

#include "ui/definition.h"

namespace lsg {

struct Program;

void fullScreenCapture(Program& program);
void startWindowCapture(Program& program);
void startRegionCapture(Program& program);

FormDefinition snapshotWindowDefinition(Program& program);
FormDefinition regionWindowDefinition(Program& program);

}  // namespace lsg
