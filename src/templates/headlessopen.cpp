#include "templates/headlessopen.h"

#include "templates/openpath.h"
#include "word/application.h"
#include "word/document.h"

namespace templates {

QList<PartyEntry> partiesFor(int sellers, int buyers, const QStringList& legalEntries)
{
    QList<PartyEntry> parties;
    const auto group = [&](const QString& word, int count) {
        for (int n = 1; n <= count; ++n) {
            const QString entry = PartyList::entryName(word, n);
            parties.append({ entry, legalEntries.contains(entry, Qt::CaseInsensitive) });
        }
    };
    group(PartyList::sellerWord(), sellers);
    group(PartyList::buyerWord(), buyers);
    return parties;
}

HeadlessOpening openHeadless(word::Application& app, const QString& chosenFile, int sellers,
                             int buyers, const QStringList& legalEntries)
{
    HeadlessOpening out;
    out.openPath = openPathFor(chosenFile, sellers, buyers);
    out.isTemplate = isTemplateFile(chosenFile);
    out.doc = app.Documents().Open(out.openPath);
    if (out.isTemplate)
        out.assembly = AssemblePartyBlocks(*out.doc, partiesFor(sellers, buyers, legalEntries));
    out.discovery = DiscoverFields(*out.doc, !out.isTemplate);
    return out;
}

} // namespace templates
