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
    const word::model::DocModel& model = doc->model();
    for (const word::model::BookmarkInfo& b : model.anchors().allBookmarks()) {
        out << escapeBookmarkText(b.name) << u'\t'
            << escapeBookmarkText(word::model::wordText(model, b.start, b.end)) << u'\n';
    }
    out.flush();
    return kExitOk;
}

} // namespace cli
