#pragma once
// An OPC (zip) package: its parts, content types and relationships. Parts are
// kept byte for byte as read unless replaced; saving copies untouched parts
// unchanged and writes through a temporary file, so a failed save leaves the
// previous file whole. Opening enforces the hostile-input limits before any
// part is handed out.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

namespace pugi { class xml_document; }

namespace word::opc {

class TextBudget;

// Limits every package must keep before any of its parts is handed out.
constexpr qsizetype kMaxEntries = 10'000;
constexpr qint64 kMaxPartBytes = 64LL * 1024 * 1024;
constexpr qint64 kMaxTotalBytes = 256LL * 1024 * 1024;
constexpr qint64 kRatioCheckedFrom = 100 * 1024;   // parts above this size ...
constexpr qint64 kMaxCompressionRatio = 100;       // ... may not inflate more than 100-fold

struct Relationship {
    QString id;
    QString type;        // full relationship type URI
    QString target;      // as written
    bool external = false;
};

class Package {
public:
    ~Package();
    // Reads and checks path; throws word::Error naming the file and the reason.
    static std::unique_ptr<Package> open(const QString& path);
    // Takes a zip, or the single-file XML form of a package (the pkg:package
    // "flat" form Word writes as .xml), which is then written back as a zip.
    static std::unique_ptr<Package> fromBytes(const QByteArray& zipBytes, const QString& nameForErrors);
    // A package this program has just written, read back to check it: the
    // zip and its entries are checked as ever, but the XML parts are not
    // counted against the limits that keep hostile files out (whoever reads
    // them parses them anyway).
    static std::unique_ptr<Package> fromOwnBytes(const QByteArray& zipBytes, const QString& nameForErrors);

    QString fileName() const;
    QStringList partNames() const;          // "word/document.xml" style, no leading slash
    bool hasPart(const QString& name) const;
    QByteArray part(const QString& name) const;   // throws when missing
    void setPart(const QString& name, const QByteArray& data, const QString& contentType = QString());
    void removePart(const QString& name);

    QString contentType(const QString& name) const;
    QString mainPartName() const;           // officeDocument target of _rels/.rels; throws when missing
    QList<Relationship> relationships(const QString& sourcePart) const;   // "" for the package
    // Absolute part name of a relationship target relative to sourcePart.
    QString resolve(const QString& sourcePart, const QString& target) const;
    // Adds or replaces a relationship of sourcePart; returns its id.
    QString addRelationship(const QString& sourcePart, const QString& type, const QString& target, bool external = false);

    void save(const QString& path) const;   // throws word::Error; QSaveFile semantics
    QByteArray toBytes() const;

    // Parses an XML part with the hostile-input limits (no DOCTYPE, nesting,
    // text counted against this package's budget); throws word::Error naming
    // the file and the part. Parse each part once: its text counts every time.
    void parsePart(const QString& name, pugi::xml_document& doc) const;
    TextBudget& textBudget() const;
    // The bookmark start elements that the parts held when the package was
    // read; 0 for a package of this program's own output, whose parts are
    // not counted.
    qint64 bookmarkStartCount() const;

private:
    friend class PackageReader;
    friend class FlatPackageReader;
    Package();
    static std::unique_ptr<Package> readBytes(const QByteArray& zipBytes, const QString& nameForErrors, bool ownOutput);
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace word::opc
