#include "word/model/textaccess.h"

#include "word/model/docmodel.h"
#include "word/model/formatprops.h"

#include <QTextBlock>
#include <QTextDocument>

namespace word::model {

QString wordText(const DocModel& m, int start, int end)
{
    QString out;
    if (end <= start)
        return out;
    out.reserve(end - start);
    QTextDocument* doc = m.text();
    for (QTextBlock b = doc->findBlock(start); b.isValid() && b.position() < end; b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const int fs = std::max(start, f.position());
            const int fe = std::min(end, f.position() + f.length());
            if (fe <= fs)
                continue;
            const int kind = f.charFormat().intProperty(prop::CharKind);
            for (QChar c : f.text().mid(fs - f.position(), fe - fs)) {
                if (c == QChar::LineSeparator)
                    out += u'\v';
                else if (c == QChar::ObjectReplacementCharacter && kind == prop::KindPageBreak)
                    out += u'\f';
                else
                    out += c;
            }
        }
        const int mark = b.position() + b.length() - 1;
        const bool phantom = b.length() == 1 && b.blockFormat().boolProperty(prop::Phantom);
        if (mark >= start && mark < end && b.next().isValid() && !phantom)
            out += u'\r';
    }
    return out;
}

void forEachRun(const DocModel& m, int start, int end, const std::function<void(const QTextCharFormat&, int)>& fn)
{
    QTextDocument* doc = m.text();
    for (QTextBlock b = doc->findBlock(start); b.isValid() && b.position() < end; b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const int fs = std::max(start, f.position());
            const int fe = std::min(end, f.position() + f.length());
            if (fe > fs)
                fn(f.charFormat(), fe - fs);
        }
    }
}

} // namespace word::model
