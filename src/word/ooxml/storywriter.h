#pragma once
// Writes the stories of a document (headers, footers, notes, comments) back
// to their parts: a header or footer from its model, a notes or comments part
// from the models of its notes, in the order they were read.

#include <QByteArray>
#include <QString>
#include <vector>

namespace word::opc { class Package; }
namespace word::model { class DocModel; }

namespace word::ooxml {

struct WriteIds;

struct WrittenPart {
    QString name;
    QByteArray xml;
};

// The XML of every story part of main with a story changed since it was read or saved.
std::vector<WrittenPart> writeStoryParts(const model::DocModel& main, WriteIds& ids);

} // namespace word::ooxml
