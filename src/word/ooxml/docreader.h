#pragma once
// Builds a DocModel from the main part of a WordprocessingML package: the
// text with its look in the QTextDocument, bookmarks and zero-width markup
// in the AnchorTable, and everything else kept verbatim for the writer.

#include <QByteArray>
#include <QString>
#include <memory>

class QTextCharFormat;

namespace word::opc { class Package; }
namespace word::model { class DocModel; }

namespace word::ooxml {

struct ReadOptions {
    QByteArray stylesOverride;   // a styles part to use instead of the document's own
};

// Fills model (which must be empty) from pkg; throws word::Error with a
// Hungarian message naming the file and what could not be read.
void readDocument(model::DocModel& model, const opc::Package& pkg, const ReadOptions& options = {});

// The look-related attributes the engine may change on a run, as a short
// string: the writer patches a run's rPr only when this differs.
QString lookSignature(const QTextCharFormat& f);

} // namespace word::ooxml
