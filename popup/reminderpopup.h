#pragma once

#include "profilefile.h"

#include <QString>
#include <QWidget>

class Messages;
class QListWidget;
class QTimer;

// The popup window Form1 of vexa: claims the first free reminder slot, lists its record, stands
// at the right edge of the screen one window height above the work area's bottom for every row
// of its slot, stays on top, fades in to 254/255, and frees the slot when it closes.
class ReminderPopup : public QWidget
{
    Q_OBJECT

public:
    ReminderPopup(QString reminderFile, Messages *messages, QWidget *parent = nullptr);

    // The slot the manager filled for this popup (Handoff::slot). Without one the popup takes the
    // first free slot, as when vexa is started by hand.
    void setOwnSlot(const QString &slot) { m_ownSlot = slot; }

    // Claims a slot, fills List1, places the window and starts the fade. When no slot can be
    // claimed it says so and returns false; the file is then unchanged and the window must not
    // be shown. A popup given its own slot gives its reason (Handoff::writeReason) only: its
    // manager shows the record another way.
    bool Form_Load();

    const QString &slotName() const { return m_slotName; }
    int opacity() const { return m_opacity; } // the alpha last asked for, 0 to 256
    QListWidget *list1() const { return m_list1; }
    QTimer *timer1() const { return m_timer1; }

    // One step of the fade.
    void Timer1_Timer();
    // Sets the opacity to alpha / 255; alpha outside 0 to 255 is ignored.
    void SetFormToAlpha(int alpha);

    // Writes "0" into the slot, once; closing the window does it, and so does the end of the
    // program (a session ending without closing the window).
    ProfileFile::Outcome releaseSlot();

    // Moves the window to its place for the slot's row, from the primary screen.
    void placeWindow();

    void setVisible(bool visible) override;

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool nativeEvent(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    void fitListFont();
    void offerLongLinesWhole();
    QPoint placeFor(const QSize &outer);
    void checkPlace();

    QString m_path;
    Messages *m_messages;
    QString m_ownSlot;
    QString m_slotName;
    int m_row = 0;
    int m_opacity = 0;
    bool m_released = false;
    QSize m_placedOuter;
    // The frame stood where it should with the size in m_placedOuter. Only a new frame (one the
    // window manager adds or changes late) moves the window again, not the user's dragging.
    bool m_placeSettled = false;
    bool m_placeCheckQueued = false;
    int m_placeCorrections = 0;
    QListWidget *m_list1;
    QTimer *m_timer1;
};
