#include "platform/MaskedDateBox.h"

#include <QMouseEvent>
#include <algorithm>

namespace quelm::platform {

namespace {

constexpr QChar DigitSlot = QLatin1Char('#');

bool IsDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

MaskedDateBox::MaskedDateBox(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::inputRejected, this, [this] { emit validationError(text()); });
}

void MaskedDateBox::setMask(const QString& mask) {
    mask_ = mask;
    QString qtMask;
    for (QChar c : mask) {
        if (c == DigitSlot) {
            qtMask += QLatin1Char('0');
        } else {
            // Escaped, so a literal is never read as one of Qt's own mask letters.
            qtMask += QLatin1Char('\\');
            qtMask += c;
        }
    }
    if (!qtMask.isEmpty())
        qtMask += QLatin1Char(';') + Prompt;
    setInputMask(qtMask);
    QLineEdit::setText(QString());
}

void MaskedDateBox::mousePressEvent(QMouseEvent* event) {
    QLineEdit::mousePressEvent(event);
    moveToFirstPrompt();
}

void MaskedDateBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    // Focus given by the program (not by Tab) leaves the cursor at the end of "____/__/__".
    moveToFirstPrompt();
}

void MaskedDateBox::moveToFirstPrompt() {
    // A cursor past the first empty slot sits where no digit can go: start at that slot.
    const auto firstPrompt = mask_.isEmpty() ? -1 : displayText().indexOf(Prompt);
    if (firstPrompt >= 0 && cursorPosition() > firstPrompt && !hasSelectedText())
        setCursorPosition(static_cast<int>(firstPrompt));
}

QString MaskedDateBox::text() const {
    return mask_.isEmpty() ? QLineEdit::text() : displayText();
}

QString MaskedDateBox::clipText() const {
    if (mask_.isEmpty())
        return QLineEdit::text();
    const QString shown = displayText();
    QString typed;
    for (qsizetype i = 0; i < mask_.size() && i < shown.size(); ++i) {
        if (mask_[i] == DigitSlot && shown[i] != Prompt)
            typed += shown[i];
    }
    return typed;
}

bool MaskedDateBox::setText(const QString& text) {
    if (mask_.isEmpty() || text.isEmpty()) {
        QLineEdit::setText(text);
        return true;
    }
    const auto slotCount = mask_.count(DigitSlot);
    QString digits;
    if (text.size() == mask_.size()) {
        // The shown form: literals where the mask has them, digits or prompts in the digits.
        for (qsizetype i = 0; i < mask_.size(); ++i) {
            if (mask_[i] == DigitSlot) {
                if (!IsDigit(text[i]) && text[i] != Prompt)
                    return false;
                digits += text[i];
            } else if (text[i] != mask_[i]) {
                return false;
            }
        }
    } else if (text.size() <= slotCount && std::all_of(text.begin(), text.end(), IsDigit)) {
        digits = text + QString(slotCount - text.size(), Prompt);
    } else {
        return false;
    }
    QString shown = mask_;
    for (qsizetype i = 0, s = 0; i < shown.size(); ++i) {
        if (mask_[i] == DigitSlot)
            shown[i] = digits[s++];
    }
    QLineEdit::setText(shown);
    return true;
}

} // namespace quelm::platform
