#include "TestCatalogue.h"
#include "platform/HelpViewer.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

using namespace quelm::platform;

namespace {

void WritePage(const QString& folder, const QString& page, const QString& title, const QString& body) {
    QFile file(QDir(folder).filePath(page));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("<html><head><title>%1</title></head><body>%2</body></html>").arg(title, body).toUtf8());
}

} // namespace

TEST(Help, EachScreenFindsItsOwnPageItsTwinsOrTheContents) {
    QTemporaryDir dir;
    WritePage(dir.path(), "index.html", "目次", "");
    WritePage(dir.path(), "main-records.html", "明細", "");
    WritePage(dir.path(), "print-settings.html", "印刷設定", "");
    EXPECT_EQ(HelpPageFor(dir.path(), "Form5"), "main-records.html");
    EXPECT_EQ(HelpPageFor(dir.path(), "Form6ps"), "print-settings.html");
    EXPECT_EQ(HelpPageFor(dir.path(), "Form2b"), "index.html"); // no page in this folder
    EXPECT_EQ(HelpPageFor(dir.path(), "MainRecordScreen"), "index.html");
    EXPECT_EQ(HelpPageFor(dir.path(), ""), "index.html");

    // The name: the object name of a twin made from a shared class, else the class without its namespace.
    QWidget twin;
    twin.setObjectName("Form6k");
    EXPECT_EQ(ScreenName(twin), "Form6k");
    EXPECT_EQ(ScreenName(HelpViewer(dir.path())), "HelpViewer");
}

TEST(Help, SearchLooksAtTheShownTextOfEveryPage) {
    QTemporaryDir dir;
    WritePage(dir.path(), "index.html", "目次", "<a href=\"main-records.html\">明細画面</a>");
    WritePage(dir.path(), "main-records.html", "明細画面", "<p>画像登録で JPG を選びます</p>");
    WritePage(dir.path(), "record-editor.html", "入力画面", "<p class=\"jpg\">データを残す</p>");

    const QList<HelpHit> hits = SearchHelp(dir.path(), " jpg ");
    ASSERT_EQ(hits.size(), 1); // the markup of MainRecordEditor does not count
    EXPECT_EQ(hits[0].page, "main-records.html");
    EXPECT_EQ(hits[0].title, "明細画面");
    const QList<HelpHit> both = SearchHelp(dir.path(), "明細画面");
    ASSERT_EQ(both.size(), 2);
    EXPECT_EQ(both[0].page, "index.html");
    EXPECT_TRUE(SearchHelp(dir.path(), "   ").isEmpty());
}

TEST(Help, EveryLinkOfTheShippedPagesLeadsToAPageOrPicture) {
    const QDir folder(quelm::test::HelpFolder());
    const QStringList pages = folder.entryList({"*.html"}, QDir::Files);
    ASSERT_TRUE(pages.contains("index.html"));
    const QRegularExpression link(R"((?:href|src)="([^"#:]+)[^"]*")");
    for (const QString& page : pages) {
        QFile file(folder.filePath(page));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        EXPECT_TRUE(html.contains("<title>")) << page.toStdString();
        for (auto it = link.globalMatch(html); it.hasNext();) {
            const QString target = it.next().captured(1);
            EXPECT_TRUE(folder.exists(target)) << page.toStdString() << " → " << target.toStdString();
        }
    }
}
