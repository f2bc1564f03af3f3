#include "word/ooxml/settingspart.h"

#include "word/ooxml/xmlnames.h"
#include "word/opc/package.h"
#include "word/opc/xmllimits.h"

#include <QUrl>
#include <cstring>

namespace word::ooxml {

namespace {

// Children of w:settings that the schema puts before w:attachedTemplate.
bool precedesTemplate(const char* l)
{
    static const char* const names[] = {"writeProtection", "view", "zoom", "removePersonalInformation",
        "removeDateAndTime", "doNotDisplayPageBoundaries", "displayBackgroundShape", "printPostScriptOverText",
        "printFractionalCharacterWidth", "printFormsData", "embedTrueTypeFonts", "embedSystemFonts",
        "saveSubsetFonts", "saveFormsData", "mirrorMargins", "alignBordersAndEdges", "bordersDoNotSurroundHeader",
        "bordersDoNotSurroundFooter", "gutterAtTop", "hideSpellingErrors", "hideGrammaticalErrors",
        "activeWritingStyle", "proofState", "formsDesign"};
    for (const char* n : names)
        if (std::strcmp(n, l) == 0)
            return true;
    return false;
}

const char* kEmptySettings =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
    "<w:settings xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"/>";

QString templateTarget(const QString& path)
{
    // Word writes the attached template as a file URL.
    return path.contains(u"://") ? path : QUrl::fromLocalFile(path).toString();
}

} // namespace

SettingsInfo readSettings(const QByteArray& settingsXml, const QString& partName)
{
    SettingsInfo info;
    pugi::xml_document doc;
    opc::parseXml(settingsXml, doc, partName);
    const pugi::xml_node root = doc.document_element();
    const XmlNames n(root);
    info.attachedTemplateId = XmlNames::attrText(n.child(root, "attachedTemplate"), "id");
    info.updateStyles = XmlNames::onOff(n.child(root, "linkStyles"), false);
    return info;
}

void writeSettings(opc::Package& pkg, const QString& mainPart, const QString& attachedTemplate, bool updateStyles)
{
    QString part;
    for (const opc::Relationship& r : pkg.relationships(mainPart))
        if (!r.external && r.type.endsWith(u"/settings"))
            part = pkg.resolve(mainPart, r.target);
    const bool exists = !part.isEmpty() && pkg.hasPart(part);
    if (!exists && attachedTemplate.isEmpty() && !updateStyles)
        return;
    if (part.isEmpty()) {
        part = mainPart.section(u'/', 0, -2) + QStringLiteral("/settings.xml");
        if (part.startsWith(u'/'))
            part.remove(0, 1);
        pkg.addRelationship(mainPart, QString::fromLatin1(kSettingsRel), part.section(u'/', -1));
    }
    pugi::xml_document doc;
    opc::parseXml(exists ? pkg.part(part) : QByteArray(kEmptySettings), doc, part);
    pugi::xml_node root = doc.document_element();
    XmlNames n(root);
    std::string w = n.prefix();
    if (!n.found()) {
        root.append_attribute("xmlns:w").set_value(kWordNs);
        w = "w:";
    }
    std::string r = n.relPrefix();
    if (r.empty() || !root.attribute(("xmlns:" + r.substr(0, r.size() - 1)).c_str())) {
        if (!root.attribute("xmlns:r"))
            root.append_attribute("xmlns:r").set_value(kRelNs);
        r = "r:";
    }
    root.remove_child(n.child(root, "attachedTemplate"));
    root.remove_child(n.child(root, "linkStyles"));
    pugi::xml_node after;
    for (pugi::xml_node c = root.first_child(); c; c = c.next_sibling()) {
        const char* l = n.local(c);
        if (l && precedesTemplate(l))
            after = c;
    }
    auto place = [&](const char* local) {
        const std::string q = w + local;
        pugi::xml_node e = after ? root.insert_child_after(q.c_str(), after) : root.prepend_child(q.c_str());
        after = e;
        return e;
    };
    if (!attachedTemplate.isEmpty()) {
        const QString id = pkg.addRelationship(part, QString::fromLatin1(kAttachedTemplateRel),
                                               templateTarget(attachedTemplate), true);
        place("attachedTemplate").append_attribute((r + "id").c_str()).set_value(id.toUtf8().constData());
    }
    if (updateStyles)
        place("linkStyles");
    pkg.setPart(part, opc::serializeXml(doc),
                QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml"));
}

} // namespace word::ooxml
