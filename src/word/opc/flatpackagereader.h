#pragma once
// The single-file XML form of a package: <pkg:package> with one <pkg:part>
// per part, XML parts inline in <pkg:xmlData>, others base64 in
// <pkg:binaryData>. Read into an ordinary package under the same limits as a zip.

#include "word/opc/package.h"

namespace word::opc {

bool looksLikeFlatPackage(const QByteArray& data);

class FlatPackageReader {
public:
    explicit FlatPackageReader(Package::Impl& d) : d(d) {}
    void run();

private:
    Package::Impl& d;
};

} // namespace word::opc
