#pragma once

#include <QString>

// The titles of the programs' message boxes, each written here once.
namespace Title {
inline QString notice()
{
    return QStringLiteral("提示");
}
inline QString error()
{
    return QStringLiteral("错误");
}
} // namespace Title
