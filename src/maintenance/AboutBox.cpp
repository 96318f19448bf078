// About box: program name, version and a picture of a disc.
#include "maintenance/AboutBox.h"

#include "platform/Units.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadialGradient>

namespace quelm::maintenance {

namespace {

// A disc drawn in code, so the about box needs no picture file.
QPixmap DiscPicture(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(size / 2.0, size / 2.0);
    QRadialGradient shine(centre, size / 2.0);
    shine.setColorAt(0.0, QColor(235, 240, 250));
    shine.setColorAt(0.6, QColor(170, 190, 225));
    shine.setColorAt(1.0, QColor(120, 140, 190));
    p.setPen(QPen(QColor(90, 100, 130), 1));
    p.setBrush(shine);
    p.drawEllipse(centre, size / 2.0 - 1, size / 2.0 - 1);
    p.setBrush(QColor(250, 250, 250));
    p.drawEllipse(centre, size / 6.0, size / 6.0);
    p.setBrush(Qt::white);
    p.drawEllipse(centre, size / 16.0, size / 16.0);
    return pixmap;
}

} // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Formv"));
    setWindowTitle(QStringLiteral("ＣＤ管理Quelm"));
    Image1 = new QLabel(this);
    Image1->setPixmap(DiscPicture(platform::TwipsToPixels(1200)));
    Label1 = new QLabel(QStringLiteral("ＣＤ管理"), this);
    QFont big = Label1->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    Label1->setFont(big);
    Label5 = new QLabel(QStringLiteral("Quelm"), this);
    QFont product = Label5->font();
    product.setPointSizeF(product.pointSizeF() * 1.5);
    product.setItalic(true);
    Label5->setFont(product);
    Label2 = new QLabel(QStringLiteral("バージョン情報"), this);
    Label3 = new QLabel(QStringLiteral("Version     1.00"), this);
    Label4 = new QLabel(QStringLiteral("音楽CD・映像DVDのコレクション管理ソフトです。"), this);
    Command1 = new QPushButton(QStringLiteral("Ｏ Ｋ"), this);
    Command1->setAutoDefault(false);
    Command1->setDefault(false);
    connect(Command1, &QPushButton::clicked, this, &AboutBox::Command1_Click);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Image1, 0, 0, 4, 1, Qt::AlignTop);
    layout->addWidget(Label1, 0, 1);
    layout->addWidget(Label5, 0, 2);
    layout->addWidget(Label2, 1, 1, 1, 2);
    layout->addWidget(Label3, 2, 1, 1, 2);
    layout->addWidget(Label4, 3, 1, 1, 2);
    layout->addWidget(Command1, 4, 2, Qt::AlignRight);
    layout->setHorizontalSpacing(platform::TwipsToPixels(300));
}

void AboutBox::Command1_Click() {
    accept();
}

} // namespace quelm::maintenance
