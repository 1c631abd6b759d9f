#pragma once

#include <QDate>
#include <QDateTime>
#include <QLineEdit>
#include <QPointer>

class QCalendarWidget;

// The making-date picker: a text box that reads the whole date as typed, with a drop-down
// calendar. The text is the date: nothing moves on, completes or replaces what is typed, so
// "2026-11-3", "2026/11/03", "2026.11.3", "20261103" and "2026年11月3日" all give 3 November
// 2026. "-", "/" or "." (or Tab) jumps to the next part of a date already shown; at the end of
// the text they just separate the parts being typed. A text that names no date gives no date, is
// kept as typed and is shown in red with the reason once the box is left.
class DatePicker : public QLineEdit
{
    Q_OBJECT

public:
    explicit DatePicker(QWidget *parent = nullptr);

    // The date the text names; an invalid date when it names none.
    QDate date() const;
    // The date at 00:00: the entry form's date value.
    QDateTime dateTime() const { return QDateTime(date(), QTime(0, 0)); }
    void setDate(const QDate &date);

    // The drop-down calendar: the arrow at the right end, F4 or Alt+Down.
    bool calendarPopup() const { return m_calendarPopup; }
    void setCalendarPopup(bool on);
    void showCalendar();

    // Why the text names no date, in a sentence for the user; empty when it names one.
    QString problem() const;

    // Shows a readable text in the picker's own form ("2026-11-03"); keeps an unreadable one and
    // marks it. Returns whether the text names a date. Runs when the box is left or on Return.
    bool commit();

    // The picker's own form of a date.
    static QString textOf(const QDate &date);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void markUnreadable(bool on);
    void selectPartFrom(int start);
    void step(int by);
    void fitText();
    QRect arrowRect() const;

    bool m_calendarPopup = false;
    bool m_marked = false;
    bool m_fitting = false;
    bool m_fontShrunk = false;
    int m_arrowWidth = 0;
    QPointer<QCalendarWidget> m_calendar;
};
