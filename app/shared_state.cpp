#include "app/shared_state.h"

namespace app {

SharedState& sharedState() {
  // Deliberately never deleted: threads still running at shutdown may read it.
  static SharedState* const state = new SharedState;
  return *state;
}

}  // namespace app
