#pragma once

#include "exchange/DiscToc.h"

#include <QString>
#include <QStringList>
#include <chrono>

namespace quelm::exchange {

enum class DiscReadStatus {
    Ok,
    NoDrive,  // no such drive or image
    NoDisc,   // the drive is empty or the tray is open
    DataDisc, // the disc has no audio track
    Busy,     // another program holds the drive
    Failed,   // the table of contents could not be read (a damaged disc, a disc taken out while reading)
    TimedOut, // the drive did not answer in time
};

struct DiscReadResult {
    DiscReadStatus status = DiscReadStatus::Ok;
    DiscToc toc;
};

// The CD drives of this machine, as device paths.
QStringList ListDiscDrives();

// Reads the table of contents and the CD-Text of the disc in a drive, or of a disc image (a cue sheet or a toc file).
// CD-Text in the Japanese character set is decoded as CP932. Blocks the calling thread for as long as the drive takes.
DiscReadResult ReadDisc(const QString& source);

// The same on a thread of its own, waiting at most the time limit while the caller's events are served. A drive that
// does not answer in time is left to its thread, which ends on its own; the answer is then TimedOut.
DiscReadResult ReadDiscWithTimeLimit(const QString& source, std::chrono::milliseconds limit);

// What the user is told when a read did not give a disc to import; empty for Ok.
QString DiscReadFailureText(DiscReadStatus status);

} // namespace quelm::exchange
