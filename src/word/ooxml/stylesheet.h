#pragma once
// Styles of a document, resolved for display: docDefaults, paragraph style
// chains (basedOn), character styles and direct formatting become Qt
// formats. Only the look is derived here; the XML itself is kept verbatim
// elsewhere and written back unchanged.

#include "word/ooxml/xmlnames.h"

#include <QHash>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <pugixml.hpp>

namespace word::ooxml {

class StyleSheet {
public:
    StyleSheet();
    // Reads a styles part; a document without one keeps Word's built-in defaults.
    void read(const QByteArray& stylesXml, const QString& partName);

    // The look of a paragraph of style styleId (empty: the default paragraph style).
    void paragraphLook(const QString& styleId, QTextBlockFormat& block, QTextCharFormat& chars) const;
    void characterStyle(const QString& styleId, QTextCharFormat& chars) const;
    // The numbering a paragraph style brings (numId, ilvl), numId empty when none.
    QString styleNumId(const QString& styleId, int* ilvl) const;

    static void applyRunProperties(const XmlNames& n, pugi::xml_node rPr, QTextCharFormat& f);
    static void applyParagraphProperties(const XmlNames& n, pugi::xml_node pPr, QTextBlockFormat& f);

private:
    struct Style {
        QString type;
        QString basedOn;
        pugi::xml_node pPr;
        pugi::xml_node rPr;
    };
    struct Look {
        QTextBlockFormat block;
        QTextCharFormat chars;
    };
    const Look& resolved(const QString& styleId, int depth) const;

    pugi::xml_document m_doc;
    XmlNames m_names;
    QHash<QString, Style> m_styles;
    QString m_defaultParagraph;
    Look m_defaults;
    mutable QHash<QString, Look> m_cache;
};

} // namespace word::ooxml
