#pragma once
// The content types of a package ([Content_Types].xml): defaults by file
// extension and overrides by part name. Remembers whether it was changed, so
// an unchanged package keeps its original file byte for byte.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

namespace word::opc {

class TextBudget;

class ContentTypes {
public:
    // Reads the XML; returns the reason it is unusable, or an empty string.
    QString read(const QByteArray& xml, TextBudget& budget);

    QString typeOf(const QString& partName) const;
    QString defaultFor(const QString& extension) const;
    // Makes partName's type be type: an override unless the extension's default already says so.
    void setType(const QString& partName, const QString& type);
    void removeOverride(const QString& partName);

    bool changed() const { return m_changed; }
    QByteArray toXml() const;

private:
    struct Entry {
        QString name;   // extension or part name as written
        QString type;
    };
    QList<Entry> m_defaults;
    QList<Entry> m_overrides;
    QHash<QString, qsizetype> m_defaultIndex;    // lower-case extension
    QHash<QString, qsizetype> m_overrideIndex;   // partname::key
    bool m_changed = false;

    void rebuildOverrideIndex();
};

} // namespace word::opc
