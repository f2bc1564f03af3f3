#pragma once
// The two document settings the engine reads and writes: the attached
// template (a relationship of the settings part) and the "update styles on
// open" flag (w:linkStyles). Everything else of the part is kept as read.

#include <QByteArray>
#include <QString>

namespace word::opc { class Package; }

namespace word::ooxml {

struct SettingsInfo {
    QString attachedTemplateId;   // r:id of w:attachedTemplate, empty when none
    bool updateStyles = false;
};

SettingsInfo readSettings(const QByteArray& settingsXml, const QString& partName);

// Writes both settings into the package's settings part, creating the part
// (and its relationship) when the document has none.
void writeSettings(opc::Package& pkg, const QString& mainPart, const QString& attachedTemplate, bool updateStyles);

inline constexpr const char* kAttachedTemplateRel =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/attachedTemplate";
inline constexpr const char* kSettingsRel =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings";

} // namespace word::ooxml
