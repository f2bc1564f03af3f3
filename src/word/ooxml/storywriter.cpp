#include "word/ooxml/storywriter.h"

#include "word/model/docmodel.h"
#include "word/ooxml/docwriter.h"

#include <QHash>
#include <QSet>

namespace word::ooxml {

std::vector<WrittenPart> writeStoryParts(const model::DocModel& main, WriteIds& ids)
{
    std::vector<WrittenPart> out;
    QHash<QString, size_t> notesParts;   // part name -> index in out
    // A part none of whose stories changed since it was read or saved is kept as it is.
    QSet<QString> changed;
    for (const model::Story& s : main.stories())
        if (s.model->revision() != s.writtenRevision)
            changed.insert(s.part);
    for (const model::Story& s : main.stories()) {
        // A text box is written inside its host's object.
        if (!changed.contains(s.part) || s.kind == model::Story::TextBox)
            continue;
        const QByteArray xml = writeDocumentXml(*s.model, {}, &ids);
        const auto frame = main.storyPartFrames.constFind(s.part);
        if (frame == main.storyPartFrames.constEnd()) {
            out.push_back({s.part, xml});
            continue;
        }
        auto at = notesParts.constFind(s.part);
        if (at == notesParts.constEnd()) {
            at = notesParts.insert(s.part, out.size());
            out.push_back({s.part, frame->first});
        }
        out[*at].xml += xml;
    }
    for (auto it = notesParts.constBegin(); it != notesParts.constEnd(); ++it)
        out[*it].xml += main.storyPartFrames.value(it.key()).second;
    return out;
}

} // namespace word::ooxml
