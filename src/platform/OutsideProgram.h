#pragma once

#include <QString>
#include <QStringList>

namespace quelm::platform {

// Starts an outside program in workingFolder and waits until it ends. The event loop goes on meanwhile, so the
// program's windows keep painting; input to them is held back and a busy cursor shows, as nothing may be done while
// the program runs. False when the program could not be started.
bool RunProgramAndWait(const QString& program, const QStringList& arguments, const QString& workingFolder);

} // namespace quelm::platform
