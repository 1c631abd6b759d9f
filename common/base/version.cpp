#include "version.h"

// TARVELIN_VERSION comes from common/CMakeLists.txt.
QString Version::text()
{
    return QStringLiteral(TARVELIN_VERSION);
}
