#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace quelm::maintenance {

// About box: the program's name and version.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);

    void Command1_Click(); // Ｏ Ｋ

    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QPushButton* Command1 = nullptr;
};

} // namespace quelm::maintenance
