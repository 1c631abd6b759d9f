#pragma once

#include <QIcon>
#include <QString>

// The application icon from the resources both programs compile in (assets/tarvelin.qrc), one
// image per size so that no size is scaled from another.
inline QIcon tarvelinIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1/tarvelin.png").arg(size), QSize(size, size));
    return icon;
}
