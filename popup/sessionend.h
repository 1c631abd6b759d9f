#pragma once

#include <QObject>

#ifdef Q_OS_WIN
#include <QAbstractNativeEventFilter>
#endif

class QSocketNotifier;

// Tells the popup that the session ends, so that it closes the normal way and frees its slot: on
// POSIX systems the signals of a shutdown or logout (SIGTERM, SIGHUP) and an interrupt (SIGINT),
// on Windows the end of the session (WM_ENDSESSION). One instance per process.
class SessionEnd : public QObject
#ifdef Q_OS_WIN
    ,
                   public QAbstractNativeEventFilter
#endif
{
    Q_OBJECT

public:
    explicit SessionEnd(QObject *parent = nullptr);
    ~SessionEnd() override;
    SessionEnd(const SessionEnd &) = delete;
    SessionEnd &operator=(const SessionEnd &) = delete;

#ifdef Q_OS_WIN
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;
#endif

signals:
    // Emitted in the event loop; on Windows before the message returns, since the process is
    // ended right after.
    void ending();

private:
#ifndef Q_OS_WIN
    void readSignals();
    QSocketNotifier *m_notifier = nullptr;
#endif
};
