// The entry form's table of every record, at its right: where it stands, and the corrections and
// deletions made in it.
#include "form2.h"

#include "clock.h"
#include "duetime.h"
#include "equivalentage.h"
#include "messages.h"
#include "recordcorrection.h"
#include "recordgridmodel.h"
#include "recordgridview.h"
#include "recordtablepanel.h"
#include "specimenrecord.h"
#include "titles.h"
#include "twips.h"
#include "windowsystem.h"
#include "windowtexts.h"

void Form2::placeTable()
{
    // The table stands right of the fields, as the caption says.
    m_table = new RecordTablePanel(m_grid, this);
    m_table->setObjectName(QStringLiteral("recordTable"));
    m_grid->setEditable(true);
    connect(m_table, &RecordTablePanel::correctionWanted, this, &Form2::correctCell);
    connect(m_table, &RecordTablePanel::deletionWanted, this, &Form2::deleteRecord);
}

void Form2::sizeTable()
{
    // As wide as the loaded records' columns want, due time and due mark in sight, where the
    // screen has the room; otherwise as wide as keeps the frame on the work area (with 8 pixels
    // to spare for a frame wider than the estimate), the columns giving way down to their texts.
    const int left = Twips::toPixels(5160);
    const int right = Twips::toPixels(60);
    const int room = WindowSystem::roomOnWorkArea(this).width() - 8;
    const int width = qMin(m_table->view()->naturalWidth(), room - left - right);
    m_table->setGeometry(left, 0, width, Twips::toPixels(HeightTwips - 105));
    setFixedSize(left + width + right, Twips::toPixels(HeightTwips));
}

RecordStore Form2::recordStore() const
{
    return RecordStore(recordPath(), RecordStore::DefaultLockWaitMs, m_services.backups);
}

QStringList Form2::storedFieldsOf(int row) const
{
    QStringList stored;
    for (int f = 0; f < SpecimenRecord::DueMark; ++f)
        stored << m_grid->textMatrix(row, SpecimenRecord::column(SpecimenRecord::Field(f)));
    return stored;
}

void Form2::showOutcome(const QString &error)
{
    if (!error.isEmpty())
        m_services.messages->show(error, Title::error(), MessageStyle::Exclamation);
    // The table shows the file as it is now, whatever happened.
    const QString readError = daoru();
    if (!readError.isEmpty())
        m_services.messages->show(readError, Title::error(), MessageStyle::Exclamation);
}

void Form2::correctCell(int row, int col, const QString &text)
{
    const auto field = SpecimenRecord::Field(col - 1);
    const QStringList stored = storedFieldsOf(row);
    QStringList corrected = stored;
    corrected[field] = text;
    // A new age or making time moves the reminder: the due time is computed again as "?" does,
    // and a due time already past is asked about as "添加" asks.
    const bool moves = field == SpecimenRecord::Age || field == SpecimenRecord::MakingDate;
    if (moves) {
        const DueTime::Outcome due =
            EquivalentAge::isMarked(corrected[SpecimenRecord::Age])
                ? equivalentDue(DueTime::makingOf(corrected[SpecimenRecord::MakingDate]))
                : DueTime::recomputed(stored, corrected);
        if (!due.ok()) {
            showOutcome(WindowText::correctionNotSaved(due.error));
            return;
        }
        if (due.dueTime < TimeText::minute(m_services.clock->now()) &&
            !m_services.messages->confirm(WindowText::dueTimePassed(due.dueTime) +
                                              WindowText::saveCorrectionAnyway(),
                                          Title::notice())) {
            showOutcome({});
            return;
        }
        corrected[SpecimenRecord::DueTime] = due.dueTime;
    }
    const QString error = RecordCorrection::correct(recordStore(), stored, corrected).error;
    showOutcome(error);
    if (moves && error.isEmpty() && corrected != stored) {
        m_services.messages->show(WindowText::dueTimeRecomputed(SpecimenRecord::texts(field).name,
                                                                corrected[SpecimenRecord::DueTime]),
                                  Title::notice(), MessageStyle::Information);
    }
}

void Form2::deleteRecord(int row)
{
    const QStringList stored = storedFieldsOf(row);
    const QString question = WindowText::deleteRecordQuestion(
        SpecimenRecord::summary(QStringList{m_grid->textMatrix(row, 0)} + stored));
    if (!m_services.messages->confirm(question, Title::confirmDelete()))
        return;
    showOutcome(RecordCorrection::remove(recordStore(), stored).error);
}
