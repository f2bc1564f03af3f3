#include "word/range.h"

#include "word/document.h"
#include "word/error.h"
#include "word/model/docmodel.h"
#include "word/model/formatprops.h"
#include "word/model/textaccess.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace word {

namespace {

namespace prop = model::prop;

// One unit of a search pattern: a character (compared without regard to
// case) or one of Word's special marks.
struct Token {
    enum Kind { Char, Paragraph, Tab, LineBreak, PageBreak, SectionBreak } kind;
    QChar c;
};

std::vector<Token> parsePattern(const QString& text, bool matchCase = false)
{
    std::vector<Token> out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'^' || i + 1 >= text.size()) {
            out.push_back({Token::Char, matchCase ? c : c.toCaseFolded()});
            continue;
        }
        const QChar code = text.at(++i);
        switch (code.unicode()) {
        case 'p': out.push_back({Token::Paragraph, {}}); break;
        case 't': out.push_back({Token::Tab, {}}); break;
        case 'l': out.push_back({Token::LineBreak, {}}); break;
        case 'm': out.push_back({Token::PageBreak, {}}); break;
        case 'b': out.push_back({Token::SectionBreak, {}}); break;
        case '^': out.push_back({Token::Char, u'^'}); break;
        default:
            throw Error(QStringLiteral("A keresett szövegben ismeretlen különleges kód szerepel: „^%1”.").arg(code));
        }
    }
    return out;
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c.category() == QChar::Mark_NonSpacing;
}

class Matcher {
public:
    Matcher(Document* doc, const Document::FindState& st)
        : m_doc(doc), m_tokens(parsePattern(st.text, st.matchCase)), m_text(doc->textDocument()->toRawText()),
          m_matchCase(st.matchCase), m_wholeWord(st.matchWholeWord) {}

    // Length of a match at pos, or -1. A whole-word match has no word
    // character right before or after it.
    int matchAt(int pos) const
    {
        const int len = rawMatchAt(pos);
        if (len <= 0 || !m_wholeWord)
            return len;
        if (pos > 0 && isWordChar(m_text.at(pos - 1)) && isWordChar(m_text.at(pos)))
            return -1;
        const int after = pos + len;
        if (after < m_text.size() && isWordChar(m_text.at(after)) && isWordChar(m_text.at(after - 1)))
            return -1;
        return len;
    }
    int size() const { return int(m_text.size()); }

private:
    int rawMatchAt(int pos) const
    {
        int p = pos;
        for (const Token& t : m_tokens) {
            if (p >= m_text.size())
                return -1;
            const QChar c = m_text.at(p);
            bool ok = false;
            switch (t.kind) {
            case Token::Char: ok = (m_matchCase ? c : c.toCaseFolded()) == t.c; break;
            case Token::Paragraph: ok = c == QChar::ParagraphSeparator; break;
            case Token::Tab: ok = c == u'\t'; break;
            case Token::LineBreak: ok = c == QChar::LineSeparator; break;
            case Token::PageBreak: ok = c == QChar::ObjectReplacementCharacter && kindAt(p) == prop::KindPageBreak; break;
            case Token::SectionBreak: ok = sectionMarkAt(p); break;
            }
            if (!ok)
                return -1;
            ++p;
        }
        return p - pos;
    }
    int kindAt(int pos) const
    {
        model::DocModel::QuietCursors quiet(m_doc->model());
        QTextCursor c(m_doc->textDocument());
        c.setPosition(pos + 1);
        return c.charFormat().intProperty(prop::CharKind);
    }
    bool sectionMarkAt(int pos) const
    {
        const QTextBlock b = m_doc->textDocument()->findBlock(pos);
        return b.isValid() && b.position() + b.length() - 1 == pos
               && !b.blockFormat().stringProperty(prop::SectPrXml).isEmpty();
    }
    Document* m_doc;
    std::vector<Token> m_tokens;
    QString m_text;
    bool m_matchCase;
    bool m_wholeWord;
};

struct Hit {
    int pos;
    int len;
};

// Word's replacement codes: ^p paragraph, ^t tab, ^l line break, ^m page
// break, ^& the found text, ^^ a caret.
QString replacementText(const QString& r, const QString& found, bool* pageBreak)
{
    QString out;
    for (qsizetype i = 0; i < r.size(); ++i) {
        if (r.at(i) != u'^' || i + 1 >= r.size()) {
            out += r.at(i);
            continue;
        }
        switch (r.at(++i).unicode()) {
        case 'p': out += u'\r'; break;
        case 't': out += u'\t'; break;
        case 'l': out += u'\v'; break;
        case 'm': out += QChar::ObjectReplacementCharacter; *pageBreak = true; break;
        case '&': out += found; break;
        case '^': out += u'^'; break;
        default:
            throw Error(QStringLiteral("A csereszövegben ismeretlen különleges kód szerepel: „^%1”.").arg(r.at(i)));
        }
    }
    return out;
}

} // namespace

Find::Find(Document* doc, int start, int end, bool ofSelection, std::function<void(int, int)> moved)
    : m_doc(doc), m_start(start), m_end(end), m_ofSelection(ofSelection), m_moved(std::move(moved))
{
}

bool Find::MatchCase() const { return m_doc->findState().matchCase; }
void Find::setMatchCase(bool on) { m_doc->findState().matchCase = on; }
bool Find::MatchWholeWord() const { return m_doc->findState().matchWholeWord; }
void Find::setMatchWholeWord(bool on) { m_doc->findState().matchWholeWord = on; }

// The searched selection or range becomes the hit.
void Find::found(int start, int end)
{
    if (m_ofSelection)
        m_doc->ActiveWindow().Selection().SetRange(start, end);
    if (m_moved)
        m_moved(start, end);
}

QString Find::Text() const { return m_doc->findState().text; }
void Find::setText(const QString& t) { m_doc->findState().text = t; }
word::Replacement& Find::Replacement() { return m_doc->findState().replacement; }
bool Find::Forward() const { return m_doc->findState().forward; }
void Find::setForward(bool f) { m_doc->findState().forward = f; }
int Find::Wrap() const { return m_doc->findState().wrap; }

void Find::setWrap(int w)
{
    if (w < 0 || w > 2)
        throw Error(QStringLiteral("Érvénytelen Wrap érték: %1 (0, 1 vagy 2 lehet).").arg(w));
    m_doc->findState().wrap = w;
}

bool Find::Execute(int replace)
{
    const Document::FindState& st = m_doc->findState();
    if (st.text.isEmpty())
        throw Error(QStringLiteral("A kereséshez nincs megadva keresendő szöveg."));
    if (replace < 0 || replace > 2)
        throw Error(QStringLiteral("Érvénytelen Replace érték: %1 (0, 1 vagy 2 lehet).").arg(replace));
    const Matcher m(m_doc, st);
    const int last = m_doc->model().endPosition();
    // A span searches itself; an insertion point searches on to the end (or
    // back to the start), and from the other end too when Wrap says so.
    std::vector<std::pair<int, int>> spans;
    if (m_start < m_end)
        spans.push_back({m_start, m_end});
    else if (st.forward)
        spans = {{m_start, last}, {0, m_start}};
    else
        spans = {{0, m_start}, {m_start, last}};
    if (m_start == m_end && st.wrap != 1)
        spans.resize(1);
    std::vector<Hit> hits;
    for (const auto& [lo, hi] : spans) {
        std::vector<Hit> here;
        for (int p = lo; p < hi && p < m.size();) {
            const int len = m.matchAt(p);
            if (len > 0 && p + len <= hi) {
                here.push_back({p, len});
                p += len;
            } else {
                ++p;
            }
        }
        if (!st.forward && replace != 2)
            std::reverse(here.begin(), here.end());
        hits.insert(hits.end(), here.begin(), here.end());
        if (!hits.empty() && replace != 2)
            break;
    }
    if (hits.empty())
        return false;
    if (replace == 0) {
        found(hits.front().pos, hits.front().pos + hits.front().len);
        return true;
    }
    if (replace == 1)
        hits.resize(1);
    model::DocModel& dm = m_doc->model();
    model::DocModel::EditScope scope(dm);
    int lastStart = 0, lastEnd = 0;
    // From the end backwards, so earlier hits keep their positions.
    std::sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) { return a.pos > b.pos; });
    for (const Hit& h : hits) {
        lastStart = h.pos;
        lastEnd = replaceHit(h.pos, h.len);
    }
    if (replace == 1)
        found(lastStart, lastEnd);
    return true;
}

int Find::replaceHit(int pos, int len)
{
    model::DocModel& dm = m_doc->model();
    QTextDocument* doc = m_doc->textDocument();
    int keep = 0;   // a section break's paragraph mark stays: only its section properties go
    const QTextBlock b = doc->findBlock(pos + len - 1);
    if (b.isValid() && b.position() + b.length() - 1 == pos + len - 1
        && !b.blockFormat().stringProperty(prop::SectPrXml).isEmpty() && parsePattern(m_doc->findState().text).back().kind == Token::SectionBreak) {
        dm.setBlockProperty(b.position(), b.position(), prop::SectPrXml, QVariant());
        keep = 1;
    }
    const QString found = model::wordText(dm, pos, pos + len - keep);
    bool pageBreak = false;
    const QString text = replacementText(m_doc->findState().replacement.Text(), found, &pageBreak);
    if (text.isEmpty() && keep == len)
        return pos;
    const int end = dm.replaceText(pos, pos + len - keep, text);
    if (pageBreak) {
        QTextCharFormat f;
        f.setProperty(prop::CharXml, QStringLiteral("<%1br %1type=\"page\"/>").arg(dm.preserved().wPrefix));
        f.setProperty(prop::CharKind, int(prop::KindPageBreak));
        const QString raw = doc->toRawText();
        for (int p = pos; p < end; ++p)
            if (raw.at(p) == QChar::ObjectReplacementCharacter)
                dm.mergeCharFormat(p, p + 1, f);
    }
    return end;
}

} // namespace word
