#pragma once
// Patching a run's rPr for the attributes the engine changes (bold, italic,
// size), leaving everything else of it as it was read. Elements go where the
// schema wants them, since Word refuses rPr children out of order.

#include <QString>

namespace word::ooxml {

struct RunLook {
    bool bold = false;
    bool italic = false;
    double size = 0;     // points; 0 = not set
};

RunLook parseLookSignature(const QString& sig);
// rPrXml: the run's rPr as read (may be empty); w: the WordprocessingML prefix ("w:").
QString patchRunProperties(const QString& rPrXml, const QString& w, const RunLook& was, const RunLook& now);

} // namespace word::ooxml
