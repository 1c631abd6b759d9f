#include "popupplacement.h"

#include <algorithm>

namespace PopupPlacement {

QPoint topLeft(const QRect &screen, const QRect &workArea, const QSize &outer, int row)
{
    // In 64 bits: a damaged exchange file may name any row.
    const qint64 screenTop = screen.y();
    const qint64 screenBottom = screenTop + screen.height();
    const qint64 strip =
        std::max<qint64>(0, screenBottom - (qint64(workArea.y()) + workArea.height()));
    const qint64 height = std::max(1, outer.height());
    const qint64 base = screenBottom - strip;
    // A row above the screen's top stands on the highest row that is wholly seen.
    const qint64 rows = std::max<qint64>(1, std::min<qint64>(row, (base - screenTop) / height));
    const qint64 top = std::max(screenTop, base - height * rows);
    const qint64 left =
        std::max<qint64>(screen.x(), qint64(screen.x()) + screen.width() - outer.width());
    return {int(left), int(top)};
}

} // namespace PopupPlacement
