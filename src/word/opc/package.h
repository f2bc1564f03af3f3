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

namespace word::opc {

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
    static std::unique_ptr<Package> fromBytes(const QByteArray& zipBytes, const QString& nameForErrors);

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

private:
    Package();
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace word::opc
