#include "templates/partyblockassembly.h"

#include "word/document.h"
#include "word/error.h"

namespace templates {

namespace {

const QString LegalBlock = QStringLiteral("Jogisz");
const QString NaturalBlock = QStringLiteral("Termsz");
// What Font.Size reads when the selection mixes sizes.
constexpr float MixedSize = 9999999.0f;

QString placeholderName(const QString& entry, int k)
{
    return entry + QLatin1Char('_') + QString::number(k);
}

// Gives each field bookmark of the freshly pasted block (the block bookmark,
// listed first, excluded) the text "***" and the name of this copy. Replacing
// a field's whole text removes its bookmark, so the new one is added over the
// selection that now spans exactly the new text, at the old one's place in
// the document order.
void renameCopyFields(word::Document& doc, const QString& block, const QString& entry, int k)
{
    word::Bookmarks all = doc.Bookmarks();
    word::Selection& sel = doc.ActiveWindow().Selection();
    const int count = sel.Bookmarks().Count();
    for (int j = 2; j <= count; ++j) {
        all.Item(block).Select();
        const QString name = sel.Bookmarks().Item(j).Name();
        sel.Bookmarks().Item(j).Select();
        sel.setText(QString::fromUtf16(FieldMarkText));
        all.Add(copiedFieldName(entry, name, k));
    }
}

// One copy of the block on the clipboard over placeholder E_k.
void fillPlaceholder(word::Document& doc, const QString& block, const QString& entry, int k)
{
    word::Bookmarks all = doc.Bookmarks();
    word::Selection& sel = doc.ActiveWindow().Selection();
    all.Item(placeholderName(entry, k)).Select();
    const float size = sel.Font().Size();
    sel.Paste();
    all.Item(block).Select();
    // A placeholder of mixed sizes gives no single size to carry over; the
    // block then keeps its own sizes rather than failing half-way.
    if (size != MixedSize)
        sel.Font().setSize(size);
    renameCopyFields(doc, block, entry, k);
    all.Item(block).Delete();
}

void pastePass(word::Document& doc, const QString& block, const QList<PartyEntry>& parties,
               bool legal)
{
    word::Bookmarks all = doc.Bookmarks();
    for (const PartyEntry& party : parties) {
        if (party.legal != legal)
            continue;
        int k = 1;
        do {
            fillPlaceholder(doc, block, party.text, k);
            ++k;
        } while (all.Exists(placeholderName(party.text, k)));
    }
}

void cutBlock(word::Document& doc, const QString& block)
{
    doc.Bookmarks().Item(block).Select();
    doc.ActiveWindow().Selection().Cut();
}

} // namespace

QString copiedFieldName(const QString& entry, const QString& blockFieldName, int k)
{
    // Every copy gets its own number, also from the tenth on: value writing
    // reads two-digit occurrence numbers, so E_<base>_10 is still reached.
    const QString stem = blockFieldName.isEmpty() ? QString() : blockFieldName.chopped(1);
    return entry + QLatin1Char('_') + stem + QString::number(k);
}

AssemblyEnd AssemblePartyBlocks(word::Document& doc, const QList<PartyEntry>& parties)
{
    try {
        cutBlock(doc, LegalBlock);
        pastePass(doc, LegalBlock, parties, true);
        cutBlock(doc, NaturalBlock);
        pastePass(doc, NaturalBlock, parties, false);
        word::Range first = doc.Characters().Item(1);
        first.Delete();
        first.Delete();
    } catch (const word::Error&) {
        return AssemblyEnd::Stopped;
    }
    return AssemblyEnd::Complete;
}

} // namespace templates
