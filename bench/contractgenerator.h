#pragma once
// Writes a contract-like WordprocessingML package for the benchmark: a title,
// one chapter per occurrence with headings, prose paragraphs, list-looking
// clauses and a small table, and `fields` fields each bookmarked `occurrences`
// times as <field>_<k> around a short placeholder.

#include <QString>
#include <QStringList>

class ContractGenerator {
public:
    ContractGenerator(int fields, int occurrences) : m_fields(fields), m_occurrences(occurrences) {}

    static QString fieldName(int field);                // Hungarian-looking, unique per index
    static QString bookmarkName(int field, int occurrence) { return fieldName(field) + QLatin1Char('_') + QString::number(occurrence); }
    static QString valueFor(int field);                 // the value the benchmark writes
    static QString placeholder();

    QByteArray documentXml() const;
    static QByteArray stylesXml();
    // Writes the whole package to path; returns an empty string or the reason it failed.
    QString write(const QString& path) const;

private:
    void chapter(QString& out, int occurrence, int& nextId) const;
    int m_fields;
    int m_occurrences;
};
