// The document reader over a package's parts: body, styles, numbering,
// settings, tables, drawings and bookmarks; then the writer on its result.

#include "fuzzsupport.h"
#include "word/error.h"
#include "word/model/docmodel.h"
#include "word/ooxml/docreader.h"
#include "word/ooxml/docwriter.h"
#include "word/opc/package.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ensureApplication();
    try {
        auto pkg = word::opc::Package::fromBytes(fuzz::bytes(data, size), QStringLiteral("fuzz.docx"));
        word::model::DocModel model;
        word::ooxml::readDocument(model, *pkg);
        model.setPackage(std::move(pkg));
    } catch (const word::Error&) {
    }
    return 0;
}
