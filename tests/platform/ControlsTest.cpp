#include "platform/KeyedToolBar.h"
#include "platform/MaskedDateBox.h"

#include "platform/StatusPanels.h"
#include <QApplication>

#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using quelm::platform::KeyedToolBar;
using quelm::platform::MaskedDateBox;
using quelm::platform::StatusPanels;

namespace {

const QString DateMask = QStringLiteral("####/##/##");
const QString Untouched = QStringLiteral("____/__/__");

TEST(ControlsTest, MaskedBoxGivesItsTextWithAndWithoutPrompts) {
    MaskedDateBox box;
    box.setMask(DateMask);
    EXPECT_EQ(box.mask(), DateMask);
    EXPECT_EQ(box.text(), Untouched);
    EXPECT_EQ(box.clipText(), QString());

    box.setCursorPosition(0);
    QTest::keyClicks(&box, QStringLiteral("2009"));
    EXPECT_EQ(box.text(), QStringLiteral("2009/__/__"));
    EXPECT_EQ(box.clipText(), QStringLiteral("2009"));
    QTest::keyClicks(&box, QStringLiteral("0406"));
    EXPECT_EQ(box.text(), QStringLiteral("2009/04/06"));
    EXPECT_EQ(box.clipText(), QStringLiteral("20090406"));

    // A new mask starts an empty field.
    box.setMask(DateMask);
    EXPECT_EQ(box.text(), Untouched);

    // A click at the far end of an untouched box still types from the first slot.
    box.resize(200, 24);
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(190, 12));
    QTest::keyClicks(&box, QStringLiteral("19991231"));
    EXPECT_EQ(box.text(), QStringLiteral("1999/12/31"));
}

TEST(ControlsTest, MaskedBoxTakesOnlyTextsThatFitTheMask) {
    MaskedDateBox box;
    box.setMask(DateMask);
    EXPECT_TRUE(box.setText(QStringLiteral("2009/04/06")));
    EXPECT_EQ(box.clipText(), QStringLiteral("20090406"));
    EXPECT_TRUE(box.setText(QStringLiteral("20100102")));
    EXPECT_EQ(box.text(), QStringLiteral("2010/01/02"));
    EXPECT_TRUE(box.setText(QStringLiteral("2011/__/__")));
    EXPECT_EQ(box.clipText(), QStringLiteral("2011"));

    for (const char* misfit : {"abc", "2009-04-06", "2009/4/6", "200904061"}) {
        EXPECT_FALSE(box.setText(QString::fromLatin1(misfit))) << misfit;
        EXPECT_EQ(box.text(), QStringLiteral("2011/__/__")) << misfit;
    }

    EXPECT_TRUE(box.setText(QString()));
    EXPECT_EQ(box.text(), Untouched);
}

TEST(ControlsTest, MaskedBoxReportsRefusedKeysWithItsText) {
    MaskedDateBox box;
    box.setMask(DateMask);
    QSignalSpy errors(&box, &MaskedDateBox::validationError);
    box.setCursorPosition(0);
    QTest::keyClicks(&box, QStringLiteral("x"));
    ASSERT_EQ(errors.count(), 1);
    EXPECT_EQ(errors.at(0).at(0).toString(), Untouched);
    QTest::keyClicks(&box, QStringLiteral("2009a"));
    ASSERT_EQ(errors.count(), 2);
    EXPECT_EQ(errors.at(1).at(0).toString(), QStringLiteral("2009/__/__"));
    EXPECT_EQ(box.clipText(), QStringLiteral("2009"));
}

TEST(ControlsTest, MaskedBoxTakesDigitsRightAfterTheProgramGivesItFocus) {
    QWidget window;
    auto* box = new MaskedDateBox(&window);
    box->setMask(DateMask);
    window.show();
    box->setCursorPosition(10);
    box->setFocus();
    QApplication::processEvents();
    QTest::keyClicks(box, QStringLiteral("20090406"));
    EXPECT_EQ(box->text(), QStringLiteral("2009/04/06"));
}

TEST(ControlsTest, MaskedBoxWithoutMaskIsFreeText) {
    MaskedDateBox box;
    box.setMask(DateMask);
    box.setText(QStringLiteral("20090406"));
    box.setMask(QString());
    EXPECT_EQ(box.text(), QString());
    EXPECT_EQ(box.clipText(), QString());

    QSignalSpy errors(&box, &MaskedDateBox::validationError);
    QTest::keyClicks(&box, QStringLiteral("-12a/"));
    EXPECT_EQ(box.text(), QStringLiteral("-12a/"));
    EXPECT_EQ(box.clipText(), QStringLiteral("-12a/"));
    EXPECT_EQ(errors.count(), 0);
    EXPECT_TRUE(box.setText(QStringLiteral("１２００")));
    EXPECT_EQ(box.text(), QStringLiteral("１２００"));
}

TEST(ControlsTest, StatusBarHasThreePanels) {
    StatusPanels bar;
    bar.setPanelText(1, QStringLiteral("種目別の全てのレコードを表示"));
    bar.setPanelText(2, QStringLiteral("レコード順／総数　　3 / 25"));
    bar.setPanelText(3, QStringLiteral("画面印刷中　ActiveWindow"));
    bar.setPanelText(4, QStringLiteral("x"));
    bar.setPanelText(0, QStringLiteral("x"));
    EXPECT_EQ(bar.panelText(1), QStringLiteral("種目別の全てのレコードを表示"));
    EXPECT_EQ(bar.panelText(2), QStringLiteral("レコード順／総数　　3 / 25"));
    EXPECT_EQ(bar.panelText(3), QStringLiteral("画面印刷中　ActiveWindow"));
    EXPECT_EQ(bar.panelText(4), QString());
    bar.setPanelText(3, QString());
    EXPECT_EQ(bar.panelText(3), QString());
}

TEST(ControlsTest, ToolBarButtonsReportTheirKeys) {
    KeyedToolBar bar;
    QAction* add = bar.addButton(QStringLiteral("新規作成"), QStringLiteral("新規"));
    bar.addButton(QStringLiteral("ソート"), QStringLiteral("ソート"));
    bar.show();
    QSignalSpy clicks(&bar, &KeyedToolBar::buttonClick);

    EXPECT_EQ(bar.button(QStringLiteral("新規作成")), add);
    EXPECT_EQ(add->text(), QStringLiteral("新規"));
    EXPECT_EQ(bar.button(QStringLiteral("無い")), nullptr);

    QTest::mouseClick(bar.widgetForAction(add), Qt::LeftButton);
    EXPECT_TRUE(bar.trigger(QStringLiteral("ソート")));
    EXPECT_FALSE(bar.trigger(QStringLiteral("無い")));
    ASSERT_EQ(clicks.count(), 2);
    EXPECT_EQ(clicks.at(0).at(0).toString(), QStringLiteral("新規作成"));
    EXPECT_EQ(clicks.at(1).at(0).toString(), QStringLiteral("ソート"));

    // One button per key: adding the key again renames it.
    EXPECT_EQ(bar.addButton(QStringLiteral("新規作成"), QStringLiteral("新規作成")), add);
    EXPECT_EQ(bar.actions().size(), 2);
    add->setEnabled(false);
    EXPECT_FALSE(bar.trigger(QStringLiteral("新規作成")));
    EXPECT_EQ(clicks.count(), 2);
}

} // namespace
