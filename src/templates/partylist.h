#pragma once
// The party entries of the template dialog: the sellers, then the buyers, then
// the usufructuaries, each entry ticked when that party is a legal person.
// The counters of the dialog keep the list in step: a new party is appended to
// the end of its group, a removed one is the last of its group, and every other
// entry keeps its tick.

#include <QList>
#include <QString>

namespace templates {

struct PartyEntry {
    QString text;
    bool legal = false;
    bool operator==(const PartyEntry&) const = default;
};

enum class CounterDirection { None, Up, Down };

class PartyList {
public:
    static QString sellerWord() { return QStringLiteral("Eladó"); }
    static QString buyerWord() { return QStringLiteral("Vevő"); }
    // "Eladó", "Eladó2", ...: the n-th entry of a group carries n from the second on.
    static QString entryName(const QString& groupWord, int n);

    // The list of the first showing in a run: "Eladó" ticked, "Vevő".
    static PartyList initial();

    // The seller counter is about to change to newValue.
    void sellerCounterChanging(int newValue, CounterDirection direction);
    // The buyer counter is about to change to newValue while the seller counter
    // stands at sellerPosition.
    void buyerCounterChanging(int newValue, CounterDirection direction, int sellerPosition);

    const QList<PartyEntry>& entries() const { return m_entries; }
    void setEntries(const QList<PartyEntry>& entries) { m_entries = entries; }
    int count() const { return int(m_entries.size()); }
    void setLegal(int index, bool legal);

private:
    void insertAt(int index, const QString& text);
    void removeAt(int index);

    QList<PartyEntry> m_entries;
};

} // namespace templates
