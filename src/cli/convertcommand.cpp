#include "cli/convertcommand.h"

#include "cli/command.h"
#include "word/application.h"
#include "word/document.h"

namespace cli {

int convertCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 2) {
        err << QStringLiteral("Használat: quillora-cli convert BEMENET KIMENET") << Qt::endl;
        return kExitUsage;
    }
    word::Application app;
    word::Document* doc = app.Documents().Open(args[0]);
    doc->SaveAs(args[1]);
    return kExitOk;
}

} // namespace cli
