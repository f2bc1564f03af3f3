#pragma once
// Safe XML parsing for package parts: refuses DOCTYPE (and so every entity
// trick), nesting deeper than 256 and more text than the package allows.

#include <QByteArray>
#include <QString>
#include <pugixml.hpp>

namespace word::opc {

// Parses data into doc; throws word::Error naming partName and the fault.
// A UTF-8 BOM before the declaration is accepted.
void parseXml(const QByteArray& data, pugi::xml_document& doc, const QString& partName);
QByteArray serializeXml(const pugi::xml_document& doc);

} // namespace word::opc
