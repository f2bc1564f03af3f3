#include "commands/spellhighlighter.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace commands {

namespace {

// What a paragraph's layout remembers of its last check.
class CheckedRevision : public QTextBlockUserData {
public:
    explicit CheckedRevision(int r) : revision(r) {}
    int revision;
};

constexpr int kMarkProperty = QTextFormat::UserProperty + 0x5e11;

QTextCharFormat waveFormat()
{
    QTextCharFormat f;
    f.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    f.setUnderlineColor(QColor(220, 0, 0));
    f.setProperty(kMarkProperty, true);
    return f;
}

bool isChecked(const QTextBlock& b)
{
    const auto* data = static_cast<const CheckedRevision*>(b.userData());
    return data && data->revision == b.revision();
}

QList<QTextLayout::FormatRange> marksOf(const QTextBlock& b)
{
    QList<QTextLayout::FormatRange> out;
    if (!b.layout())
        return out;
    for (const QTextLayout::FormatRange& r : b.layout()->formats()) {
        if (r.format.boolProperty(kMarkProperty))
            out.append(r);
    }
    return out;
}

} // namespace

SpellHighlighter* SpellHighlighter::of(QTextDocument* doc)
{
    return doc ? doc->findChild<SpellHighlighter*>(QStringLiteral("SpellHighlighter"), Qt::FindDirectChildrenOnly)
               : nullptr;
}

SpellHighlighter* SpellHighlighter::attach(QTextDocument* doc, Speller& speller)
{
    if (SpellHighlighter* h = of(doc))
        return h;
    return new SpellHighlighter(doc, speller);
}

SpellHighlighter::SpellHighlighter(QTextDocument* doc, Speller& speller)
    : QObject(doc), m_doc(doc), m_speller(speller)
{
    setObjectName(QStringLiteral("SpellHighlighter"));
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { slice(kSliceMs); });
    connect(doc, &QTextDocument::contentsChange, this, &SpellHighlighter::onContentsChange);
    m_timer.start(kDelayMs);
}

// While the user types, the marks of the edited paragraph move with its text
// (or go, where the edit touches them) until the paragraph is checked again.
void SpellHighlighter::onContentsChange(int pos, int removed, int added)
{
    const QTextBlock first = m_doc->findBlock(pos);
    const QTextBlock last = m_doc->findBlock(pos + added);
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        QList<QTextLayout::FormatRange> marks = marksOf(b);
        if (!marks.isEmpty()) {
            QList<QTextLayout::FormatRange> kept;
            const int at = pos - b.position();
            for (QTextLayout::FormatRange r : marks) {
                if (first == last && r.start + r.length <= at) {
                    kept.append(r);
                } else if (first == last && r.start >= at + removed) {
                    r.start += added - removed;
                    kept.append(r);
                }
            }
            b.layout()->setFormats(kept);
        }
        if (b == last)
            break;
    }
    m_timer.start(kDelayMs);
}

int SpellHighlighter::pendingParagraphs() const
{
    int n = 0;
    for (QTextBlock b = m_doc->begin(); b.isValid(); b = b.next())
        n += isChecked(b) ? 0 : 1;
    return n;
}

void SpellHighlighter::checkBlock(const QTextBlock& block)
{
    const QString text = block.text();
    QList<QTextLayout::FormatRange> marks;
    for (const WordSpan& w : checkableWords(text)) {
        const QString word = text.mid(w.start, w.length);
        if (m_speller.isCorrect(word))
            continue;
        const int after = w.start + w.length;
        if (after < text.size() && text.at(after) == u'.' && m_speller.isCorrect(word + u'.'))
            continue;
        marks.append({w.start, w.length, waveFormat()});
    }
    block.layout()->setFormats(marks);
    const_cast<QTextBlock&>(block).setUserData(new CheckedRevision(block.revision()));
    ++m_checked;
    // Outside any edit block this only redraws the paragraph: no change of
    // the contents is reported, so the document stays saved and undo untouched.
    m_doc->markContentsDirty(block.position(), block.length());
}

void SpellHighlighter::slice(int budgetMs)
{
    QElapsedTimer clock;
    clock.start();
    for (QTextBlock b = m_doc->begin(); b.isValid(); b = b.next()) {
        if (isChecked(b))
            continue;
        if (budgetMs >= 0 && clock.elapsed() >= budgetMs) {
            m_timer.start(0);   // the rest in the next slice, after pending input
            return;
        }
        checkBlock(b);
    }
}

void SpellHighlighter::checkNow() { slice(-1); }

void SpellHighlighter::recheckAll()
{
    for (QTextBlock b = m_doc->begin(); b.isValid(); b = b.next())
        b.setUserData(nullptr);
    m_timer.start(0);
}

std::optional<WordSpan> SpellHighlighter::misspeltAt(int pos) const
{
    const QTextBlock b = m_doc->findBlock(pos);
    if (!b.isValid())
        return std::nullopt;
    const int at = pos - b.position();
    for (const WordSpan& w : misspeltIn(pos)) {
        if (at >= w.start && at <= w.start + w.length)
            return WordSpan{b.position() + w.start, w.length};
    }
    return std::nullopt;
}

QList<WordSpan> SpellHighlighter::misspeltIn(int position) const
{
    QList<WordSpan> out;
    for (const QTextLayout::FormatRange& r : marksOf(m_doc->findBlock(position)))
        out.append({r.start, r.length});
    return out;
}

} // namespace commands
