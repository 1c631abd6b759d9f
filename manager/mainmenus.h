#pragma once

class QAction;
class QMenu;
class QMenuBar;

// The main window's menu bar. Menus and items keep their names as objectName, which is also how
// tests find them; items added beside the first ones come after them in their menu.
struct MainMenus
{
    explicit MainMenus(QMenuBar *bar);

    QMenu *menu; // "菜单", also the tray icon's menu
    QAction *tscsh, *sjcsh, *end;
    QAction *kq, *bg;
    QAction *dq, *crsj, *find, *scgqsj;
    QAction *hfbf; // "从备份恢复"
    QAction *syjh; // "试验计划"
    QAction *wdjl; // "温度记录"
    QAction *sz;
    QAction *jz, *gy, *sj;
};
