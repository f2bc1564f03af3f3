#include "cli/bookmarkscommand.h"
#include "cli/options.h"

#include "cli/command.h"
#include "word/application.h"
#include "word/document.h"
#include "word/model/docmodel.h"
#include "word/model/textaccess.h"

namespace cli {

QString escapeBookmarkText(const QString& text)
{
    return escapeLine(text);
}

int bookmarksCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 1) {
        err << QStringLiteral("Használat: quillora-cli bookmarks FÁJL") << Qt::endl;
        return kExitUsage;
    }
    word::Application app;
    const word::Document* doc = app.Documents().Open(args[0]);
    // The main text in document order, then headers, footers, notes,
    // comments and text boxes in the order the document refers to them.
    const auto list = [&out](const word::model::DocModel& model) {
        for (const word::model::BookmarkInfo& b : model.anchors().allBookmarks())
            out << escapeBookmarkText(b.name) << u'\t'
                << escapeBookmarkText(word::model::wordText(model, b.start, b.end)) << u'\n';
    };
    list(doc->model());
    for (const word::model::Story& s : doc->model().stories())
        list(*s.model);
    out.flush();
    return kExitOk;
}

} // namespace cli
