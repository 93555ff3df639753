#include "save/save_commands.h"

#include "app/program.h"

namespace lsg {

// Saving comes next; until then its menu items do nothing.
void saveAsBmp(Program&) {}
void saveAsJpg(Program&) {}

}  // namespace lsg
