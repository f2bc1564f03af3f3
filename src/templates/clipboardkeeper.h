#pragma once
// Holds the user's clipboard content aside while the open operation uses the
// clipboard to move party blocks, and gives it back afterwards: every format
// of it, the private ones of other programs included.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

class QClipboard;

namespace templates {

class ClipboardKeeper {
public:
    explicit ClipboardKeeper(QClipboard* clipboard);

    // Copies every format of the current content. The clipboard's own data
    // object is never kept: the next content set on the clipboard deletes it.
    void setAside();
    // Empties the clipboard, then puts the content set aside back (nothing
    // when it was empty) and forgets it.
    void giveBack();

    bool holdsContent() const { return !m_formats.isEmpty(); }

private:
    QClipboard* m_clipboard;
    QList<QPair<QString, QByteArray>> m_formats;
};

} // namespace templates
