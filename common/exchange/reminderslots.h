#pragma once

#include "profilefile.h"
#include "specimenrecord.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

// The reminder slots of the exchange file vexa.ini. A slot is a section named "layer|row" (both
// positive whole numbers, no sign, blanks or leading zeros) holding the show flag 是否显示 and the
// eleven fields of one record. The manager fills a free slot and starts vexa; vexa claims the
// first free slot ("1") and frees it ("0") when its window closes. Sections of any other name are
// not slots and are ignored.
class ReminderSlots
{
public:
    explicit ReminderSlots(QString path);
    const QString &path() const { return m_file.path(); }

    static constexpr int Layers = 5;
    // Screen height, in twips, counted per row of popup windows.
    static constexpr int RowTwips = 2790;

    static QString flagKey(); // 是否显示
    // The twelve keys in the order the reset writes them, the flag first.
    static const QStringList &resetKeys();
    // The eleven fields of a slot in the order the dispatcher writes them, and their keys.
    static const QList<SpecimenRecord::Field> &recordFields();
    static const QStringList &recordKeys();
    // The eleven record keys in the order the popup lists them.
    static const QStringList &popupKeys();

    struct Slot
    {
        int layer = 0;
        int row = 0;
    };
    static std::optional<Slot> parseName(const QString &name);
    static QString name(int layer, int row);

    // A slot is free when its flag reads as the number zero; an empty flag or one that is not a
    // number is not free.
    static bool isFreeFlag(const QString &flag);

    // Rows per layer for a screen height: height / 2790 rounded half to even, minus one. Below 1
    // there are no slots.
    static int rowsPerLayer(int screenHeightTwips);
    // The whole file for rows per layer: five layers of slots, every key "0", CR LF after every
    // line; byte for byte what single-key writes in reset order leave on an empty file.
    static QByteArray resetBytes(int rows);

    // The first free slot of data in file order, not in skip; empty when there is none.
    static QString firstFreeIn(QByteArrayView data, const QSet<QString> &skip = {});

    struct Found
    {
        QString slot;      // empty when none was found
        QString error;     // set when the file could not be read or written
        bool busy = false; // the lock stayed held by another process for the whole wait
    };

    // The first free slot. A missing file has none.
    Found firstFree(const QSet<QString> &skip = {}) const;
    // Finds the first free slot not in skip and writes the eleven values (in recordKeys() order)
    // into it in one replacement of the file, under one hold of the lock, waiting up to
    // lockWaitMs for it.
    Found fillFirstFree(const QStringList &values, const QSet<QString> &skip = {},
                        int lockWaitMs = ProfileFile::DefaultLockWaitMs) const;
    // Finds the first free slot and writes "1" into its flag, under one hold of the lock, so that
    // two processes never claim the same slot.
    Found claim() const;
    // Claims the named slot, the one the manager filled for this popup, when its flag is still
    // free; otherwise error says why and nothing is written.
    Found claim(const QString &slot) const;
    // Writes "0" into the flag of slot.
    ProfileFile::Outcome release(const QString &slot) const;
    // Values of keys in slot, read from one snapshot of the file.
    QStringList values(const QString &slot, const QStringList &keys) const;

    // Replaces the file by resetBytes(rows), or deletes it when rows is below 1. A failed write
    // leaves the old file as it was.
    ProfileFile::Outcome reset(int rows) const;

private:
    Found writeFirstFree(const QSet<QString> &skip, const QList<ProfileFile::Entry> &entries,
                         int lockWaitMs = ProfileFile::DefaultLockWaitMs) const;
    static QList<ProfileFile::Entry> recordEntries(const QStringList &values);

    ProfileFile m_file;
};
