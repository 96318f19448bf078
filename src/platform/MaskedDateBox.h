#pragma once

#include <QLineEdit>

namespace quelm::platform {

// The mask of every date box.
inline const QString DateMask = QStringLiteral("####/##/##");

// The masked edit box of the editors: with the mask "####/##/##" it takes digits only, shows '_' where none
// was typed yet and keeps the '/' in place; with an empty mask it is a plain text box (the number fields).
// text() and setText() hide QLineEdit's own, which would drop the prompts: call them on this class.
class MaskedDateBox : public QLineEdit {
    Q_OBJECT
public:
    static constexpr QChar Prompt = QLatin1Char('_');

    explicit MaskedDateBox(QWidget* parent = nullptr);

    // '#' stands for one digit, every other character is a literal. Changing the mask empties the box.
    void setMask(const QString& mask);
    QString mask() const { return mask_; }

    // The text as shown, literals and prompts included: "____/__/__" when untouched.
    QString text() const;
    // Only what was typed, without literals and prompts: empty when untouched, "20090406" when filled.
    QString clipText() const;
    // Takes the text as shown ("2009/04/06", prompts allowed) or just its digits ("20090406"); an empty text
    // empties the box. A text that does not fit the mask leaves the box as it was and returns false.
    bool setText(const QString& text);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

signals:
    // The box refused a key; carries the box's text as it stands.
    void validationError(const QString& rejectedText);

private:
    void moveToFirstPrompt();

    QString mask_;
};

} // namespace quelm::platform
