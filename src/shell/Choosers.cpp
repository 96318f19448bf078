#include "shell/Choosers.h"

#include "platform/Ui.h"

#include <QFileInfo>
#include <QStringList>

namespace quelm::shell {

QString QtFilterText(const FileFilter& filter) {
    QStringList parts;
    for (const auto& [description, pattern] : filter) {
        // A description that already ends in its pattern is read by Qt as it stands.
        const QString tail = QLatin1Char('(') + pattern + QLatin1Char(')');
        parts << (description.endsWith(tail) ? description : description + QLatin1Char(' ') + tail);
    }
    return parts.join(QStringLiteral(";;"));
}

QString SelectFolder(platform::Ui& ui, QWidget* owner) {
    const auto chosen = ui.chooseFolder(QStringLiteral("フォルダの選択"), owner);
    if (!chosen || chosen->isEmpty())
        return QStringLiteral("Cancel");
    return *chosen;
}

QString SelectOpenFile(platform::Ui& ui, QWidget* owner, const FileFilter& filter, const QString& title) {
    return ui.chooseOpenFile(title, QtFilterText(filter), owner).value_or(QString());
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
