#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QProcessEnvironment>
#include <QString>

#include <memory>

class QLockFile;
class QTemporaryDir;

// The hand-off between the manager and the popup, the one contract the two programs keep besides
// their files: the manager starts vexa with an environment that names the data folder and the
// slot it filled; vexa writes a receipt on its standard output once it has claimed that slot,
// and a reason on its standard error when it gives up. The manager sends both into files and
// reads them there, since a detached process cannot be listened to.
namespace Handoff {

// The data folder, so that the popup comes to the manager's folder whatever rule brought the
// manager to it. Set by hand it also moves the manager (tests, portable set-ups).
inline constexpr char DataFolderVariable[] = "TARVELIN_DATA_DIR";
// The slot the manager filled for this popup, "layer|row". Without it (vexa started by hand) the
// popup takes the first free slot.
inline constexpr char SlotVariable[] = "VEXA_SLOT";

// The popup's environment: base with the data folder and the slot set.
QProcessEnvironment
popupEnvironment(const QString &dataFolder, const QString &slot,
                 QProcessEnvironment base = QProcessEnvironment::systemEnvironment());

// What this process was given; empty when unset.
QString dataFolder();
QString slot();

// The receipt: the claimed slot's name and a line break.
QByteArray receipt(const QString &slot);
// Written once the claim is in the file, and flushed, so the manager sees it while the popup runs.
void writeReceipt(const QString &slot);
// Whether output, what a popup has written so far, holds the receipt for slot. Windows' text
// mode may have turned the line break into CR LF.
bool receiptClaims(QByteArrayView output, const QString &slot);

// Why the popup did not show its record or could not free its slot, for whoever started it.
void writeReason(const QString &text);
QString readReason(const QByteArray &output);

// Where the manager sends its popups' receipts and reasons: a private temporary folder, made again
// when a cleaner of the temporary folder (systemd-tmpfiles, Storage Sense) has removed it, since
// a standard output file in a missing folder stops the popup from starting at all.
// The folder holds a lock for as long as its Tarvelin runs; one whose Tarvelin was ended
// without a chance to remove it (the installer's or the session's kill) is removed by the next.
class ReceiptFolder
{
public:
    ReceiptFolder();
    ~ReceiptFolder();

    // Removes the receipt folders under tempFolder that no running Tarvelin holds: their lock's
    // process is gone, or, without a lock, they hold only receipts a day old. Returns how many.
    static int removeAbandoned(const QString &tempFolder);

    struct Files
    {
        QString receipt; // empty when no folder could be made: the popup then starts without
        QString reason;
    };
    // Fresh file names for the next popup.
    Files next();
    QString path() const;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QLockFile> m_owner; // released before the folder is removed
    int m_count = 0;
};
// The first few kilobytes of a receipt or reason file; empty when there is none.
QByteArray readFile(const QString &path);

// Test-only: VEXA_QUIT_AFTER_MS=N makes a real vexa dismiss its message, or close its window,
// N milliseconds after showing it, as if the user had pressed OK or the close button. Tests that
// start real popups set it so that none is left waiting for a user; nothing else sets it, and
// without it (0, also for text that is not a number) the popup waits for its user as always.
inline constexpr char QuitAfterVariable[] = "VEXA_QUIT_AFTER_MS";
int quitAfterMs();

} // namespace Handoff
