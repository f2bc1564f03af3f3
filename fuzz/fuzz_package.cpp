// The package reader: zip and the single-file XML form, the content types,
// the relationships of every part and the resolution of their targets.

#include "fuzzsupport.h"
#include "word/error.h"
#include "word/opc/package.h"

#include <pugixml.hpp>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ensureApplication();
    try {
        auto pkg = word::opc::Package::fromBytes(fuzz::bytes(data, size), QStringLiteral("fuzz.docx"));
        for (const QString& name : pkg->partNames()) {
            FUZZ_CHECK(pkg->hasPart(name));
            pkg->contentType(name);
            for (const word::opc::Relationship& r : pkg->relationships(name))
                pkg->resolve(name, r.target);
        }
        try {
            const QString main = pkg->mainPartName();
            pugi::xml_document doc;
            pkg->parsePart(main, doc);
        } catch (const word::Error&) {
        }
        // What is written must read back as a package with the same parts.
        const auto again = word::opc::Package::fromBytes(pkg->toBytes(), QStringLiteral("again.docx"));
        FUZZ_CHECK(again->partNames().size() == pkg->partNames().size());
    } catch (const word::Error&) {
    }
    return 0;
}
