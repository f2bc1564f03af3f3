// Hooks of the subsystems whose main-window handlers are not written yet. Each
// subsystem deletes its definitions here when it adds its form1_<subsystem>.cpp.
#include "app/tform1.h"

namespace app {

void TForm1::connectCommandHandlers() {}

} // namespace app
