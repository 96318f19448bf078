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

} // namespace quelm::platform
