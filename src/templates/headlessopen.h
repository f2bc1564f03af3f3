#pragma once
// The opening path without a window: the file to load for the chosen file and
// party counts, party block assembly for a template, and field discovery.
// The command-line tool and the tests open documents the way the window does.

#include "templates/fielddiscovery.h"
#include "templates/partyblockassembly.h"
#include "templates/partylist.h"

#include <QStringList>

namespace word { class Application; class Document; }

namespace templates {

// The party entries for the counts, in list order, ticked when named in
// legalEntries (matched without regard to case).
QList<PartyEntry> partiesFor(int sellers, int buyers, const QStringList& legalEntries);

struct HeadlessOpening {
    QString openPath;
    bool isTemplate = false;
    word::Document* doc = nullptr;       // owned by the application
    AssemblyEnd assembly = AssemblyEnd::Complete;
    FieldDiscovery discovery;
};

// Throws word::Error when the file cannot be loaded.
HeadlessOpening openHeadless(word::Application& app, const QString& chosenFile, int sellers,
                             int buyers, const QStringList& legalEntries);

} // namespace templates
