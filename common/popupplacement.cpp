#include "popupplacement.h"

#include <algorithm>

namespace PopupPlacement {

QPoint topLeft(const QRect &screen, const QRect &workArea, const QSize &outer, int row)
{
    const int screenBottom = screen.y() + screen.height();
    const int strip = std::max(0, screenBottom - (workArea.y() + workArea.height()));
    const int left = screen.x() + screen.width() - outer.width();
    const int top = screenBottom - outer.height() * row - strip;
    return {left, top};
}

} // namespace PopupPlacement
