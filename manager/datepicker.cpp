#include "datepicker.h"

#include "windowtexts.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {
// Narrower than this the arrow cannot be seen; wider it only takes room from the text.
constexpr int kMinArrow = 7;
constexpr int kMaxArrow = 12;
// QLineEdit keeps this much between its frame and the text on either side, and one pixel for
// the cursor.
constexpr int kTextMargins = 2 * 2 + 1;

bool isSeparator(QChar c)
{
    return QStringView(u"-/.－／．。年月").contains(c);
}

struct Reading
{
    QDate date;
    QString problem;
};

Reading read(const QString &typed)
{
    // Full-width digits and blanks come from Chinese input methods.
    QString text;
    for (QChar c : typed) {
        if (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19)
            text.append(QChar(u'0' + (c.unicode() - 0xFF10)));
        else if (c.unicode() == 0x3000)
            text.append(QLatin1Char(' '));
        else if (isSeparator(c))
            text.append(QLatin1Char('-'));
        else
            text.append(c);
    }
    text = text.trimmed();
    if (text.endsWith(u'日'))
        text.chop(1);
    if (text.isEmpty())
        return {{}, WindowText::makingDateMissing()};

    static const QRegularExpression parts(
        QStringLiteral("^([1-9][0-9]{3})(?: *- *| +)([0-9]{1,2})(?: *- *| +)([0-9]{1,2}) *$"
                       "|^([1-9][0-9]{3})([0-9]{2})([0-9]{2})$"));
    const QRegularExpressionMatch match = parts.match(text);
    if (!match.hasMatch()) {
        return {{}, WindowText::makingDateUnreadable(typed)};
    }
    const int first = match.hasCaptured(1) ? 1 : 4;
    const int year = match.captured(first).toInt();
    const int month = match.captured(first + 1).toInt();
    const int day = match.captured(first + 2).toInt();
    if (month < 1 || month > 12) {
        return {{}, WindowText::monthOutOfRange(typed, month)};
    }
    const QDate date(year, month, day);
    if (!date.isValid()) {
        return {{}, WindowText::dayMissing(typed, year, month, day)};
    }
    return {date, {}};
}

// The first separator at or after from, or -1.
int separatorFrom(const QString &text, int from)
{
    for (int i = qMax(from, 0); i < text.size(); ++i) {
        if (isSeparator(text[i]))
            return i;
    }
    return -1;
}

// The last separator before `before`, or -1.
int separatorBefore(const QString &text, int before)
{
    for (int i = qMin(before, int(text.size())) - 1; i >= 0; --i) {
        if (isSeparator(text[i]))
            return i;
    }
    return -1;
}

int separatorCount(const QString &text)
{
    return int(std::count_if(text.begin(), text.end(), isSeparator));
}
} // namespace

DatePicker::DatePicker(QWidget *parent) : QLineEdit(parent)
{
    // Once marked, the mark goes as soon as the text names a date again.
    connect(this, &QLineEdit::textEdited, this, [this] {
        if (m_marked && date().isValid())
            markUnreadable(false);
    });
}

QString DatePicker::textOf(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QDate DatePicker::date() const
{
    return read(text()).date;
}

QString DatePicker::problem() const
{
    return read(text()).problem;
}

void DatePicker::setDate(const QDate &date)
{
    setText(textOf(date));
    markUnreadable(false);
}

void DatePicker::setCalendarPopup(bool on)
{
    m_calendarPopup = on;
    fitText();
    update();
}

bool DatePicker::commit()
{
    const Reading reading = read(text());
    if (reading.date.isValid() && text() != textOf(reading.date))
        setText(textOf(reading.date));
    markUnreadable(!reading.date.isValid());
    return reading.date.isValid();
}

void DatePicker::markUnreadable(bool on)
{
    if (on == m_marked && (!on || toolTip() == problem()))
        return;
    m_marked = on;
    if (on) {
        QPalette marked = palette();
        marked.setColor(QPalette::Text, QColor(0xc0, 0x00, 0x00));
        marked.setColor(QPalette::Base, QColor(0xff, 0xe4, 0xe4));
        setPalette(marked);
        setToolTip(problem());
    } else {
        setPalette(QPalette());
        setToolTip(QString());
    }
}

void DatePicker::selectPartFrom(int start)
{
    const int end = separatorFrom(text(), start);
    setSelection(start, (end < 0 ? int(text().size()) : end) - start);
}

void DatePicker::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const QString typed = event->text();
    // A separator typed inside a date moves to the next part instead of being inserted.
    if (typed.size() == 1 && isSeparator(typed[0]) && !(modifiers & ~Qt::ShiftModifier)) {
        const int separator =
            separatorFrom(text(), hasSelectedText() ? selectionEnd() : cursorPosition());
        if (separator >= 0) {
            selectPartFrom(separator + 1);
            event->accept();
            return;
        }
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        commit();
        break; // and on to QLineEdit, which passes the key to the form
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (modifiers == Qt::AltModifier && event->key() == Qt::Key_Down) {
            showCalendar();
            return;
        }
        if (modifiers == Qt::NoModifier) {
            step(event->key() == Qt::Key_Up ? 1 : -1);
            return;
        }
        break;
    case Qt::Key_F4:
        if (modifiers == Qt::NoModifier) {
            showCalendar();
            return;
        }
        break;
    default:
        break;
    }
    QLineEdit::keyPressEvent(event);
}

// Tab walks the parts of the date before it leaves the box; at the end of a date being typed it
// starts the next part, so that "2024", Tab, "2", Tab, "7" gives 2024-2-7.
bool DatePicker::focusNextPrevChild(bool next)
{
    const QString t = text();
    if (next) {
        const int separator =
            separatorFrom(t, hasSelectedText() ? selectionEnd() : cursorPosition());
        if (separator >= 0) {
            selectPartFrom(separator + 1);
            return true;
        }
        if (!hasSelectedText() && cursorPosition() == t.size() && !t.isEmpty() &&
            !isSeparator(t.back()) && separatorCount(t) < 2 && !date().isValid()) {
            insert(QStringLiteral("-"));
            return true;
        }
    } else {
        const int separator =
            separatorBefore(t, hasSelectedText() ? selectionStart() : cursorPosition());
        if (separator >= 0) {
            const int start = separatorBefore(t, separator) + 1;
            setSelection(start, separator - start);
            return true;
        }
    }
    return QLineEdit::focusNextPrevChild(next);
}

void DatePicker::focusOutEvent(QFocusEvent *event)
{
    if (event->reason() != Qt::PopupFocusReason)
        commit();
    QLineEdit::focusOutEvent(event);
}

// Up and Down change the part at the cursor by one, as on any date picker.
void DatePicker::step(int by)
{
    const QDate now = date();
    if (!now.isValid())
        return;
    const int part = qBound(
        0, separatorCount(text().left(hasSelectedText() ? selectionStart() : cursorPosition())), 2);
    const QDate stepped = part == 0   ? now.addYears(by)
                          : part == 1 ? now.addMonths(by)
                                      : now.addDays(by);
    if (!stepped.isValid())
        return;
    setDate(stepped);
    const int starts[] = {0, 5, 8};
    selectPartFrom(starts[part]);
}

void DatePicker::showCalendar()
{
    if (!m_calendarPopup)
        return;
    if (!m_calendar) {
        m_calendar = new QCalendarWidget(this);
        m_calendar->setWindowFlags(Qt::Popup);
        // Chinese month and day names, whatever the system's language.
        m_calendar->setLocale(QLocale(QLocale::Chinese, QLocale::China));
        m_calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
        m_calendar->installEventFilter(this);
        const auto take = [this](QDate picked) {
            setDate(picked);
            m_calendar->close();
            setFocus(Qt::PopupFocusReason);
        };
        connect(m_calendar, &QCalendarWidget::clicked, this, take);
        connect(m_calendar, &QCalendarWidget::activated, this, take);
    }
    if (date().isValid())
        m_calendar->setSelectedDate(date());
    m_calendar->adjustSize();
    QPoint at = mapToGlobal(QPoint(0, height()));
    if (const QScreen *s = screen()) {
        const QRect room = s->availableGeometry();
        if (at.y() + m_calendar->height() > room.bottom())
            at.setY(mapToGlobal(QPoint(0, 0)).y() - m_calendar->height());
        at.setX(qBound(room.left(), at.x(), room.right() - m_calendar->width()));
    }
    m_calendar->move(at);
    m_calendar->show();
    m_calendar->setFocus(Qt::PopupFocusReason);
}

// A click on the arrow while the calendar is open closes it, and must not open it again.
bool DatePicker::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_calendar && event->type() == QEvent::MouseButtonPress) {
        const QPoint at =
            mapFromGlobal(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
        m_calendar->setAttribute(Qt::WA_NoMouseReplay, arrowRect().contains(at));
    }
    return QLineEdit::eventFilter(watched, event);
}

void DatePicker::mousePressEvent(QMouseEvent *event)
{
    if (m_calendarPopup && event->button() == Qt::LeftButton &&
        arrowRect().contains(event->position().toPoint())) {
        setFocus(Qt::MouseFocusReason);
        showCalendar();
        return;
    }
    QLineEdit::mousePressEvent(event);
}

QRect DatePicker::arrowRect() const
{
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    return QRect(contents.right() - m_arrowWidth + 1, contents.top(), m_arrowWidth,
                 contents.height());
}

void DatePicker::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    if (m_arrowWidth == 0)
        return;
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    option.rect = arrowRect();
    style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &option, &painter, this);
}

void DatePicker::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    fitText();
}

void DatePicker::changeEvent(QEvent *event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        fitText();
}

// Every date shows whole at the box's fixed size, with the arrow beside it: the arrow takes what
// room the widest date leaves, and only when even the narrowest arrow would not fit does the
// text get a smaller font.
void DatePicker::fitText()
{
    if (m_fitting)
        return;
    m_fitting = true;
    QStyleOptionFrame option;
    initStyleOption(&option);
    const int contents =
        style()->subElementRect(QStyle::SE_LineEditContents, &option, this).width();
    const auto roomBeside = [contents](const QFont &font) {
        const QFontMetrics metrics(font);
        int digit = 0;
        for (char16_t d = u'0'; d <= u'9'; ++d)
            digit = qMax(digit, metrics.horizontalAdvance(QChar(d)));
        return contents - kTextMargins - 8 * digit - 2 * metrics.horizontalAdvance(u'-');
    };
    if (m_fontShrunk) {
        setFont(QFont());
        m_fontShrunk = false;
    }
    QFont shown = font();
    int room = roomBeside(shown);
    const int wanted = m_calendarPopup ? kMinArrow : 0;
    while (room < wanted && shown.pointSizeF() > 6) {
        shown.setPointSizeF(shown.pointSizeF() - 0.5);
        room = roomBeside(shown);
    }
    if (shown != font()) {
        setFont(shown);
        m_fontShrunk = true;
    }
    m_arrowWidth = m_calendarPopup ? qBound(0, room, kMaxArrow) : 0;
    setTextMargins(0, 0, m_arrowWidth, 0);
    m_fitting = false;
}
