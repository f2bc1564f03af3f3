#include "word/legacy/compoundfile.h"
#include "word/legacy/legacyimport.h"
#include "word/opc/flatpackagereader.h"

#include <QFile>
#include <cstring>

namespace word::legacy {

namespace {

// Compound files are read whole: their directory may lie anywhere. Larger
// files than this are not documents the engine could take anyway.
constexpr qint64 kMaxSniffBytes = 272LL * 1024 * 1024;
constexpr qsizetype kTextHead = 4096;

qsizetype afterBomAndSpace(const QByteArray& data)
{
    qsizetype i = data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (i < data.size() && (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n'))
        ++i;
    return i;
}

Format sniffCompoundFile(const QByteArray& data)
{
    const auto cf = CompoundFile::parse(data);
    if (!cf)
        return Format::Unknown;
    if (cf->isEncryptedPackage())
        return Format::Encrypted;
    if (!cf->isWordDocument())
        return Format::Unknown;
    return cf->isEncryptedWordDocument() ? Format::Encrypted : Format::WordBinary;
}

bool isWordXml(const QByteArray& head)
{
    return head.contains("<w:wordDocument") || head.contains("progid=\"Word.Document\"");
}

} // namespace

Format sniffBytes(const QByteArray& data)
{
    if (data.startsWith("PK\x03\x04") || data.startsWith("PK\x05\x06") || data.startsWith("PK\x07\x08"))
        return Format::Ooxml;
    if (CompoundFile::hasSignature(data))
        return sniffCompoundFile(data);
    // Word for Windows 2.x wrote its own binary form before the OLE container.
    if (data.size() >= 128 && static_cast<unsigned char>(data[0]) == 0xDB && static_cast<unsigned char>(data[1]) == 0xA5)
        return Format::WordBinary;
    if (opc::looksLikeFlatPackage(data))
        return Format::Ooxml;
    const QByteArray head = data.mid(afterBomAndSpace(data), kTextHead);
    if (head.startsWith("{\\rtf"))
        return Format::Rtf;
    if (head.startsWith("<?xml") && isWordXml(head))
        return Format::WordXml;
    return Format::Unknown;
}

Format sniff(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return Format::Unknown;
    QByteArray head = f.read(kTextHead + 8);
    if (CompoundFile::hasSignature(head))
        head += f.read(kMaxSniffBytes);
    return sniffBytes(head);
}

} // namespace word::legacy
