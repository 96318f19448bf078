#pragma once

#include <QList>
#include <QPair>
#include <QString>

class QWidget;

namespace quelm::platform {
class Ui;
}

namespace quelm::shell {

// Pairs of a description and a file pattern, e.g. {"ＣＳＶファイル(*.CSV)", "*.CSV"}.
using FileFilter = QList<QPair<QString, QString>>;

// The folder browser: the chosen folder's path, or the literal text "Cancel" when the user cancels.
QString SelectFolder(platform::Ui& ui, QWidget* owner);
// The open-file dialog: the chosen file's path, or an empty text when cancelled.
QString SelectOpenFile(platform::Ui& ui, QWidget* owner, const FileFilter& filter, const QString& title);
// The save-file dialog: as above; a name typed without an extension gets ".CSV".
QString SelectSaveFile(platform::Ui& ui, QWidget* owner, const FileFilter& filter, const QString& title);

// The filter in the form Qt's dialogs read.
QString QtFilterText(const FileFilter& filter);

} // namespace quelm::shell
