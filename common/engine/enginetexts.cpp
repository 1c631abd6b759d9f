#include "enginetexts.h"

namespace EngineText {

QString glance(int todayLeft, int overdue)
{
    return QStringLiteral("今天待试验 %1 批，逾期未试 %2 批").arg(todayLeft).arg(overdue);
}

} // namespace EngineText
