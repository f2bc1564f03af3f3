#include "commands/viewcommands.h"

#include <algorithm>

namespace commands {

int zoomUp(int percent) { return std::min(kZoomMax, percent + kZoomStep); }

int zoomDown(int percent) { return std::max(kZoomMin, percent - kZoomStep); }

QString zoomMenuValue(const QString& itemName)
{
    static const std::pair<const char*, const char*> items[] = {
        {"N2001", "200"}, {"N1501", "150"}, {"N1001", "100"}, {"N751", "80"}, {"N501", "50"}};
    for (const auto& [name, value] : items) {
        if (itemName == QLatin1String(name))
            return QString::fromLatin1(value);
    }
    return {};
}

int edgeMargin(bool toolBarHorizontal) { return toolBarHorizontal ? 4 : 40; }

ZoomBoxPlacement zoomBoxPlacement(bool toolBarHorizontal)
{
    if (toolBarHorizontal)
        return {QPoint(143, 8), QPoint(172, 6)};
    return {QPoint(4, 150), QPoint(6, 172)};
}

int nextLayoutWidth(int width, int splitWidth, int clientWidth, int margin)
{
    if (width == 0)
        return splitWidth;
    if (width == splitWidth)
        return clientWidth - margin;
    return 0;
}

int complement(int value) { return ~value; }

} // namespace commands
