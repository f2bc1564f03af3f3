#pragma once
// Red waves under the unknown words of a document's text. It lives beside the
// QTextDocument and never touches the document's own formats: the marks are
// extra formats of the paragraphs' layouts, the way a syntax highlighter draws
// them. Paragraphs are checked from the event loop in short slices a moment
// after typing stops, and only those whose text changed since their last check.

#include "commands/speller.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <optional>

class QTextBlock;
class QTextDocument;

namespace commands {

class SpellHighlighter : public QObject {
    Q_OBJECT
public:
    // The highlighter of doc, made on first call; it dies with the document.
    static SpellHighlighter* attach(QTextDocument* doc, Speller& speller);
    static SpellHighlighter* of(QTextDocument* doc);

    // Paragraphs changed since their last check, waiting for the next slice.
    int pendingParagraphs() const;
    // Paragraphs checked so far (each check of one paragraph counts).
    int checkedParagraphs() const { return m_checked; }
    // The unknown word covering position pos, if any, as last checked.
    std::optional<WordSpan> misspeltAt(int pos) const;
    // The unknown words of the paragraph holding pos, as last checked.
    QList<WordSpan> misspeltIn(int blockPosition) const;

    // Every paragraph is checked again (the dictionary changed).
    void recheckAll();
    // Runs the pending checks now, all of them (for a test or a screenshot).
    void checkNow();

    static constexpr int kDelayMs = 300;     // quiet time after an edit before checking
    static constexpr int kSliceMs = 8;       // longest stretch of checking in one go

private:
    SpellHighlighter(QTextDocument* doc, Speller& speller);
    void onContentsChange(int pos, int removed, int added);
    void slice(int budgetMs);
    void checkBlock(const QTextBlock& block);

    QTextDocument* m_doc;
    Speller& m_speller;
    QTimer m_timer;
    int m_checked = 0;
};

} // namespace commands
