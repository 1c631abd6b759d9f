#include "columnfit.h"

#include <algorithm>

namespace ColumnFit {

QList<int> widths(const QList<Column> &columns, int room, int limit)
{
    QList<int> natural, least;
    int total = 0, spare = 0;
    for (const Column &c : columns) {
        // A given width is kept even beyond the limit; growth stops at the limit.
        const int wanted = std::max(c.given, std::min(c.needed, std::max(limit, c.given)));
        const int floor = std::min(wanted, std::max(c.least, 1));
        natural << wanted;
        least << floor;
        total += wanted;
        spare += wanted - floor;
    }
    if (room <= 0 || total <= room || spare == 0)
        return natural;

    // Shares of the excess in proportion to each column's spare width; what rounding leaves
    // over is taken from the first columns with spare width still.
    const int excess = std::min(total - room, spare);
    QList<int> result = natural;
    int taken = 0;
    for (qsizetype i = 0; i < result.size(); ++i) {
        const int share = int(qint64(natural[i] - least[i]) * excess / spare);
        result[i] -= share;
        taken += share;
    }
    for (qsizetype i = 0; i < result.size() && taken < excess; ++i) {
        const int more = std::min(result[i] - least[i], excess - taken);
        result[i] -= more;
        taken += more;
    }
    return result;
}

} // namespace ColumnFit
