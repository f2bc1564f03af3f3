#pragma once
// The clipboard as the engine uses it: a fragment in a private MIME type
// (text, look, preserved XML, bookmarks) plus text/plain and text/html for
// other programs. Without a GUI application (the command-line tool) a
// process-wide store stands in for the system clipboard.

#include "word/model/fragment.h"

namespace word::model {

inline constexpr const char* kFragmentMime = "application/x-quillora-fragment";

void putOnClipboard(const Fragment& f);
// What Paste inserts: our own fragment when present, else plain text in fmt.
// Empty when the clipboard holds nothing usable.
Fragment takeFromClipboard(const QTextCharFormat& fmt);

} // namespace word::model
