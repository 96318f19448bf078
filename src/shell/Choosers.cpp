#include "shell/Choosers.h"

#include "platform/Ui.h"

#include <QFileInfo>

namespace quelm::shell {

QString SelectFolder(platform::Ui& ui, QWidget* owner) {
    const auto chosen = ui.chooseFolder(QStringLiteral("フォルダの選択"), owner);
    if (!chosen || chosen->isEmpty())
        return QStringLiteral("Cancel");
    return *chosen;
}

QString SelectSaveFile(platform::Ui& ui, QWidget* owner, const FileFilter& filter, const QString& title) {
    const auto chosen = ui.chooseSaveFile(title, QtFilterText(filter), QStringLiteral("CSV"), owner);
    if (!chosen || chosen->isEmpty())
        return {};
    if (QFileInfo(*chosen).suffix().isEmpty())
        return *chosen + QStringLiteral(".CSV");
    return *chosen;
}

} // namespace quelm::shell
