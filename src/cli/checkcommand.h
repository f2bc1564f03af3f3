#pragma once
// quillora-cli check: the spelling check without a window. The file is opened
// the way fill opens it (a template with its party counts and legal persons),
// then checked by the same checker and walk as the spelling dialog: one line
// per misspelt word, in document order, each word once: the word, a tab, and
// up to five suggestions separated by ", ". A word repeated right after
// itself is a line too: "a a", a tab, and the one word it becomes.

#include <QStringList>
#include <QTextStream>

namespace cli {

// Exit status of check: 0 no misspelt word, 1 some, 2 bad input (command
// line, unreadable file, missing dictionary).
inline constexpr int kCheckClean = 0;
inline constexpr int kCheckFound = 1;
inline constexpr int kCheckBadInput = 2;

int checkCommand(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace cli
