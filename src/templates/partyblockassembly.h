#pragma once
// Party block assembly. A contract template describes a party once as a block
// for a legal person ("Jogisz") and once as a block for a natural person
// ("Termsz"), both at the very start of the document. Every place of a party
// entry E is a placeholder bookmark E_1, E_2, ... The assembly copies the
// fitting block over every placeholder of every party, in the placeholder's
// font size, and names each field of a copy E_<base>_<k>, so that field
// discovery finds E_<base> and value writing reaches all of its copies.
// Both blocks are cut through the clipboard and the two empty paragraphs they
// leave at the start are removed.

#include "templates/partylist.h"

#include <QList>

namespace word { class Document; }

namespace templates {

enum class AssemblyEnd {
    Complete,
    Stopped,     // an engine call failed; what was done before stays
};

// The text a field takes in each copy of a block.
inline constexpr char16_t FieldMarkText[] = u"***";

// Runs the assembly for the parties in list order (sellers, buyers, ...).
// Never throws: the first failing engine call ends it silently, as a document
// that is no template (no "Jogisz" bookmark) must open unchanged.
AssemblyEnd AssemblePartyBlocks(word::Document& doc, const QList<PartyEntry>& parties);

// The name a field bookmark of a block takes in the k-th copy for entry E:
// E + "_" + the name with its trailing occurrence number 1 replaced by k.
QString copiedFieldName(const QString& entry, const QString& blockFieldName, int k);

} // namespace templates
