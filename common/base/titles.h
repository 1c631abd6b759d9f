#pragma once

#include <QString>

// The titles of the programs' message boxes, each written here once.
namespace Title {
// Notices, and most questions.
inline QString notice()
{
    return QStringLiteral("提示");
}
// Failures.
inline QString error()
{
    return QStringLiteral("错误");
}
// The popup's failures.
inline QString popupError()
{
    return QStringLiteral("错误提示");
}
// The entry form's records added.
inline QString information()
{
    return QStringLiteral("信息");
}
// Before records leave the record file.
inline QString confirmDelete()
{
    return QStringLiteral("确认删除");
}
// Before a row leaves the main window's list only.
inline QString confirmRemove()
{
    return QStringLiteral("确认移除");
}
// The help menu's "关于".
inline QString about()
{
    return QStringLiteral("此版本信息");
}
} // namespace Title
