#include "app/shared_state.h"

namespace lsg {

void initSharedState(SharedState& state) {
  state.pickRect = {0, 0, 0, 0};
  state.dragAnchor = {0, 0};
}

void releaseSharedState(SharedState& state) {
  state.frozenScreen.reset();
  state.pickRect = {};
  state.dragAnchor = {};
  ++state.releases;
}

}  // namespace lsg
