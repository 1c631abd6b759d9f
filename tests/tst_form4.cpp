#include "fakes.h"
#include "form1.h"
#include "form4.h"
#include "platformtexts.h"
#include "recordfile.h"
#include "testfiles.h"
#include "titles.h"
#include "windowtexts.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class TestForm4 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void intervalReadings_data();
    void intervalReadings();
    void applyRestartsStoppedMonitor();
    void closeBoxDiscardsTypedText();
    void settingsMenuShowsKeptWindowModally();
    void autostartFollowsCheckBox();
    void autostartFailureIsReported();

private:
    Form1 *start();
    void apply(Form4 *form, const QString &text);
    QString entryPath() const
    {
        return m_home->filePath(QStringLiteral("config/autostart/tarvelin.desktop"));
    }

    QTemporaryDir *m_dir = nullptr;
    QTemporaryDir *m_home = nullptr;
    QByteArray m_oldHome, m_oldConfig;
    FakeClock m_clock{QDateTime(QDate(2026, 12, 6), QTime(8, 0))};
    RecordingMessages m_messages;
    Form1 *m_window = nullptr;
};

void TestForm4::init()
{
    m_dir = new QTemporaryDir;
    m_home = new QTemporaryDir;
    m_messages.shown.clear();
    // The autostart entry goes to a temporary home, never the real one.
    m_oldHome = qgetenv("HOME");
    m_oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", m_home->path().toUtf8());
    qputenv("XDG_CONFIG_HOME", m_home->filePath(QStringLiteral("config")).toUtf8());
}

void TestForm4::cleanup()
{
    delete m_window;
    m_window = nullptr;
    qputenv("HOME", m_oldHome);
    qputenv("XDG_CONFIG_HOME", m_oldConfig);
    delete m_home;
    delete m_dir;
}

Form1 *TestForm4::start()
{
    const QStringList record = {
        "甲", "C30", "P-01", "2026-12-1 8:30", "5", "2026-12-06 09:05", "标准养护", "1",
        "3",  "",    ""};
    makeRecordFile(m_dir->filePath(QStringLiteral("a.bz")), {record, QStringList(11)});
    ManagerServices services{m_dir->path(), &m_clock, &m_messages, {}};
    m_window = new Form1(services);
    m_window->Form_Load();
    return m_window;
}

void TestForm4::apply(Form4 *form, const QString &text)
{
    form->findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(text);
    form->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
}

void TestForm4::intervalReadings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("interval"); // 0: the monitor stops
    QTest::newRow("start value") << QStringLiteral("5000") << 5000;
    QTest::newRow("letters after digits") << QStringLiteral("2000ms") << 2000;
    QTest::newRow("letters only") << QStringLiteral("ms") << 0;
    QTest::newRow("blanks inside") << QStringLiteral(" 3 000 ") << 3000;
    QTest::newRow("half to even, down") << QStringLiteral("2500.5") << 2500;
    QTest::newRow("half to even, up") << QStringLiteral("2501.5") << 2502;
    QTest::newRow("zero") << QStringLiteral("0") << 0;
}

void TestForm4::intervalReadings()
{
    QFETCH(QString, text);
    QFETCH(int, interval);
    Form1 *w = start();
    Form4 *form = w->form4();
    form->show();
    apply(form, text);

    QCOMPARE(m_messages.shown.size(), 1);
    QCOMPARE(m_messages.lastText(), WindowText::intervalAdvice());
    QCOMPARE(m_messages.shown.last().title, Title::notice());
    QCOMPARE(m_messages.shown.last().style, MessageStyle::Plain);
    QCOMPARE(w->timer1()->isActive(), interval != 0);
    QCOMPARE(w->findChild<QAction *>(QStringLiteral("bg"))->isEnabled(), interval != 0);
    if (interval != 0)
        QCOMPARE(w->timer1()->interval(), interval);
    // Hidden, not discarded: the text is what the monitor reads next.
    QVERIFY(!form->isVisible());
    QCoreApplication::processEvents();
    QCOMPARE(w->form4(), form);
    QCOMPARE(form->intervalText(), text);
}

void TestForm4::applyRestartsStoppedMonitor()
{
    Form1 *w = start();
    w->findChild<QAction *>(QStringLiteral("bg"))->trigger();
    QVERIFY(!w->timer1()->isActive());
    apply(w->form4(), QStringLiteral("3000"));
    QVERIFY(w->timer1()->isActive());
    QCOMPARE(w->timer1()->interval(), 3000);
    // The 运行 menu tells that it runs again.
    QVERIFY(!w->findChild<QAction *>(QStringLiteral("kq"))->isEnabled());
    QVERIFY(w->findChild<QAction *>(QStringLiteral("bg"))->isEnabled());
}

void TestForm4::closeBoxDiscardsTypedText()
{
    Form1 *w = start();
    QPointer<Form4> form = w->form4();
    form->show();
    form->findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QStringLiteral("3000"));
    form->close();
    QTRY_VERIFY(!form);
    QCOMPARE(w->timer1()->interval(), 5000);
    QCOMPARE(w->form4()->intervalText(), QStringLiteral("5000"));
    QVERIFY(m_messages.shown.isEmpty());
}

void TestForm4::settingsMenuShowsKeptWindowModally()
{
    Form1 *w = start();
    QList<Form4 *> seen;
    auto pressSet = [&] {
        const auto closeModal = qScopeGuard([] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->hide();
        });
        auto *form = qobject_cast<Form4 *>(QApplication::activeModalWidget());
        QVERIFY(form);
        seen << form;
        if (seen.size() == 1)
            apply(form, QStringLiteral("4000"));
    };
    for (int run = 0; run < 2; ++run) {
        QTimer::singleShot(0, this, pressSet);
        w->findChild<QAction *>(QStringLiteral("sz"))->trigger();
    }
    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen[0], seen[1]);
    QCOMPARE(w->form4()->intervalText(), QStringLiteral("4000"));
    QCOMPARE(w->timer1()->interval(), 4000);
}

void TestForm4::autostartFollowsCheckBox()
{
#ifdef Q_OS_WIN
    QSKIP("The Windows registration goes to the registry.");
#else
    Form1 *w = start();
    Form4 *form = w->form4();
    auto *check1 = form->findChild<QCheckBox *>(QStringLiteral("Check1"));
    form->show();
    QVERIFY(!check1->isChecked());

    check1->click();
    QVERIFY(check1->isChecked());
    QVERIFY(QFileInfo(entryPath()).isFile());
    QVERIFY(readFile(entryPath())
                .contains("\nExec=" + QCoreApplication::applicationFilePath().toUtf8() + "\n"));

    check1->click();
    QVERIFY(!check1->isChecked());
    QVERIFY(!QFileInfo::exists(entryPath()));
    QVERIFY(m_messages.shown.isEmpty());

    // Opening the window shows whether this very program is registered, whoever registered it:
    // an entry left by a copy elsewhere starts nothing.
    const QByteArray head = "[Desktop Entry]\nType=Application\nExec=";
    for (const QString &exec :
         {QCoreApplication::applicationFilePath(), QStringLiteral("/opt/Tarvelin")}) {
        form->hide();
        writeFile(entryPath(), head + exec.toUtf8() + "\n");
        form->show();
        QCOMPARE(check1->isChecked(), exec != QLatin1String("/opt/Tarvelin"));
    }
    // Ticking replaces the stale entry with one for this program.
    check1->click();
    QVERIFY(check1->isChecked());
    QVERIFY(readFile(entryPath()).contains(QCoreApplication::applicationFilePath().toUtf8()));
#endif
}

void TestForm4::autostartFailureIsReported()
{
#ifdef Q_OS_WIN
    QSKIP("The Windows registration goes to the registry.");
#else
    // A file where the autostart folder belongs.
    QVERIFY(QDir().mkpath(m_home->filePath(QStringLiteral("config"))));
    writeFile(m_home->filePath(QStringLiteral("config/autostart")), "x");
    Form1 *w = start();
    Form4 *form = w->form4();
    auto *check1 = form->findChild<QCheckBox *>(QStringLiteral("Check1"));
    form->show();
    check1->click();
    QVERIFY(!check1->isChecked());
    QCOMPARE(m_messages.shown.size(), 1);
    QVERIFY(m_messages.lastText().endsWith(PlatformText::autostartNotSet()));
    QCOMPARE(m_messages.shown.last().title, Title::error());
    QCOMPARE(m_messages.shown.last().style, MessageStyle::Exclamation);
#endif
}

QTEST_MAIN(TestForm4)
#include "tst_form4.moc"
