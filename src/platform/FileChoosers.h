#pragma once

#include <QList>
#include <QPair>
#include <QString>

class QWidget;

namespace quelm::platform {

class Ui;

// Pairs of a description and a file pattern, e.g. {"ＣＳＶファイル(*.CSV)", "*.CSV"}.
using FileFilter = QList<QPair<QString, QString>>;

// The open-file dialog: the chosen file's path, or an empty text when cancelled.
QString SelectOpenFile(Ui& ui, QWidget* owner, const FileFilter& filter, const QString& title);

// The save-file dialog: the chosen file's path, or an empty text when cancelled. The first pattern's extension is
// added to a name typed without one.
QString SelectSaveFile(Ui& ui, QWidget* owner, const FileFilter& filter, const QString& title);

// The filter in the form Qt's dialogs read.
QString QtFilterText(const FileFilter& filter);

} // namespace quelm::platform
