#include "reminderpopup.h"

#include "exchangetexts.h"
#include "handoff.h"
#include "messages.h"
#include "popupplacement.h"
#include "reminderslots.h"
#include "specimenrecord.h"
#include "titles.h"
#include "twips.h"
#include "windowsystem.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <QStyle>
#include <QTimer>

ReminderPopup::ReminderPopup(QString reminderFile, Messages *messages, QWidget *parent)
    : QWidget(parent), m_path(std::move(reminderFile)), m_messages(messages)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("数据提示"));
    // A tool window stays out of the taskbar; the hints leave the close button only.
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(Twips::toPixels(4845), Twips::toPixels(2310));
    // The popup is rarely the active window, and a line cut off at its edge shows whole on hover.
    setAttribute(Qt::WA_AlwaysShowToolTips);

    // Taller than the client area: its lower part runs past the window's bottom edge.
    m_list1 = new QListWidget(this);
    m_list1->setObjectName(QStringLiteral("List1"));
    m_list1->setGeometry(Twips::toPixels(0, 0, 4815, 2580));

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setTimerType(Qt::PreciseTimer);
    m_timer1->setInterval(3);
    connect(m_timer1, &QTimer::timeout, this, &ReminderPopup::Timer1_Timer);
}

bool ReminderPopup::Form_Load()
{
    const ReminderSlots exchange(m_path);
    const ReminderSlots::Found claimed =
        m_ownSlot.isEmpty() ? exchange.claim() : exchange.claim(m_ownSlot);
    if (claimed.slot.isEmpty()) {
        if (!m_ownSlot.isEmpty()) {
            // The manager that started us watches for our claim and shows the record itself.
            Handoff::writeReason(claimed.error);
            return false;
        }
        QString text = ExchangeText::popupFailed();
        if (!claimed.error.isEmpty())
            text += QLatin1Char('\n') + claimed.error;
        // Also on stderr, so that whoever started the process can tell without a screen.
        Handoff::writeReason(text);
        m_messages->show(text, Title::popupError(), MessageStyle::Plain);
        return false;
    }
    m_slotName = claimed.slot;
    m_row = ReminderSlots::parseName(m_slotName)->row;

    const QStringList &keys = ReminderSlots::popupKeys();
    const QStringList values = exchange.values(m_slotName, keys);
    for (qsizetype i = 0; i < keys.size(); ++i)
        m_list1->addItem(keys[i] + QLatin1Char(':') + SpecimenRecord::shown(values[i]));
    fitListFont();
    offerLongLinesWhole();

    placeWindow();
    // A taskbar that starts, moves or reserves its strut after us changes the work area: stand
    // on its new edge, once the frame allows.
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        connect(screen, &QScreen::availableGeometryChanged, this, [this] {
            m_placeSettled = false;
            m_placeCorrections = 0;
            placeWindow();
        });
    }
    m_timer1->start();
    return true;
}

void ReminderPopup::fitListFont()
{
    // The list runs past the window's bottom edge and so shows no scroll bar for the last rows:
    // every line, the remark last, must fit in the part that is seen.
    const int room = height() - m_list1->frameWidth();
    QFont font = m_list1->font();
    for (int pixels = 12; pixels >= 8; --pixels) {
        font.setPixelSize(pixels);
        m_list1->setFont(font);
        if (m_list1->sizeHintForRow(0) * m_list1->count() <= room)
            break;
    }
}

void ReminderPopup::offerLongLinesWhole()
{
    // The window keeps its size and the list its one line per field: a line wider than the list
    // (a long 备注) is cut at the edge, and shows whole as the line's tooltip.
    const int margin = 2 * (m_list1->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
    const int room = m_list1->width() - 2 * m_list1->frameWidth() - margin;
    const QFontMetrics metrics(m_list1->font());
    for (int i = 0; i < m_list1->count(); ++i) {
        QListWidgetItem *line = m_list1->item(i);
        if (metrics.horizontalAdvance(line->text()) > room)
            line->setToolTip(line->text());
    }
}

QPoint ReminderPopup::placeFor(const QSize &outer)
{
    const WindowSystem::Desk desk = WindowSystem::primaryDesk();
    return WindowSystem::keptPosition(
        this, PopupPlacement::topLeft(desk.screen, desk.workArea, outer, m_row));
}

void ReminderPopup::placeWindow()
{
    if (!QGuiApplication::primaryScreen() || m_row < 1)
        return;
    m_placedOuter = WindowSystem::outerFrame(this).size();
    WindowSystem::moveFrame(this, placeFor(m_placedOuter));
}

void ReminderPopup::checkPlace()
{
    m_placeCheckQueued = false;
    if (!isVisible() || !QGuiApplication::primaryScreen() || m_row < 1)
        return;
    const QRect frame = WindowSystem::outerFrame(this);
    if (frame.size() != m_placedOuter) {
        m_placeSettled = false;
        m_placeCorrections = 0;
    } else if (m_placeSettled) {
        return;
    }
    if (frame.topLeft() == placeFor(frame.size())) {
        m_placedOuter = frame.size();
        m_placeSettled = true;
    } else if (m_placeCorrections < 20) { // never an endless tug with a window manager
        ++m_placeCorrections;
        placeWindow();
    }
}

bool ReminderPopup::nativeEvent(const QByteArray &eventType, void *message, qintptr *result)
{
    // The frame arrives, and may change, in the window system's own events, which Qt turns into
    // no event of its own; look again once Qt has taken each in.
    if (!m_placeCheckQueued && isVisible()) {
        m_placeCheckQueued = true;
        QTimer::singleShot(0, this, &ReminderPopup::checkPlace);
    }
    return QWidget::nativeEvent(eventType, message, result);
}

void ReminderPopup::setVisible(bool visible)
{
    if (visible && !isVisible() && !testAttribute(Qt::WA_DontShowOnScreen))
        WindowSystem::prepareReminderWindow(this);
    QWidget::setVisible(visible);
}

void ReminderPopup::Timer1_Timer()
{
    if (m_opacity >= 255) {
        m_timer1->stop();
        return;
    }
    m_opacity += 2;
    SetFormToAlpha(m_opacity);
}

void ReminderPopup::SetFormToAlpha(int alpha)
{
    if (alpha < 0 || alpha > 255)
        return;
    setWindowOpacity(alpha / 255.0);
    // Qt sends the change only when it next handles an event, and nothing may come.
    WindowSystem::flush();
}

ProfileFile::Outcome ReminderPopup::releaseSlot()
{
    if (m_slotName.isEmpty() || m_released)
        return {};
    m_released = true;
    const ProfileFile::Outcome outcome = ReminderSlots(m_path).release(m_slotName);
    if (!outcome.ok)
        Handoff::writeReason(outcome.error);
    return outcome;
}

void ReminderPopup::closeEvent(QCloseEvent *event)
{
    const ProfileFile::Outcome outcome = releaseSlot();
    if (!outcome.ok) {
        m_messages->show(ExchangeText::slotNotFreed(m_slotName, outcome.error), Title::popupError(),
                         MessageStyle::Exclamation);
    }
    event->accept();
    emit closed();
}
