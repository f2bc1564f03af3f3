#include "word/range.h"

#include "word/document.h"
#include "word/error.h"
#include "word/model/docmodel.h"
#include "word/model/textaccess.h"

#include <QTextCursor>
#include <QTextDocument>
#include <cmath>

namespace word {

namespace {

constexpr int kMixed = 9999999;

// The look of [start, end); a collapsed span reports the insertion point's look.
template <typename Read>
auto commonValue(Document* doc, int start, int end, Read read, decltype(read(QTextCharFormat())) mixed)
{
    model::DocModel::QuietCursors quiet(doc->model());
    if (start == end) {
        QTextCursor c(doc->textDocument());
        c.setPosition(start);
        return read(c.charFormat());
    }
    bool first = true;
    decltype(read(QTextCharFormat())) value{};
    bool same = true;
    model::forEachRun(doc->model(), start, end, [&](const QTextCharFormat& f, int) {
        const auto v = read(f);
        if (first)
            value = v;
        else if (!(v == value))
            same = false;
        first = false;
    });
    if (first) {
        QTextCursor c(doc->textDocument());
        c.setPosition(start);
        return read(c.charFormat());
    }
    return same ? value : mixed;
}

float pointSize(Document* doc, const QTextCharFormat& f)
{
    const double s = f.fontPointSize();
    return float(s > 0 ? s : doc->textDocument()->defaultFont().pointSizeF());
}

} // namespace

Font::Font(Document* doc, int start, int end) : m_doc(doc), m_start(start), m_end(end) {}

float Font::Size() const
{
    return commonValue(m_doc, m_start, m_end, [this](const QTextCharFormat& f) { return pointSize(m_doc, f); },
                       float(kMixed));
}

void Font::setSize(float points)
{
    if (!(points >= 1 && points <= 1638))
        throw Error(QStringLiteral("Érvénytelen betűméret: %1 pont (1 és 1638 között lehet).").arg(points));
    if (m_start == m_end)
        return;
    QTextCharFormat f;
    f.setFontPointSize(std::round(points * 2) / 2.0);   // Word keeps sizes in half points
    m_doc->model().mergeCharFormat(m_start, m_end, f);
}

int Font::Bold() const
{
    return commonValue(m_doc, m_start, m_end,
                       [](const QTextCharFormat& f) { return f.fontWeight() >= QFont::Bold ? -1 : 0; }, kMixed);
}

void Font::setBold(int value)
{
    QTextCharFormat f;
    f.setFontWeight(value != 0 ? QFont::Bold : QFont::Normal);
    if (m_start < m_end)
        m_doc->model().mergeCharFormat(m_start, m_end, f);
}

int Font::Italic() const
{
    return commonValue(m_doc, m_start, m_end, [](const QTextCharFormat& f) { return f.fontItalic() ? -1 : 0; }, kMixed);
}

void Font::setItalic(int value)
{
    QTextCharFormat f;
    f.setFontItalic(value != 0);
    if (m_start < m_end)
        m_doc->model().mergeCharFormat(m_start, m_end, f);
}

Characters::Characters(Document* doc, int start, int end, bool finalMark)
    : m_doc(doc), m_start(start), m_end(end), m_finalMark(finalMark) {}

int Characters::Count() const { return m_end - m_start + (m_finalMark ? 1 : 0); }

Range Characters::Item(int index) const
{
    if (index < 1 || index > Count())
        throw Error(QStringLiteral("Nincs %1. karakter (a tartomány %2 karakteres).").arg(index).arg(Count()));
    if (m_finalMark && index == Count())
        return Range(m_doc, m_end, m_end);
    return Range(m_doc, m_start + index - 1, m_start + index);
}

} // namespace word
