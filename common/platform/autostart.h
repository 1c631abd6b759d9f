#pragma once

#include <QString>

// Starting the manager with the system. Windows: a value under the machine-wide Run key, or the
// current user's when the machine-wide key cannot be written. Linux: an XDG autostart entry in
// $XDG_CONFIG_HOME/autostart (~/.config/autostart when unset). Only an entry that starts this very
// program counts as enabled: one left by a copy that was moved or removed starts nothing.
class Autostart
{
public:
    struct Outcome
    {
        bool ok = true;
        QString message; // a failure, or a notice that the registration differs from the asked
    };

    // programPath: the absolute path of the program to start; name: the entry's name.
    explicit Autostart(QString programPath, QString name = QStringLiteral("Tarvelin"));

    bool isEnabled() const;
    Outcome enable() const;
    Outcome disable() const;

    // The Run value's data: the native path in double quotes, so that "C:\Program Files\..." can
    // never start C:\Program.exe.
    static QString windowsCommand(const QString &programPath);
    // Whether a Run value's data starts programPath: its program, quoted or not, is the same
    // path, in Windows' way (either slash, any case).
    static bool windowsCommandStarts(const QString &command, const QString &programPath);
    // Whether a desktop entry's text starts programPath: the first argument of its Exec value,
    // unescaped, is that path, and the entry is not hidden.
    static bool desktopEntryStarts(const QByteArray &entry, const QString &programPath);
    // The Exec value of a desktop entry that starts programPath, quoted and escaped as the
    // desktop entry format requires.
    static QString desktopExec(const QString &programPath);
    QString desktopEntryText() const;
    // $XDG_CONFIG_HOME/autostart/<name>.desktop, lower case.
    QString desktopFilePath() const;

private:
    QString m_programPath;
    QString m_name;
};
