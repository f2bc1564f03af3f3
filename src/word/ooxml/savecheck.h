#pragma once
// The check a save makes of its own output before the file replaces the old
// one: the package opens again, every part the save wrote parses, and the
// text and bookmarks read back from the main part and every story are the
// model's. Read back independently of the reader, so a fault of the writer
// cannot hide behind the same fault of the reader.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace word::model { class DocModel; }

namespace word::ooxml {

// Throws word::Error naming shownName and what does not match.
void verifySavedPackage(const QByteArray& packageBytes, const model::DocModel& main, const QStringList& writtenParts,
                        const QString& shownName);

} // namespace word::ooxml
