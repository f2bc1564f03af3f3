#pragma once
// Objects in the text as the layout sees them: floating pictures and text
// boxes (DrawingML anchors, VML shapes placed absolutely) with where their
// anchors put them and how text wraps round them; inline objects' extents;
// w:sym characters.

#include <QMarginsF>
#include <QRectF>
#include <QString>
#include <QStringList>

namespace word::layout {

struct Exclusion {
    enum Wrap { None, Square, TopBottom };
    QRectF rect;
    Wrap wrap = None;
};

struct FloatPlacement {
    QRectF rect;                 // in the coordinates of page
    Exclusion::Wrap wrap = Exclusion::None;
    QMarginsF distance;          // the room the text keeps from it
    bool behindText = false;
};

// Object XML (a run's drawing, pict or object) that floats rather than
// standing in the line.
bool isFloating(const QString& objectXml);
// paraTop: the top of the anchor paragraph; margins: the page's text area.
FloatPlacement placeFloat(const QString& objectXml, const QRectF& page, const QRectF& margins, double paraTop);
// The size an inline object without a picture takes (its extent), in units.
QSizeF inlineExtent(const QString& objectXml);
// The text of a text box, one entry per paragraph; empty when it is none.
QStringList textBoxParagraphs(const QString& objectXml);

// A w:sym character: its font and the character it shows, mapped from the
// symbol fonts' private area to Unicode where a common mapping exists.
bool isSymbol(const QString& objectXml);
QString symbolText(const QString& objectXml);
QString symbolFont(const QString& objectXml);

} // namespace word::layout
