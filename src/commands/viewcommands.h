#pragma once
// The arithmetic of the view commands: zoom steps, the edge margin beside the
// document, the next layout of "Nézet váltás" and the complement that toggles
// bold and italic. Kept apart from the window so that it is tested alone.

#include <QPoint>
#include <QString>

namespace commands {

inline constexpr int kZoomStep = 10;
inline constexpr int kZoomMin = 40;
inline constexpr int kZoomMax = 200;

// The spin button's steps: up by 10 to at most 200, down by 10 to at least 40.
int zoomUp(int percent);
int zoomDown(int percent);

// The zoom box text of a zoom menu item ("N2001" gives "200"); empty for other names.
QString zoomMenuValue(const QString& itemName);

// The margin left beside the document in the document-only layout: 4 pixels
// with the tool bar at the top or bottom of the window, 40 at a side.
int edgeMargin(bool toolBarHorizontal);

// Where the zoom box and its spin button stand inside the tool bar, which the
// user may dock at any edge: along a horizontal bar (top or bottom) or down a
// vertical one (left or right).
// The holder of both in the bar: where it starts along the bar, its length and
// its thickness across.
inline constexpr int kZoomBoxStart = 140;
inline constexpr int kZoomBoxLength = 60;
inline constexpr int kZoomBoxThickness = 36;
struct ZoomBoxPlacement {
    QPoint edit;    // top left of Edit1
    QPoint spin;    // top left of spb1
};
ZoomBoxPlacement zoomBoxPlacement(bool toolBarHorizontal);

// The next width of the document panel for "Nézet váltás": fields only (0)
// goes to split, split goes to document only, anything else to fields only.
int nextLayoutWidth(int width, int splitWidth, int clientWidth, int margin);

// Word's toggle of a font attribute read as -1, 0 or another number: every
// bit inverted, so -1 and 0 swap and n becomes -n-1.
int complement(int value);

} // namespace commands
