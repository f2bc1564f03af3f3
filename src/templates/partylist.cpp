#include "templates/partylist.h"

namespace templates {

QString PartyList::entryName(const QString& groupWord, int n)
{
    if (n <= 1)
        return groupWord;
    return groupWord + QString::number(n);
}

PartyList PartyList::initial()
{
    PartyList list;
    list.m_entries = { { sellerWord(), true }, { buyerWord(), false } };
    return list;
}

void PartyList::sellerCounterChanging(int newValue, CounterDirection direction)
{
    if (direction == CounterDirection::Up)
        insertAt(newValue - 1, entryName(sellerWord(), newValue));
    else if (direction == CounterDirection::Down)
        removeAt(newValue);
}

void PartyList::buyerCounterChanging(int newValue, CounterDirection direction, int sellerPosition)
{
    if (direction == CounterDirection::Up)
        insertAt(sellerPosition + newValue - 1, entryName(buyerWord(), newValue));
    else if (direction == CounterDirection::Down)
        removeAt(sellerPosition + newValue);
}

void PartyList::setLegal(int index, bool legal)
{
    if (index >= 0 && index < count())
        m_entries[index].legal = legal;
}

// The indices follow from the counters; a list that has fallen out of step with
// them (edited from outside) must not make the dialog crash, so the index is
// clamped on insertion and an out-of-range removal is skipped.
void PartyList::insertAt(int index, const QString& text)
{
    m_entries.insert(qBound(0, index, count()), PartyEntry { text, false });
}

void PartyList::removeAt(int index)
{
    if (index >= 0 && index < count())
        m_entries.removeAt(index);
}

} // namespace templates
