#pragma once
// The paper and margins of a document's last section, in points, read from
// the section properties the model keeps verbatim. A document without them
// gets A4 with 2.5 cm margins, as a new Word document here would.

#include <QByteArray>
#include <QMarginsF>
#include <QSizeF>

namespace word { class Document; }

namespace word::view {

struct PageSetup {
    QSizeF paper { 595.3, 841.9 };
    QMarginsF margins { 70.85, 70.85, 70.85, 70.85 };
};

// sectPrXml: any XML text holding a w:sectPr (the body's tail will do).
PageSetup pageSetupFromXml(const QByteArray& sectPrXml);
PageSetup pageSetupOf(const word::Document& doc);

} // namespace word::view
