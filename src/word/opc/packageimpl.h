#pragma once
// The inside of Package, shared by the files that read, edit and write it.

#include "word/opc/contenttypes.h"
#include "word/opc/package.h"
#include "word/opc/xmllimits.h"

#include <QHash>
#include <vector>
#include <zip.h>

namespace word::opc {

struct PackageEntry {
    QString name;            // as stored in the zip (or as given to setPart)
    QByteArray data;         // inflated
    qint64 sourceIndex = -1; // index in the source archive, -1 for parts added since
    bool modified = false;
};

struct Package::Impl {
    ~Impl();

    QString fileName;        // path or name for errors, as given
    QByteArray raw;          // the archive as read; the source archive reads from it
    bool ownOutput = false;  // written by this program a moment ago: no census of its XML
    zip_t* source = nullptr;
    std::vector<PackageEntry> entries;
    QHash<QString, size_t> index;   // partname::key -> position in entries
    ContentTypes contentTypes;
    qint64 contentTypesIndex = -1;
    mutable TextBudget budget;
    qint64 bookmarkStarts = 0;   // counted by checkParts
    mutable QHash<QString, QList<Relationship>> relationshipCache;

    QString displayName() const;
    const PackageEntry* find(const QString& name) const;
    void rebuildIndex();
    // The limits that span the parts (text, range ends) and the relationships
    // parts, which must parse; called once all parts are in.
    void checkParts();
    [[noreturn]] void fail(const QString& reason) const;   // "cannot be opened: reason"
};

// "A(z) „name” fájl nem nyitható meg: reason."
QString openErrorMessage(const QString& displayName, const QString& reason);

} // namespace word::opc
