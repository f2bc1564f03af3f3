#include "word/document.h"

#include "word/error.h"
#include "word/model/docmodel.h"
#include "word/ooxml/subdocstore.h"

namespace word {

int Subdocuments::Count() const { return int(m_doc->model().subdocs.size()); }

bool Subdocuments::Expanded() const { return m_doc->model().subdocsExpanded; }

void Subdocuments::setExpanded(bool on)
{
    model::DocModel& m = m_doc->model();
    m.subdocsExpanded = on;
    if (!on)
        return;   // collapsing only changes how a view shows them; the text stays editable
    // Bringing the text in is no change of the document itself.
    const bool saved = m.saved();
    ooxml::SubdocStore(m).expandAll();
    m.setSaved(saved);
}

void Subdocuments::AddFromRange(const word::Range& range)
{
    if (range.document() != m_doc)
        throw Error(QStringLiteral("Az aldokumentum tartománya másik dokumentumban van."));
    if (range.Start() == range.End())
        throw Error(QStringLiteral("Üres tartományból nem hozható létre aldokumentum."));
    ooxml::SubdocStore(m_doc->model()).addFromRange(range.Start(), range.End());
}

} // namespace word
