#pragma once
// The central error report: an error that no handler took care of is shown here,
// in a critical message box captioned "Quillora", and the program goes on.

#include <QString>
#include <functional>

namespace app {

void reportError(const QString& text);

// Replaces the message box, e.g. to collect reports in a test; an empty function
// restores the box.
void setErrorPresenter(std::function<void(const QString&)> presenter);

} // namespace app
