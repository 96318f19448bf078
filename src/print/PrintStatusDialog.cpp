// Print settings status screen (Form5pp, Form6pp): measured widths of every item and the space left or missing.
#include "print/PrintStatusDialog.h"

#include "platform/PrinterSurface.h"
#include "platform/Ui.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <numeric>

namespace quelm::print {

PrintStatus MakePrintStatus(const store::PrintSettings& settings, const QStringList& fieldNames,
                            const std::vector<int>& fieldWidths, const QStringList& chosenItems, double fontSize) {
    using store::PrintSettings;
    const bool cd = settings.reportKind == PrintSettings::KindCdCase;
    PrintStatus st;
    switch (settings.reportKind) {
    case PrintSettings::KindCdCase:
        st.kind = QStringLiteral("ＣＤケース背面用明細リスト");
        break;
    case KindTrayCard:
        st.kind = QStringLiteral("トレーカード（151×118mm）");
        break;
    case KindBookletFront:
        st.kind = QStringLiteral("ブックレット表（120×120mm）");
        break;
    case KindBookletBack:
        st.kind = QStringLiteral("ブックレット裏（120×120mm）");
        break;
    default:
        st.kind = QStringLiteral("種目明細一覧表");
    }
    st.fieldNames = fieldNames;
    st.fieldWidths = fieldWidths;
    st.chosenItems = chosenItems;
    for (int i = 0; i < chosenItems.size() && i < store::PrintSettings::MaxColumns; ++i) {
        const int field = settings.columnField[i];
        st.chosenWidths.push_back(field < static_cast<int>(fieldWidths.size()) ? fieldWidths[field] : 0);
    }
    st.total = std::accumulate(st.chosenWidths.begin(), st.chosenWidths.end(), 0);
    st.fontSize = QString::number(fontSize);
    if (cd)
        st.paper = QStringLiteral("ＣＤケース(A5)");
    else
        st.paper = settings.paper == platform::PaperA5   ? QStringLiteral("A5")
                   : settings.paper == platform::PaperB5 ? QStringLiteral("B5")
                                                         : QStringLiteral("A4");
    st.orientation = settings.orientation == 1 ? QStringLiteral("縦") : QStringLiteral("横");
    st.margin = QString::number(settings.leftMargin);
    st.usableWidth = QString::number(settings.usableWidth);
    st.title1 = settings.title1;
    st.title2 = settings.title2;
    const int need = st.total + settings.leftMargin;
    st.over = need > settings.usableWidth;
    st.difference = st.over ? need - settings.usableWidth : settings.usableWidth - need;
    return st;
}

namespace {

QTreeWidget* WidthList(const QString& heading, QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    list->setColumnCount(2);
    list->setHeaderLabels({heading, QStringLiteral("横幅サイズ(mm)")});
    list->setRootIsDecorated(false);
    list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list->header()->setStretchLastSection(false);
    list->setSelectionMode(QAbstractItemView::NoSelection);
    list->setAccessibleName(heading);
    return list;
}

void AddWidthRow(QTreeWidget* list, const QString& name, int width) {
    auto* item = new QTreeWidgetItem(list, {name, QString::number(width)});
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
}

} // namespace

PrintStatusDialog::PrintStatusDialog(const store::AppState& state, platform::Ui& ui, ReportSide side,
                                     const PrintStatus& status, QWidget* parent)
    : QDialog(parent) {
    const bool sub = side == ReportSide::Sub;
    setObjectName(sub ? QStringLiteral("Form6pp") : QStringLiteral("Form5pp"));
    setWindowTitle(state.caption(QStringLiteral("印刷設定状況確認")));
    auto* layout = new QVBoxLayout(this);

    Label1 = new QLabel(QStringLiteral("印刷設定状況確認"), this);
    QFont big = Label1->font();
    big.setPointSizeF(big.pointSizeF() + 4);
    big.setBold(true);
    Label1->setFont(big);
    Label1->setAlignment(Qt::AlignCenter);
    layout->addWidget(Label1);
    Label2 = new QLabel(QStringLiteral("印刷設定画面で、各項目に設定したデータによる現在の印刷条件は、次の通りです。"),
                        this);
    Label2->setWordWrap(true);
    layout->addWidget(Label2);

    auto* lists = new QHBoxLayout;
    List1 = WidthList(QStringLiteral("印刷可能な項目"), this);
    for (int k = 0; k < status.fieldNames.size(); ++k)
        AddWidthRow(List1, status.fieldNames[k],
                    k < static_cast<int>(status.fieldWidths.size()) ? status.fieldWidths[k] : 0);
    List2 = WidthList(QStringLiteral("印刷する項目"), this);
    for (std::size_t i = 0; i < status.chosenWidths.size(); ++i)
        AddWidthRow(List2, status.chosenItems[static_cast<int>(i)], status.chosenWidths[i]);
    AddWidthRow(List2, QStringLiteral("(** 合計 **)"), status.total);
    lists->addWidget(List1);
    lists->addWidget(List2);
    layout->addLayout(lists, 1);

    auto* values = new QFormLayout;
    auto pair = [&](const QString& label, const QString& value) {
        auto* v = new QLabel(value, this);
        values->addRow(new QLabel(label, this), v);
        return v;
    };
    KindValue = pair(QStringLiteral("作成帳表："), status.kind);
    FontSizeValue = pair(QStringLiteral("フォント・サイズ："), status.fontSize);
    PaperValue = pair(QStringLiteral("用紙サイズ："), status.paper);
    OrientationValue = pair(QStringLiteral("用紙の向き："), status.orientation);
    MarginValue = pair(QStringLiteral("用紙の左余白："), status.margin);
    WidthValue = pair(QStringLiteral("用紙の横幅サイズ："), status.usableWidth);
    if (sub) {
        Title1Value = pair(QStringLiteral("ヘッダー・タイトル１："), status.title1);
        Title2Value = pair(QStringLiteral("ヘッダー・タイトル２："), status.title2);
    } else {
        Title1Value = pair(QStringLiteral("ヘッダー・タイトル："), status.title1);
    }
    DifferenceLabel =
        new QLabel(status.over ? QStringLiteral("差引サイズオーバー") : QStringLiteral("差引余裕サイズ"), this);
    DifferenceValue = new QLabel(QString::number(status.difference), this);
    DifferenceLabel->setStyleSheet(status.over ? QStringLiteral("color: red;") : QStringLiteral("color: blue;"));
    if (status.over)
        DifferenceValue->setStyleSheet(QStringLiteral("color: red;"));
    values->addRow(DifferenceLabel, DifferenceValue);
    layout->addLayout(values);

    // The main screen's help button has always read "ヘルブ"; users know it by that caption.
    Command1 = new QPushButton(sub ? QStringLiteral("ヘルプ") : QStringLiteral("ヘルブ"), this);
    Command1->setAutoDefault(false);
    connect(Command1, &QPushButton::clicked, this, [this, &ui] { ui.showHelp(this); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    layout->addLayout(buttons);
    resize(620, 560);
}

} // namespace quelm::print
