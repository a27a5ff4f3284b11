#include "collect/collection_run.h"

namespace collect {

void startCollection() {}
void stopCollection() {}

}  // namespace collect
