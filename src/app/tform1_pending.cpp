// Hooks of the subsystems whose main-window handlers are not written yet. Each
// subsystem deletes its definitions here when it adds its form1_<subsystem>.cpp.
#include "app/tform1.h"

namespace app {

void TForm1::connectOutputHandlers() {}
void TForm1::connectCommandHandlers() {}

// No document can be loaded before the document loading code exists, so there is
// nothing to offer for saving and nothing to release.
bool TForm1::FormCloseQuery() { return true; }
void TForm1::releaseDocument() {}

} // namespace app
