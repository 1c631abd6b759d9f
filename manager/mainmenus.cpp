#include "mainmenus.h"

#include <QMenu>
#include <QMenuBar>

namespace {
QMenu *addMenu(QMenuBar *bar, QMenu *parent, const char *name, const QString &caption)
{
    QMenu *m = parent ? parent->addMenu(caption) : bar->addMenu(caption);
    m->setObjectName(QLatin1String(name));
    m->menuAction()->setObjectName(QLatin1String(name));
    return m;
}

QAction *addItem(QMenu *parent, const char *name, const QString &caption)
{
    QAction *a = parent->addAction(caption);
    a->setObjectName(QLatin1String(name));
    return a;
}

void addSeparator(QMenu *parent, const char *name)
{
    parent->addSeparator()->setObjectName(QLatin1String(name));
}
} // namespace

MainMenus::MainMenus(QMenuBar *bar)
{
    menu = addMenu(bar, nullptr, "menu", QStringLiteral("菜单"));
    QMenu *csh = addMenu(bar, menu, "csh", QStringLiteral("初始化"));
    tscsh = addItem(csh, "tscsh", QStringLiteral("提示初始化"));
    sjcsh = addItem(csh, "sjcsh", QStringLiteral("数据初始化"));
    addSeparator(menu, "sssssssssssss");
    end = addItem(menu, "end", QStringLiteral("退出"));

    QMenu *yx = addMenu(bar, nullptr, "yx", QStringLiteral("运行"));
    kq = addItem(yx, "kq", QStringLiteral("开启提醒"));
    addSeparator(yx, "y4");
    bg = addItem(yx, "bg", QStringLiteral("停止提醒"));

    QMenu *sjbj = addMenu(bar, nullptr, "sjbj", QStringLiteral("数据编辑"));
    dq = addItem(sjbj, "dq", QStringLiteral("读取数据"));
    addSeparator(sjbj, "y1");
    crsj = addItem(sjbj, "crsj", QStringLiteral("插入数据"));
    addSeparator(sjbj, "y2");
    find = addItem(sjbj, "find", QStringLiteral("查找数据"));
    addSeparator(sjbj, "y3");
    scgqsj = addItem(sjbj, "scgqsj", QStringLiteral("删除过期数据"));
    addSeparator(sjbj, "y5");
    hfbf = addItem(sjbj, "hfbf", QStringLiteral("从备份恢复"));
    syjh = addItem(sjbj, "syjh", QStringLiteral("试验计划"));
    wdjl = addItem(sjbj, "wdjl", QStringLiteral("温度记录"));

    QMenu *rjsz = addMenu(bar, nullptr, "rjsz", QStringLiteral("软件设置"));
    sz = addItem(rjsz, "sz", QStringLiteral("设置"));

    QMenu *bz = addMenu(bar, nullptr, "bz", QStringLiteral("帮助"));
    jz = addItem(bz, "jz", QStringLiteral("捐助"));
    gy = addItem(bz, "gy", QStringLiteral("关于"));
    sj = addItem(bz, "sj", QStringLiteral("提供建议/升级"));
}
