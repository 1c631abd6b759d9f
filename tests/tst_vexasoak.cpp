// Many reminders at once: 50 real vexa processes started together against 25 free slots, five
// rounds. No slot may be claimed twice, every process either claims a slot or says it found none,
// and the exchange file stays whole.
#include "exchangecheck.h"
#include "exchangetexts.h"
#include "handoff.h"
#include "reminderslots.h"
#include "testfiles.h"

#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <vector>

namespace {
constexpr int kRounds = 5;
constexpr int kPopups = 50;
constexpr int kRows = 5; // five layers of five rows: 25 slots
constexpr int kSlots = ReminderSlots::Layers * kRows;
// A safety net only: the test ends every popup itself once all have reported.
constexpr int kQuitAfterMs = 300000;

struct Popup
{
    std::unique_ptr<QProcess> process;
    QByteArray out;
    QByteArray err;

    QString claimed() const { return QString::fromLocal8Bit(out).trimmed(); }
    bool failed() const
    {
        return QString::fromLocal8Bit(err).contains(ExchangeText::popupFailed());
    }
    // Claimed a slot (its name and a line break printed) or reported that it found none.
    bool reported() const { return out.endsWith('\n') || failed(); }
};
} // namespace

class TestVexaSoak : public QObject
{
    Q_OBJECT

private slots:
    void fiftyPopupsAgainstTwentyFiveSlots();

private:
    QTemporaryDir m_dir;
};

void TestVexaSoak::fiftyPopupsAgainstTwentyFiveSlots()
{
    QVERIFY(m_dir.isValid());
    const QString path = m_dir.filePath(QStringLiteral("vexa.ini"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QLatin1String(Handoff::DataFolderVariable), m_dir.path());
    env.insert(QLatin1String(Handoff::QuitAfterVariable), QString::number(kQuitAfterMs));

    int started = 0;
    for (int round = 1; round <= kRounds; ++round) {
        QVERIFY(ReminderSlots(path).reset(kRows).ok);
        std::vector<Popup> popups(kPopups);
        for (Popup &popup : popups) {
            popup.process = std::make_unique<QProcess>();
            popup.process->setProcessEnvironment(env);
            popup.process->start(QStringLiteral(VEXA_PATH), {});
        }
        for (Popup &popup : popups)
            QVERIFY(popup.process->waitForStarted(60000));
        started += kPopups;

        auto allReported = [&popups] {
            bool all = true;
            for (Popup &popup : popups) {
                popup.out += popup.process->readAllStandardOutput();
                popup.err += popup.process->readAllStandardError();
                all = all && popup.reported();
            }
            return all;
        };
        const bool done = QTest::qWaitFor(allReported, 240000);

        QSet<QString> claimed;
        int failures = 0;
        for (const Popup &popup : popups) {
            QVERIFY2(popup.reported(), qPrintable(QStringLiteral("round %1: a popup neither "
                                                                 "claimed a slot nor failed: %2")
                                                      .arg(round)
                                                      .arg(QString::fromLocal8Bit(popup.err))));
            if (popup.failed()) {
                QVERIFY(popup.out.isEmpty());
                ++failures;
                continue;
            }
            const QString slot = popup.claimed();
            QVERIFY2(ReminderSlots::parseName(slot), qPrintable(slot));
            QVERIFY2(
                !claimed.contains(slot),
                qPrintable(QStringLiteral("round %1: slot %2 claimed twice").arg(round).arg(slot)));
            claimed.insert(slot);
        }
        QVERIFY(done);
        // Every slot went to exactly one popup; the other popups said so.
        QCOMPARE(claimed.size(), kSlots);
        QCOMPARE(failures, kPopups - kSlots);

        const QByteArray file = readFile(path);
        QString why;
        QVERIFY2(isWellFormedExchange(file, kSlots, &why), qPrintable(why));
        for (const QString &slot : std::as_const(claimed)) {
            QCOMPARE(ProfileFile::valueIn(file, slot, ReminderSlots::flagKey()),
                     QStringLiteral("1"));
        }

        // End them all: those holding a slot and those still showing the failure message.
        for (Popup &popup : popups) {
            popup.process->kill();
            popup.process->waitForFinished(30000);
        }
    }
    qInfo("%d popups started in %d rounds", started, kRounds);
}

QTEST_GUILESS_MAIN(TestVexaSoak)
#include "tst_vexasoak.moc"
