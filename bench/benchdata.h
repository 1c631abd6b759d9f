#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// The records the benchmarks work on: made up, but shaped like a laboratory's years of entries
// (Chinese parts of the works and remarks, ASCII grades, numbers and dates), the same on every run.
namespace BenchData {

// The present moment of every benchmark: records due "today" are due on this date.
QDateTime now();

// The number of records of the big file: TARVELIN_BENCH_RECORDS when set (the smoke run uses a
// small file), else kFullRecords, years of a laboratory's entries.
int recordCount();
constexpr int kFullRecords = 100000;

// The eleven fields of count records in file order, kDueToday of them due on now()'s date (spread
// evenly through the file), every other one due on another day.
QList<QStringList> records(int count);
constexpr int kDueToday = 50;

// count due times of today (busy day), none of them the present minute.
QStringList dueTimesToday(int count);

// Writes table to path as the entry form's save writes it; false when that fails.
bool makeRecordFile(const QString &path, const QList<QStringList> &table);

} // namespace BenchData
