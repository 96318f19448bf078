#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace quelm::platform {

// Every field, list or table name is joined into SQL text, so it is checked first: trimmed it must be one plain
// identifier of the engine (letters, digits, '_' or any non-ASCII character that is not a blank, not starting with a
// digit) and not a keyword. Returns the reason it is refused, or nullopt when it is fine.
std::optional<QString> CheckSqlName(const QString& name);

// A name as a message shows it: trimmed, and cut after NameShownInMessages characters with "…", so that a pasted
// page of text does not fill the screen.
inline constexpr int NameShownInMessages = 30;
QString NameForMessage(const QString& name, int shownAtMost = NameShownInMessages);

// A name as the engine compares names: trimmed, ASCII letters in one case (other letters are told apart).
QString FoldSqlName(const QString& name);

// Checks a table's names together: each as above, and none twice (compared as the engine does, ignoring ASCII case).
// Returns the index of the first bad name with its reason.
struct NameProblem {
    int index;
    QString reason;
};
std::optional<NameProblem> CheckSqlNames(const QStringList& names);

} // namespace quelm::platform
