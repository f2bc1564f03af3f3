#include "commands/documentsearch.h"

#include "word/document.h"
#include "word/error.h"
#include "word/model/docmodel.h"

namespace commands {

namespace {

// The codes the engine knows in a find text and in a replacement text.
void checkCodes(const QString& text, const QString& known, const QString& what)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != u'^')
            continue;
        const QChar code = text.at(++i);
        if (known.contains(code))
            continue;
        QStringList codes;
        for (const QChar k : known)
            codes << QStringLiteral("^") + k;
        throw word::Error(QStringLiteral("%1 ismeretlen különleges kód szerepel: „^%2”. Ismert kódok: %3.")
                              .arg(what, code, codes.join(QStringLiteral(", "))));
    }
}

} // namespace

void DocumentSearch::validate(const SearchOptions& o, bool withReplacement)
{
    if (o.text.isEmpty())
        throw word::Error(QStringLiteral("Adja meg a keresendő szöveget."));
    checkCodes(o.text, QStringLiteral("ptlmb^"), QStringLiteral("A keresett szövegben"));
    if (withReplacement)
        checkCodes(o.replacement, QStringLiteral("ptlm&^"), QStringLiteral("A csereszövegben"));
}

void DocumentSearch::apply(const SearchOptions& o)
{
    word::Find f = m_doc.Content().Find();
    f.setText(o.text);
    f.Replacement().setText(o.replacement);
    f.setForward(true);
    f.setWrap(0);
    f.setMatchCase(o.matchCase);
    f.setMatchWholeWord(o.wholeWords);
}

bool DocumentSearch::findNext(const SearchOptions& o, const WrapQuestion& askWrap)
{
    validate(o, false);
    apply(o);
    word::Selection& sel = m_doc.ActiveWindow().Selection();
    const int from = sel.End();
    const int last = m_doc.model().endPosition();
    word::Range after = m_doc.Range(from, last);
    if (from < last && after.Find().Execute()) {
        after.Select();
        return true;
    }
    if (from == 0 || !askWrap || !askWrap())
        return false;
    word::Range before = m_doc.Range(0, std::min(last, from));
    if (!before.Find().Execute())
        return false;
    before.Select();
    return true;
}

bool DocumentSearch::selectionIsMatch(const SearchOptions& o)
{
    word::Selection& sel = m_doc.ActiveWindow().Selection();
    if (sel.Start() == sel.End())
        return false;
    word::Range r = sel.Range();
    return r.Find().Execute() && r.Start() == sel.Start() && r.End() == sel.End();
}

bool DocumentSearch::replaceCurrent(const SearchOptions& o, const WrapQuestion& askWrap, bool* foundNext)
{
    validate(o, true);
    apply(o);
    bool replaced = false;
    if (selectionIsMatch(o)) {
        word::Selection& sel = m_doc.ActiveWindow().Selection();
        word::Range r = sel.Range();
        replaced = r.Find().Execute(1);
        // The selection follows the new text; the search goes on after it.
        sel.SetRange(r.End(), r.End());
    }
    const bool next = findNext(o, askWrap);
    if (foundNext)
        *foundNext = next;
    return replaced;
}

int DocumentSearch::count(const SearchOptions& o)
{
    validate(o, false);
    apply(o);
    const int last = m_doc.model().endPosition();
    int n = 0;
    word::Range r = m_doc.Range(0, last);
    while (r.Start() < last && r.Find().Execute()) {
        ++n;
        // An empty hit cannot happen (a find text is never empty); step on.
        r.SetRange(std::max(r.End(), r.Start() + 1), last);
    }
    return n;
}

int DocumentSearch::replaceAll(const SearchOptions& o)
{
    validate(o, true);
    const int n = count(o);
    if (n == 0)
        return 0;
    word::Range all = m_doc.Content();
    all.Find().Execute(2);
    return n;
}

} // namespace commands
