#pragma once

#include <QString>

// Starting the manager with the system. Windows: a value under the machine-wide Run key, or the
// current user's when the machine-wide key cannot be written. Linux: an XDG autostart entry in
// $XDG_CONFIG_HOME/autostart (~/.config/autostart when unset).
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

    // The Run value's data: the native path, in double quotes when it holds a blank, so that
    // "C:\Program Files\..." can never start C:\Program.exe.
    static QString windowsCommand(const QString &programPath);
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
