// Hooks of the subsystems whose main-window handlers are not written yet. Each
// subsystem deletes its definitions here when it adds its form1_<subsystem>.cpp.
#include "app/tform1.h"

namespace app {

void TForm1::connectOutputHandlers() {}
// Saving the finished document; until the output code brings it, nothing is saved.
void TForm1::Button4Click(QObject*) {}
void TForm1::connectCommandHandlers() {}

// The close query and the release of the document come with the closing code;
// until then the window closes without offering to save.
bool TForm1::FormCloseQuery() { return true; }
void TForm1::releaseDocument() {}

} // namespace app
