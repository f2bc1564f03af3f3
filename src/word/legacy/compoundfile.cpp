#include "word/legacy/compoundfile.h"

#include <QtEndian>
#include <cstring>

namespace word::legacy {

namespace {

const char kSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr quint32 kFreeSector = 0xFFFFFFFF;
constexpr quint32 kMaxRegularSector = 0xFFFFFFFA;
constexpr int kHeaderDifatEntries = 109;
constexpr int kDirEntrySize = 128;

} // namespace

bool CompoundFile::hasSignature(const QByteArray& head)
{
    return head.size() >= 8 && std::memcmp(head.constData(), kSignature, 8) == 0;
}

std::optional<CompoundFile> CompoundFile::parse(const QByteArray& data)
{
    if (!hasSignature(data) || data.size() < 512)
        return std::nullopt;
    CompoundFile cf;
    cf.m_data = data;
    if (!cf.load())
        return std::nullopt;
    return cf;
}

quint32 CompoundFile::u32(qsizetype offset) const
{
    if (offset < 0 || offset + 4 > m_data.size())
        return kFreeSector;
    return qFromLittleEndian<quint32>(m_data.constData() + offset);
}

bool CompoundFile::load()
{
    const quint16 shift = qFromLittleEndian<quint16>(m_data.constData() + 0x1E);
    const quint16 miniShift = qFromLittleEndian<quint16>(m_data.constData() + 0x20);
    if ((shift != 9 && shift != 12) || miniShift != 6)
        return false;
    m_sectorSize = 1 << shift;
    m_miniSectorSize = 1 << miniShift;
    m_miniCutoff = u32(0x38);
    if (!loadFat())
        return false;
    const QByteArray dir = readChain(u32(0x30), m_data.size());
    for (qsizetype off = 0; off + kDirEntrySize <= dir.size(); off += kDirEntrySize) {
        const char* e = dir.constData() + off;
        DirEntry d;
        const int nameBytes = qMin<int>(qFromLittleEndian<quint16>(e + 0x40), 64);
        d.name = QString::fromUtf16(reinterpret_cast<const char16_t*>(e), qMax(0, nameBytes / 2 - 1));
        d.type = static_cast<unsigned char>(e[0x42]);
        d.start = qFromLittleEndian<quint32>(e + 0x74);
        d.size = qFromLittleEndian<quint32>(e + 0x78);   // version 3 files leave the high half undefined
        m_dir.push_back(d);
    }
    if (m_dir.empty() || m_dir.front().type != 5)
        return false;
    const QByteArray miniFat = readChain(u32(0x3C), m_data.size());
    for (qsizetype off = 0; off + 4 <= miniFat.size(); off += 4)
        m_miniFat.push_back(qFromLittleEndian<quint32>(miniFat.constData() + off));
    return true;
}

bool CompoundFile::loadFat()
{
    const qsizetype sectors = m_data.size() / m_sectorSize;
    std::vector<quint32> fatSectors;
    for (int i = 0; i < kHeaderDifatEntries; ++i) {
        const quint32 s = u32(0x4C + 4 * i);
        if (s >= kMaxRegularSector)
            break;
        fatSectors.push_back(s);
    }
    quint32 difat = u32(0x44);
    const int perDifat = m_sectorSize / 4 - 1;
    for (qsizetype guard = 0; difat < kMaxRegularSector && guard < sectors; ++guard) {
        const qsizetype base = qsizetype(difat + 1) * m_sectorSize;
        for (int i = 0; i < perDifat; ++i) {
            const quint32 s = u32(base + 4 * i);
            if (s < kMaxRegularSector)
                fatSectors.push_back(s);
        }
        difat = u32(base + 4 * perDifat);
    }
    if (fatSectors.empty() || qsizetype(fatSectors.size()) > sectors)
        return false;
    for (quint32 s : fatSectors) {
        const qsizetype base = qsizetype(s + 1) * m_sectorSize;
        for (int i = 0; i < m_sectorSize / 4; ++i)
            m_fat.push_back(u32(base + 4 * i));
    }
    return true;
}

std::vector<quint32> CompoundFile::chain(const std::vector<quint32>& table, quint32 start) const
{
    std::vector<quint32> out;
    for (quint32 s = start; s < table.size() && out.size() <= table.size(); s = table[s])
        out.push_back(s);
    return out;
}

QByteArray CompoundFile::readChain(quint32 start, qsizetype maxBytes) const
{
    QByteArray out;
    for (quint32 s : chain(m_fat, start)) {
        if (out.size() >= maxBytes)
            break;
        const qsizetype base = qsizetype(s + 1) * m_sectorSize;
        if (base >= m_data.size())
            break;
        out.append(m_data.mid(base, m_sectorSize));
    }
    return out.left(maxBytes);
}

QByteArray CompoundFile::readMiniChain(quint32 start, qsizetype maxBytes) const
{
    const DirEntry& root = m_dir.front();
    const QByteArray mini = readChain(root.start, qsizetype(root.size));
    QByteArray out;
    for (quint32 s : chain(m_miniFat, start)) {
        if (out.size() >= maxBytes)
            break;
        const qsizetype base = qsizetype(s) * m_miniSectorSize;
        if (base >= mini.size())
            break;
        out.append(mini.mid(base, m_miniSectorSize));
    }
    return out.left(maxBytes);
}

const CompoundFile::DirEntry* CompoundFile::find(const QString& name) const
{
    for (const DirEntry& d : m_dir) {
        if (d.type == 2 && d.name.compare(name, Qt::CaseInsensitive) == 0)
            return &d;
    }
    return nullptr;
}

QStringList CompoundFile::streamNames() const
{
    QStringList names;
    for (const DirEntry& d : m_dir) {
        if (d.type == 2)
            names.append(d.name);
    }
    return names;
}

bool CompoundFile::hasStream(const QString& name) const
{
    return find(name) != nullptr;
}

QByteArray CompoundFile::readStream(const QString& name, qsizetype maxBytes) const
{
    const DirEntry* d = find(name);
    if (!d)
        return {};
    const qsizetype wanted = qMin<qsizetype>(maxBytes, qsizetype(qMin<quint64>(d->size, quint64(m_data.size()))));
    if (d->size < m_miniCutoff)
        return readMiniChain(d->start, wanted);
    return readChain(d->start, wanted);
}

bool CompoundFile::isEncryptedPackage() const
{
    return hasStream(QStringLiteral("EncryptionInfo")) && hasStream(QStringLiteral("EncryptedPackage"));
}

bool CompoundFile::isWordDocument() const
{
    return hasStream(QStringLiteral("WordDocument"));
}

bool CompoundFile::isEncryptedWordDocument() const
{
    // The file information block starts the stream; bit 8 of the flags word
    // at offset 10 is fEncrypted in Word 6, 95 and 97-2003 alike.
    const QByteArray fib = readStream(QStringLiteral("WordDocument"), 12);
    if (fib.size() < 12)
        return false;
    const quint16 flags = qFromLittleEndian<quint16>(fib.constData() + 10);
    return (flags & 0x0100) != 0;
}

} // namespace word::legacy
