#pragma once
// quillora-cli bookmarks FILE: one line per bookmark in document order,
// hidden ones included: the name, a TAB, and the bookmark's text with
// backslash, TAB and line breaks (paragraph marks too) escaped as \\, \t
// and \n, so every bookmark is exactly one line.

#include <QStringList>
#include <QTextStream>

namespace cli {

QString escapeBookmarkText(const QString& text);
int bookmarksCommand(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace cli
