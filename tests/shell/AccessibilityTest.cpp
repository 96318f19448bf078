#include "platform/Accessibility.h"

#include "TestCatalogue.h"
#include "platform/HelpViewer.h"
#include "records/Form5.h"
#include "shell/Form1.h"
#include "store/Form2b.h"
#include "store/Form2e.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <functional>
#include <gtest/gtest.h>

using namespace quelm;

namespace {

// Controls of a shown window that a screen reader could not name.
QStringList Unnamed(QWidget& window) {
    window.show();
    platform::NameControlsForAccessibility(&window);
    QStringList unnamed;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                             qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractItemView*>(w);
        // The line edit of a combo box and the header of a list are parts of their owner.
        if (!control || !w->isVisibleTo(&window) || qobject_cast<QComboBox*>(w->parentWidget()) ||
            qobject_cast<QAbstractItemView*>(w->parentWidget()))
            continue;
        const auto* button = qobject_cast<QAbstractButton*>(w);
        if (w->accessibleName().isEmpty() && !(button && !button->text().isEmpty()))
            unnamed << QStringLiteral("%1 %2").arg(QString::fromLatin1(w->metaObject()->className()), w->objectName());
    }
    window.close();
    return unnamed;
}

} // namespace

TEST(Accessibility, BoxesTakeTheirLabelOrFrameAndKeepGivenNames) {
    QWidget window;
    auto* caption = new QLabel(QStringLiteral("タイトル ："), &window);
    caption->setGeometry(10, 10, 80, 20);
    auto* title = new QLineEdit(&window);
    title->setGeometry(100, 10, 200, 20);
    auto* heading = new QLabel(QStringLiteral("検索文字"), &window);
    heading->setGeometry(10, 40, 100, 20);
    auto* below = new QLineEdit(&window);
    below->setGeometry(10, 62, 200, 20);
    auto* named = new QLineEdit(&window);
    named->setGeometry(10, 100, 200, 20);
    named->setAccessibleName(QStringLiteral("自分の名前"));
    platform::NameControlsForAccessibility(&window);
    EXPECT_EQ(title->accessibleName(), QStringLiteral("タイトル ："));
    EXPECT_EQ(below->accessibleName(), QStringLiteral("検索文字"));
    EXPECT_EQ(named->accessibleName(), QStringLiteral("自分の名前"));
}

TEST(Accessibility, EveryControlOfTheScreensHasAName) {
    test::TestCatalogue cat;
    cat.state.CurrentSection = 4;
    const std::vector<std::pair<const char*, std::function<std::unique_ptr<QWidget>()>>> screens{
        {"Form1", [&] { return std::make_unique<shell::Form1>(cat.state, cat.ui); }},
        {"Form2b", [&] { return std::make_unique<store::Form2b>(cat.state, cat.ui); }},
        {"Form2e", [&] { return std::make_unique<store::Form2e>(cat.state, cat.ui); }},
        {"Form5", [&] { return std::make_unique<records::Form5>(cat.state, cat.ui); }},
        {"HelpViewer", [&] { return std::make_unique<platform::HelpViewer>(test::HelpFolder()); }},
    };
    for (const auto& [name, make] : screens) {
        auto screen = make();
        EXPECT_EQ(Unnamed(*screen).join(QStringLiteral(", ")).toStdString(), "") << name;
    }
}
