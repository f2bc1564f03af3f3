#pragma once
// List numbering: the definitions of a numbering part and the counters that
// turn them into the label each numbered paragraph shows ("1.", "a)",
// "IV.", "2.1.", a bullet). Counters run in document order, per list.

#include <QHash>
#include <QString>
#include <QVector>
#include <optional>
#include <pugixml.hpp>

namespace word::ooxml {

class Numbering {
public:
    void read(const QByteArray& numberingXml, const QString& partName);
    // The label of the next paragraph of list numId at level ilvl; advances the
    // counters. Empty when the list or level is unknown or numbering is off.
    QString nextLabel(const QString& numId, int ilvl);
    // The level's own number within the last label nextLabel() gave.
    QString lastOwnNumber() const { return m_lastOwn; }
    // Left indent (twips) the level asks for, or -1.
    int levelIndent(const QString& numId, int ilvl) const;
    // The level's first-line indent in twips (a hanging indent negative), or
    // none when the level sets neither.
    std::optional<int> levelFirstLine(const QString& numId, int ilvl) const;
    // How Qt can draw the level's label: a list style (0 none) and the text
    // around the level's own number.
    struct Display {
        int style = 0;       // QTextListFormat::Style
        QString prefix;
        QString suffix;
    };
    Display display(const QString& numId, int ilvl) const;

    static QString formatNumber(int n, const QString& numFmt);

    // No label is longer than this (Word's own labels stay far below it),
    // whatever the start value or the level text asks for.
    static constexpr qsizetype kMaxLabelChars = 64;

private:
    struct Level {
        int start = 1;
        QString numFmt = QStringLiteral("decimal");
        QString text;
        bool legal = false;
        int indent = -1;
        std::optional<int> firstLine;
    };
    struct Instance {
        QString abstractId;
        QHash<int, int> startOverride;
    };
    const Level* level(const QString& numId, int ilvl) const;
    static QString expand(const QString& text, const QVector<Level>& levels, const QVector<int>& counters,
                          int ilvl, bool legal);
    static QString limited(QString label);

    QHash<QString, QVector<Level>> m_abstract;
    QHash<QString, Instance> m_instances;
    QHash<QString, QVector<int>> m_counters;
    QString m_lastOwn;   // by abstract list: Word continues a list across its instances
};

} // namespace word::ooxml
