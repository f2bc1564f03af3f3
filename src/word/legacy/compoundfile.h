#pragma once
// A read-only view of an OLE compound file (the container of Word 97-2003
// documents and of password-protected OOXML packages): its stream names and
// the first bytes of a stream. Every sector chain is bounded by the size of
// the file, so a damaged or hostile file cannot make the reader loop.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace word::legacy {

class CompoundFile {
public:
    static bool hasSignature(const QByteArray& head);
    // Parses data; nullopt when it is not a readable compound file.
    static std::optional<CompoundFile> parse(const QByteArray& data);

    QStringList streamNames() const;
    bool hasStream(const QString& name) const;   // case-insensitive, any storage
    // Up to maxBytes from the start of the stream; empty when absent or unreadable.
    QByteArray readStream(const QString& name, qsizetype maxBytes) const;

    // A password-protected OOXML package (EncryptionInfo and EncryptedPackage streams).
    bool isEncryptedPackage() const;
    // A Word 97-2003 (or Word 6/95) document: a WordDocument stream.
    bool isWordDocument() const;
    // The WordDocument stream's header says the document is encrypted.
    bool isEncryptedWordDocument() const;

private:
    struct DirEntry {
        QString name;
        int type = 0;          // 1 storage, 2 stream, 5 root
        quint32 start = 0;
        quint64 size = 0;
    };
    QByteArray m_data;
    int m_sectorSize = 512;
    int m_miniSectorSize = 64;
    quint32 m_miniCutoff = 4096;
    std::vector<quint32> m_fat;
    std::vector<quint32> m_miniFat;
    std::vector<DirEntry> m_dir;

    bool load();
    bool loadFat();
    std::vector<quint32> chain(const std::vector<quint32>& table, quint32 start) const;
    QByteArray readChain(quint32 start, qsizetype maxBytes) const;
    QByteArray readMiniChain(quint32 start, qsizetype maxBytes) const;
    const DirEntry* find(const QString& name) const;
    quint32 u32(qsizetype offset) const;
};

} // namespace word::legacy
