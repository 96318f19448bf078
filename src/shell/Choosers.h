#pragma once

#include "platform/FileChoosers.h"

#include <QString>

class QWidget;

namespace quelm::platform {
class Ui;
}

namespace quelm::shell {

// The open-file dialog and the filter text live with the platform, so that every feature folder can ask for a file.
using platform::FileFilter;
using platform::QtFilterText;
using platform::SelectOpenFile;

// The folder browser: the chosen folder's path, or the literal text "Cancel" when the user cancels.
QString SelectFolder(platform::Ui& ui, QWidget* owner);
// The save-file dialog: the chosen path, or an empty text when cancelled; a name typed without an extension gets
// ".CSV".
QString SelectSaveFile(platform::Ui& ui, QWidget* owner, const FileFilter& filter, const QString& title);

} // namespace quelm::shell
