#include "platform/FileChoosers.h"

#include "platform/Ui.h"

#include <QStringList>

namespace quelm::platform {

QString QtFilterText(const FileFilter& filter) {
    QStringList parts;
    for (const auto& [description, pattern] : filter) {
        // A description that already ends in its pattern is read by Qt as it stands.
        const QString tail = QLatin1Char('(') + pattern + QLatin1Char(')');
        parts << (description.endsWith(tail) ? description : description + QLatin1Char(' ') + tail);
    }
    return parts.join(QStringLiteral(";;"));
}

QString SelectOpenFile(Ui& ui, QWidget* owner, const FileFilter& filter, const QString& title) {
    return ui.chooseOpenFile(title, QtFilterText(filter), owner).value_or(QString());
}

QString SelectSaveFile(Ui& ui, QWidget* owner, const FileFilter& filter, const QString& title) {
    QString suffix;
    if (!filter.isEmpty()) {
        const QString pattern = filter.first().second;
        const qsizetype dot = pattern.lastIndexOf(QLatin1Char('.'));
        if (dot >= 0 && pattern.indexOf(QLatin1Char('*'), dot) < 0)
            suffix = pattern.mid(dot + 1);
    }
    return ui.chooseSaveFile(title, QtFilterText(filter), suffix, owner).value_or(QString());
}

} // namespace quelm::platform
