#include "platform/Names.h"

#include <algorithm>
#include <sqlite3.h>

namespace quelm::platform {

namespace {

bool IsNameChar(QChar c) {
    if (c.unicode() >= 0x80)
        return !c.isSpace() && c.category() != QChar::Other_Control && c.category() != QChar::Other_Format;
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

} // namespace

QString NameForMessage(const QString& name, int shownAtMost) {
    // Only the start is looked at: a text of millions of characters is not copied to be trimmed.
    const qsizetype head = shownAtMost + 64;
    const QString trimmed = QStringView(name).left(head).trimmed().toString();
    if (trimmed.size() <= shownAtMost && QStringView(name).mid(std::min(head, name.size())).trimmed().isEmpty())
        return trimmed;
    int end = std::min<int>(shownAtMost, static_cast<int>(trimmed.size()));
    if (end > 0 && trimmed[end - 1].isHighSurrogate())
        --end; // never half a character
    return trimmed.left(end) + QStringLiteral("…");
}

QString FoldSqlName(const QString& name) {
    QString folded = name.trimmed();
    for (QChar& c : folded) {
        if (c.unicode() < 0x80)
            c = c.toLower();
    }
    return folded;
}

std::optional<QString> CheckSqlName(const QString& raw) {
    const QString name = raw.trimmed();
    if (name.isEmpty())
        return QStringLiteral("名前が入力されていません。");
    // Half of a surrogate pair is no character: the engine would store it mangled or refuse it.
    if (!name.isValidUtf16())
        return QStringLiteral("名前に文字として読めない符号（対になっていないサロゲート）が含まれています。");
    for (const QChar c : name) {
        if (c.isSpace())
            return QStringLiteral("名前の中に空白は使えません。");
        if (!IsNameChar(c))
            return QStringLiteral("名前に使えない文字「%1」が含まれています。").arg(c);
    }
    if (name.front().unicode() < 0x80 && name.front().isDigit())
        return QStringLiteral("名前を数字で始めることはできません。");
    const QByteArray utf8 = name.toUtf8();
    if (sqlite3_keyword_check(utf8.constData(), static_cast<int>(utf8.size())))
        return QStringLiteral("「%1」はデータベースの予約語のため使えません。").arg(NameForMessage(name));
    // The engine's own row id: a column of that name would hide it, and rows are changed and deleted by it.
    const QString folded = FoldSqlName(name);
    if (folded == QLatin1String("rowid") || folded == QLatin1String("oid") || folded == QLatin1String("_rowid_"))
        return QStringLiteral("「%1」はデータベースが内部で使う名前のため使えません。").arg(NameForMessage(name));
    if (name.size() > 64)
        return QStringLiteral("名前が長すぎます（64文字まで）。");
    return std::nullopt;
}

std::optional<NameProblem> CheckSqlNames(const QStringList& names) {
    for (int i = 0; i < names.size(); ++i) {
        if (auto reason = CheckSqlName(names[i]))
            return NameProblem{i, *reason};
        const QString folded = FoldSqlName(names[i]);
        for (int j = 0; j < i; ++j) {
            if (FoldSqlName(names[j]) == folded)
                return NameProblem{
                    i, QStringLiteral("「%1」は同じテーブルで二度使われています。").arg(NameForMessage(names[i]))};
        }
    }
    return std::nullopt;
}

} // namespace quelm::platform
