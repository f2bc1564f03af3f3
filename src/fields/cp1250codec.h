#pragma once
// Windows-1250 (Central European) text codec. Field data files travel between
// this program and its Windows counterpart, which writes them in that code page,
// and Qt's own converters do not offer it.

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace fields {

class Cp1250Codec {
public:
    // Every byte decodes: the five bytes the code page leaves unassigned come
    // back as the C1 control of the same value, as Windows itself maps them,
    // so decoding and encoding again gives the original bytes.
    static QString decode(QByteArrayView bytes);
    static bool canEncode(QStringView text);
    // Characters the code page cannot hold become '?'; check canEncode first
    // wherever that would lose something.
    static QByteArray encode(QStringView text);

private:
    static int byteFor(char16_t c);   // -1 when the code page has no such character
};

} // namespace fields
