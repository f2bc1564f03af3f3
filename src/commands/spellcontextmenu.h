#pragma once
// The page's context menu over an underlined word: the checker's suggestions
// and "Felvétel a szótárba" above the page's own cut, copy and paste. It
// watches the page view's viewport from outside, so the view itself needs
// nothing but its public text item; elsewhere the page's own menu comes up.

#include <QObject>
#include <QPointer>

class QMenu;

namespace word { class Document; }
namespace word::view { class PageView; }

namespace commands {

class Speller;

class SpellContextMenu : public QObject {
    Q_OBJECT
public:
    // Watches view (made once per view; it dies with the view).
    static SpellContextMenu* attach(word::view::PageView* view, word::Document* doc, Speller& speller);

    // The menu for document position pos, or null when no underlined word is
    // there. The caller owns it. Exposed for a test, which cannot open a real
    // context menu without a display.
    QMenu* menuAt(int pos);
    // The document position under a point of the view's viewport, or -1.
    int positionAt(const QPoint& viewportPoint) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    SpellContextMenu(word::view::PageView* view, word::Document* doc, Speller& speller);
    void replaceWord(int start, int length, const QString& with);

    QPointer<word::view::PageView> m_view;
    QPointer<word::Document> m_doc;
    Speller& m_speller;
};

} // namespace commands
