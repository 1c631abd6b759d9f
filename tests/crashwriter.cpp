// Saves a file over and over until it is killed; the crash-consistency test kills it at random
// moments and checks what is left on disk.
//
//   crashwriter record <a.bz>      the store's rewrite into crashTableA() and crashTableB() in turn
//   crashwriter journal <file>      a reminder of one more record after another, into the journal
//                                   whose month file is <file>
//   crashwriter exchange <vexa.ini> free slot 1|1; then fill it with record A, claim it, free
//                                   it; the same with record B; and so on
//
// Prints "ready" once the first save is done, so that the test kills it only inside its loop.
#include "crashcontents.h"
#include "reminderjournal.h"
#include "reminderslots.h"
#include "testfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {
void ready()
{
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
}

int fail(const QString &why)
{
    std::fprintf(stderr, "%s\n", qPrintable(why));
    return 1;
}

int saveRecordsForever(const QString &path)
{
    const RecordStore store(path);
    const QList<QStringList> tables[] = {CrashContents::tableA(), CrashContents::tableB()};
    for (quint64 round = 0;; ++round) {
        const RecordStore::Outcome saved = rewriteTable(store, tables[round % 2]);
        if (!saved.ok())
            return fail(saved.error);
        if (round == 0)
            ready();
    }
}

int remindForever(const QString &dayFile)
{
    ReminderJournal journal(QFileInfo(QFileInfo(dayFile).path()).path());
    const QStringList problems = journal.loadAll();
    if (!problems.isEmpty())
        return fail(problems.join(u'\n'));
    const QDateTime when(QDate(2026, 12, 6), QTime(9, 5));
    const qsizetype first = journal.size();
    for (qsizetype n = first;; ++n) {
        const QString key = CrashContents::journalKey(n);
        const QString error = journal.remind(key, ReminderJournal::How::Popup, when);
        if (!error.isEmpty())
            return fail(error);
        if (journal.fileOf(key) != dayFile)
            return fail(QStringLiteral("written to ") + journal.fileOf(key));
        if (n == first)
            ready();
    }
}

int cycleSlotForever(const QString &path)
{
    const ReminderSlots exchange(path);
    const QStringList records[] = {CrashContents::recordA(), CrashContents::recordB()};
    // A writer killed between its claim and its release left the slot held, as a popup that
    // was killed does; free it first, as the reset would.
    const ProfileFile::Outcome freedFirst = exchange.release(CrashContents::slot());
    if (!freedFirst.ok)
        return fail(freedFirst.error);
    for (quint64 round = 0;; ++round) {
        // The freed slot is the first of the file, so it is the one filled.
        const ReminderSlots::Found filled = exchange.fillFirstFree(records[round % 2]);
        if (filled.slot != CrashContents::slot())
            return fail(QStringLiteral("filled “%1”: %2").arg(filled.slot, filled.error));
        if (round == 0)
            ready();
        const ReminderSlots::Found claimed = exchange.claim();
        if (claimed.slot != CrashContents::slot())
            return fail(QStringLiteral("claimed “%1”: %2").arg(claimed.slot, claimed.error));
        const ProfileFile::Outcome freed = exchange.release(claimed.slot);
        if (!freed.ok)
            return fail(freed.error);
    }
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return fail(QStringLiteral("usage: crashwriter record|journal|exchange <path>"));
    if (args[1] == QLatin1String("record"))
        return saveRecordsForever(args[2]);
    if (args[1] == QLatin1String("journal"))
        return remindForever(args[2]);
    if (args[1] == QLatin1String("exchange"))
        return cycleSlotForever(args[2]);
    return fail(QStringLiteral("unknown mode %1").arg(args[1]));
}
