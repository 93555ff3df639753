#include "capture/capture_commands.h"

#include "app/program.h"

namespace lsg {

// The capture modes come next; until then their menu items do nothing.
void fullScreenCapture(Program&) {}
void startWindowCapture(Program&) {}
void startRegionCapture(Program&) {}

FormDefinition snapshotWindowDefinition(Program&) { return {.name = "快照窗口"}; }
FormDefinition regionWindowDefinition(Program&) { return {.name = "区域窗口"}; }

}  // namespace lsg
