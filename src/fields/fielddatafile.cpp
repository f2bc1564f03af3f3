#include "fields/fielddatafile.h"

#include "fields/cp1250codec.h"
#include "word/error.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace fields {

namespace {

bool hasUtf8Bom(const QByteArray& bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF");
}

// Valid UTF-8 with at least one multi-byte sequence. Windows-1250 text with
// accented letters practically never forms such sequences (ő and ű are bytes
// that UTF-8 never uses at all), while plain ASCII reads the same either way.
bool looksLikeUtf8(const QByteArray& bytes)
{
    bool multiByte = false;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            multiByte = true;
            break;
        }
    }
    if (!multiByte)
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);   // converting is what sets the error flag
    return !text.isEmpty() && !decoder.hasError();
}

// A value that holds a line break or a NUL would shift every later line on
// the next load, so such characters are written as blanks.
QString singleLine(QString value)
{
    for (QChar& c : value) {
        if (c == u'\r' || c == u'\n' || c == QChar(0))
            c = u' ';
    }
    return value;
}

[[noreturn]] void fail(const QString& what, const QString& path, const QString& reason)
{
    throw word::Error(QStringLiteral("%1: %2\r%3").arg(what, path, reason));
}

} // namespace

QString FieldDataFile::header()
{
    return QStringLiteral(" Mező tartalma:");
}

QString FieldDataFile::decode(const QByteArray& raw)
{
    const qsizetype nul = raw.indexOf('\0');
    const QByteArray bytes = nul < 0 ? raw : raw.left(nul);
    if (hasUtf8Bom(bytes))
        return QString::fromUtf8(bytes.mid(3));
    if (looksLikeUtf8(bytes))
        return QString::fromUtf8(bytes);
    return Cp1250Codec::decode(bytes);
}

QStringList FieldDataFile::splitLines(QStringView text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start).toString());
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start).toString());
    return lines;
}

QByteArray FieldDataFile::encode(const QStringList& column)
{
    QString text;
    for (const QString& value : column) {
        text += singleLine(value);
        text += QStringLiteral("\r\n");
    }
    if (Cp1250Codec::canEncode(text))
        return Cp1250Codec::encode(text);
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

QStringList FieldDataFile::readLines(const QString& path)
{
    const QString what = QStringLiteral("A mezőadat fájl nem olvasható be");
    const QFileInfo info(path);
    if (!info.exists())
        fail(what, path, QStringLiteral("A fájl nem létezik."));
    if (info.isDir())
        fail(what, path, QStringLiteral("Ez egy mappa, nem fájl."));
    if (info.size() > kMaxBytes)
        fail(what, path, QStringLiteral("A fájl túl nagy (legfeljebb 64 MB lehet)."));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(what, path, file.errorString());
    const QByteArray bytes = file.read(kMaxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        fail(what, path, file.errorString());
    if (bytes.size() > kMaxBytes)
        fail(what, path, QStringLiteral("A fájl túl nagy (legfeljebb 64 MB lehet)."));
    return splitLines(decode(bytes));
}

void FieldDataFile::write(const QString& path, const QStringList& column)
{
    const QString what = QStringLiteral("A mezőadat fájl nem menthető");
    if (QFileInfo(path).isDir())
        fail(what, path, QStringLiteral("Ez egy mappa, nem fájl."));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        fail(what, path, file.errorString());
    const QByteArray bytes = encode(column);
    if (file.write(bytes) != bytes.size())
        fail(what, path, file.errorString());
    if (!file.commit())
        fail(what, path, file.errorString());
}

void FieldDataFile::place(QStringList& column, const QStringList& lines)
{
    column.fill(QString());
    qsizetype row = 0;
    for (const QString& line : lines) {
        if (row >= column.size())
            break;
        column[row++] = line.isEmpty() ? QStringLiteral(" ") : line;
    }
    if (!column.isEmpty())
        column[0] = header();
}

void FieldDataFile::clear(QStringList& column)
{
    column.fill(QString());
    if (!column.isEmpty())
        column[0] = header();
}

} // namespace fields
