#include "listcmd/list_commands.h"

namespace listcmd {

void deduplicateList() {}
void saveList() {}
void importList() {}
void exportList() {}

}  // namespace listcmd
