#pragma once

#include "services.h"

// "提示初始化": rebuilds vexa.ini with five layers of free slots sized to the screen height, and
// tells the user how it went.
class ReminderReset
{
public:
    ReminderReset(const ManagerServices &services, int screenHeightTwips);

    void tscsh_Click() const;

    // The primary screen's height in twips (logical pixels x 15); 0 without a screen.
    static int primaryScreenHeightTwips();

private:
    const ManagerServices &m_services;
    int m_screenHeightTwips;
};
