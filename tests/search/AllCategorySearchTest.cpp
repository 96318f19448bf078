#include "search/AllCategorySearch.h"
#include "SearchTestData.h"
#include "platform/Database.h"
#include "records/TextMatch.h"
#include "search/InquiryLists.h"
#include "store/CategoryTables.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace quelm;
using platform::ListRow;
using search::SearchAllCategories;

namespace {

// Records what the search reports, and stops it when told to.
struct Recorder : search::SearchObserver {
    std::vector<QStringList> hits;
    QStringList progress;
    int tablesFinished = 0;
    int stopAfterTables = -1;

    void tableStarted(int done, int total) override { progress << search::ProgressText(done, total); }
    void tableFinished(std::vector<ListRow>&& rows) override {
        ++tablesFinished;
        for (const ListRow& r : rows)
            hits.push_back(r.cells());
    }
    bool keepGoing() override { return stopAfterTables < 0 || tablesFinished < stopAfterTables; }
};

struct AllSearch : ::testing::Test {
    test::TestCatalogue cat;
    AllSearch() { test::FillSearchCatalogue(cat); }

    Recorder run(const QString& text, bool exact, int stopAfterTables = -1) {
        Recorder r;
        r.stopAfterTables = stopAfterTables;
        auto db = cat.open();
        const bool complete = SearchAllCategories(*db, cat.state.config, {text, exact}, r);
        EXPECT_EQ(complete, stopAfterTables < 0);
        return r;
    }
};

QStringList Row(const char* text, const char* category, const char* field, const char* table, const char* regNo,
                const char* subNo = "") {
    return {QString::fromUtf8(text),  QString::fromUtf8(category), QString::fromUtf8(field),
            QString::fromUtf8(table), QString::fromUtf8(regNo),    QString::fromUtf8(subNo)};
}

TEST_F(AllSearch, LooseSearchFindsEveryFormInMainAndSubTablesOfEveryCategory) {
    const Recorder r = run(QStringLiteral("blue"), false);
    const std::vector<QStringList> expected{
        Row("Blue Moon", "CD1", "タイトル", "CD1", "1"),
        Row("BLUE Trio", "CD1", "アーティスト", "CD1", "1"), // a second field of the same record: a second hit
        Row("ＢＬＵＥ　ＮＩＧＨＴ", "CD1", "タイトル", "CD1", "40000"),
        Row("Blue in Green", "CD1 :サブ", "曲名", "CD1SUB", "1", "1"),
        Row("Night Blue", "CD1 :サブ", "曲名", "CD1SUB", "40000", "3"),
        Row("ｂｌｕｅ海", "DVD1", "タイトル", "DVD1", "7"),
        Row("blue", "DVD1", "備考", "DVD1", "7"),
    };
    EXPECT_EQ(r.hits, expected);
    // Two categories in use: four tables, the bar a quarter fuller after each.
    EXPECT_EQ(r.progress, (QStringList{QStringLiteral("ファイル読込中　■■■■■■□□□□□□□□□□□□□□□□□□□"),
                                       QStringLiteral("ファイル読込中　■■■■■■■■■■■■■□□□□□□□□□□□□"),
                                       QStringLiteral("ファイル読込中　■■■■■■■■■■■■■■■■■■■□□□□□□"),
                                       QStringLiteral("ファイル読込中　■■■■■■■■■■■■■■■■■■■■■■■■■")}));
    EXPECT_EQ(search::ProgressStartText(), QStringLiteral("ファイル読込中  □□□□□□□□□□□□□□□□□□□□□□□□□"));
}

TEST_F(AllSearch, ExactSearchTellsCaseWidthAndKanaApart) {
    const Recorder r = run(QStringLiteral("blue"), true);
    EXPECT_EQ(r.hits, (std::vector<QStringList>{Row("blue", "DVD1", "備考", "DVD1", "7")}));

    // Hiragana finds katakana only when loose.
    EXPECT_EQ(run(QStringLiteral("ひかり"), false).hits,
              (std::vector<QStringList>{Row("ひかりの森", "CD1", "アーティスト", "CD1", "40001"),
                                        Row("ヒカリ", "CD1 :サブ", "作曲者", "CD1SUB", "1", "1")}));
    EXPECT_EQ(run(QStringLiteral("ひかり"), true).hits.size(), 1u);
}

TEST_F(AllSearch, NumberAndDateFieldsAreNeverSearched) {
    // 2009 is a price and part of a purchase date; 1 is a count and a 登録ＮＯ.
    EXPECT_TRUE(run(QStringLiteral("2009"), false).hits.empty());
    EXPECT_TRUE(run(QStringLiteral("04"), true).hits.empty());
    EXPECT_TRUE(run(QStringLiteral("1"), true).hits.empty());
}

TEST_F(AllSearch, BlankTextsAreRefusedBeforeTheySearch) {
    for (const QString& text :
         {QString(), QStringLiteral(" "), QStringLiteral("  "), QStringLiteral("　"), QStringLiteral(" \t")})
        EXPECT_FALSE(search::IsUsableSearchText(text)) << text.toStdString();
    EXPECT_TRUE(search::IsUsableSearchText(QStringLiteral(" a ")));
    // An empty field is not a hit for a text that only ends in a blank.
    EXPECT_TRUE(run(QStringLiteral("森 "), false).hits.empty());
}

TEST_F(AllSearch, StoppedSearchHandsOverWhatItFoundAndReadsNoFurther) {
    const Recorder r = run(QStringLiteral("blue"), false, 1);
    EXPECT_EQ(r.tablesFinished, 1);
    EXPECT_EQ(r.hits.size(), 3u);
    EXPECT_EQ(r.progress.size(), 1);
}

TEST_F(AllSearch, HitsComeInKeyOrderWhateverOrderTheRecordsWereStoredIn) {
    // Stored after 40000, but numbered below it; and sub records stored 3 before 2.
    cat.addMain(4, 90, {QStringLiteral("blue 90")});
    cat.addMain(4, 50, {QStringLiteral("blue 50")});
    test::AddSubFields(cat, 4, 50, 3, {QStringLiteral("blue 50-3")});
    test::AddSubFields(cat, 4, 50, 2, {QStringLiteral("blue 50-2")});
    const auto texts = [&] {
        QStringList found;
        for (const QStringList& hit : run(QStringLiteral("blue"), false).hits)
            found << hit[0];
        return found;
    };
    EXPECT_EQ(texts(),
              (QStringList{QStringLiteral("Blue Moon"), QStringLiteral("BLUE Trio"), QStringLiteral("blue 50"),
                           QStringLiteral("blue 90"), QStringLiteral("ＢＬＵＥ　ＮＩＧＨＴ"),
                           QStringLiteral("Blue in Green"), QStringLiteral("blue 50-2"), QStringLiteral("blue 50-3"),
                           QStringLiteral("Night Blue"), QStringLiteral("ｂｌｕｅ海"), QStringLiteral("blue")}));

    // A key that is no number (a file from elsewhere) sorts as the engine sorts it: after every number.
    cat.open()->execute(QStringLiteral("INSERT INTO CD1 (タイトル, 登録ＮＯ) VALUES ('blue x', 'x')"));
    const QStringList withText = texts();
    ASSERT_EQ(withText.size(), 12);
    EXPECT_EQ(withText[5], QStringLiteral("blue x"));
    EXPECT_EQ(withText[4], QStringLiteral("ＢＬＵＥ　ＮＩＧＨＴ"));
}

TEST_F(AllSearch, ALargeCatalogueReadOnTwoThreadsGivesTheSameSequence) {
    // Some megabytes of sub records (enough to be read on two threads), four of them holding the word.
    cat.open()->execute(
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1000 UNION ALL SELECT i + 1 FROM n WHERE i < 21000) "
                       "INSERT INTO CD1SUB (曲名, 登録ＮＯ, サブＮＯ) "
                       "SELECT CASE WHEN i % 5000 = 0 THEN 'blue ' || i ELSE printf('%0300d', i) END, i, 1 FROM n"));
    ASSERT_GT(QFileInfo(cat.state.databasePath()).size(), 6 << 20);
    const Recorder r = run(QStringLiteral("blue"), false);
    QStringList texts;
    for (const QStringList& hit : r.hits)
        texts << hit[0];
    EXPECT_EQ(texts, (QStringList{QStringLiteral("Blue Moon"), QStringLiteral("BLUE Trio"),
                                  QStringLiteral("ＢＬＵＥ　ＮＩＧＨＴ"), QStringLiteral("Blue in Green"),
                                  QStringLiteral("blue 5000"), QStringLiteral("blue 10000"),
                                  QStringLiteral("blue 15000"), QStringLiteral("blue 20000"),
                                  QStringLiteral("Night Blue"), QStringLiteral("ｂｌｕｅ海"), QStringLiteral("blue")}));
    EXPECT_EQ(r.hits[5], Row("blue 10000", "CD1 :サブ", "曲名", "CD1SUB", "10000", "1"));
    EXPECT_EQ(r.progress.size(), 4);
    EXPECT_EQ(r.tablesFinished, 4);

    // Stopped after the first table: the first table whole, then no more than was read of the rest, each hit in the
    // place it has in the whole sequence.
    const Recorder stopped = run(QStringLiteral("blue"), false, 1);
    ASSERT_GE(stopped.hits.size(), 3u);
    ASSERT_LT(stopped.hits.size(), r.hits.size());
    EXPECT_TRUE(std::equal(stopped.hits.begin(), stopped.hits.begin() + 3, r.hits.begin()));
    auto place = r.hits.begin();
    for (const QStringList& hit : stopped.hits) {
        place = std::find(place, r.hits.end(), hit);
        ASSERT_NE(place, r.hits.end()) << hit.join(u',').toStdString();
    }
    EXPECT_EQ(stopped.progress.size(), stopped.tablesFinished);
}

TEST_F(AllSearch, SixCategoriesAreSearchedInSectionOrder) {
    for (int s : {5, 6, 8, 9})
        ASSERT_FALSE(store::AddSlot(cat.state, s).has_value());
    cat.addMain(9, 1, {QStringLiteral("Blue DVD3")});
    test::AddSubFields(cat, 5, 2, 1, {QStringLiteral("blue CD2")});
    EXPECT_EQ(search::TablesToSearch(cat.state.config), 12);
    const Recorder r = run(QStringLiteral("blue"), false);
    ASSERT_EQ(r.hits.size(), 9u);
    EXPECT_EQ(r.hits[5], Row("blue CD2", "CD2 :サブ", "曲名", "CD2SUB", "2", "1"));
    EXPECT_EQ(r.hits[8], Row("Blue DVD3", "DVD3", "タイトル", "DVD3", "1"));
    EXPECT_EQ(r.progress.size(), 12);
    // Twelve tables: the bar moves by two or three squares.
    EXPECT_EQ(r.progress[0], QStringLiteral("ファイル読込中　■■□□□□□□□□□□□□□□□□□□□□□□□"));
    EXPECT_EQ(r.progress[5], QStringLiteral("ファイル読込中　■■■■■■■■■■■■■□□□□□□□□□□□□"));
}

TEST_F(AllSearch, DetailRowOfAHitIsReadByItsKeysWhateverTheirSize) {
    const auto cd = search::FindHitTable(cat.state.config, QStringLiteral("CD1"));
    const auto cdSub = search::FindHitTable(cat.state.config, QStringLiteral("CD1SUB"));
    ASSERT_TRUE(cd && cdSub);
    EXPECT_EQ(cd->section, 4);
    EXPECT_FALSE(cd->sub);
    EXPECT_TRUE(cdSub->sub);
    EXPECT_FALSE(search::FindHitTable(cat.state.config, QStringLiteral("CD2")).has_value()); // not in use
    EXPECT_EQ(search::CategoryLabel(cat.state.config[4], true), QStringLiteral("CD1  ：サブ"));

    const store::ConfigSection& s = cat.state.config[4];
    auto db = cat.open();
    // 40000 is past what a 16-bit number holds.
    ASSERT_EQ(search::ParseRecordNumber(QStringLiteral("40000")), 40000);
    auto main = search::ReadDetailRow(*db, s, false, 40000, 0);
    ASSERT_TRUE(main);
    EXPECT_EQ(main->size(), 16);
    EXPECT_EQ(main->cell(0), QStringLiteral("ＢＬＵＥ　ＮＩＧＨＴ"));
    EXPECT_EQ(main->cell(11), QStringLiteral("2009"));
    EXPECT_EQ(main->cell(15), QStringLiteral("40000"));
    auto sub = search::ReadDetailRow(*db, s, true, 40000, 3);
    ASSERT_TRUE(sub);
    EXPECT_EQ(sub->cells().mid(10), (QStringList{"40000", "3"}));
    EXPECT_FALSE(search::ReadDetailRow(*db, s, true, 40000, 4));
    EXPECT_FALSE(search::ReadDetailRow(*db, s, false, 40002, 0));
    // A record without a first field: an empty first cell, the rest as stored.
    auto untitled = search::ReadDetailRow(*db, s, false, 40001, 0);
    ASSERT_TRUE(untitled);
    EXPECT_EQ(untitled->cell(0), QString());
    EXPECT_EQ(untitled->cell(1), QStringLiteral("ひかりの森"));
    EXPECT_FALSE(search::ParseRecordNumber(QString()).has_value());
}

TEST(SearchColumns, DetailAndInquiryColumnsFollowTheFieldTypes) {
    test::TestCatalogue cat;
    const store::ConfigSection& s = cat.state.config[4];
    const auto detail = search::DetailColumns(s, false);
    ASSERT_EQ(detail.size(), 16u);
    EXPECT_EQ(detail[0].widthTwips, 4000);
    EXPECT_EQ(detail[1].widthTwips, 1800);
    EXPECT_EQ(detail[10].widthTwips, 1000); // 枚数, LONG
    EXPECT_EQ(detail[10].align, Qt::AlignRight);
    EXPECT_EQ(detail[13].widthTwips, 1000); // 発売日, DATE
    EXPECT_EQ(detail[15].heading, QStringLiteral("登録ＮＯ"));
    EXPECT_EQ(detail[15].widthTwips, 0);
    const auto detailSub = search::DetailColumns(s, true);
    ASSERT_EQ(detailSub.size(), 12u);
    EXPECT_EQ(detailSub[11].heading, QStringLiteral("サブＮＯ"));

    const auto inquiry = search::InquiryMainColumns(s);
    ASSERT_EQ(inquiry.size(), 16u);
    EXPECT_EQ(inquiry[0].widthTwips, 3500);
    EXPECT_EQ(inquiry[0].heading, QStringLiteral("タイトル"));
    EXPECT_EQ(inquiry[14].widthTwips, 1800);
    const auto inquirySub = search::InquirySubColumns(s);
    ASSERT_EQ(inquirySub.size(), 12u);
    EXPECT_EQ(inquirySub[8].align, Qt::AlignRight); // トラック番号, LONG
    EXPECT_EQ(inquirySub[10].widthTwips, 0);
    EXPECT_EQ(inquirySub[11].widthTwips, 0);
}

} // namespace

namespace {

// The scan compares the engine's UTF-8 bytes; it must agree with the comparison of texts everywhere else.
TEST(SearchMatch, Utf8ComparisonAgreesWithTheTextComparison) {
    const QStringList values{QStringLiteral("ＡＢＣの歌"),   QStringLiteral("ﾀﾞﾝｽ"),
                             QStringLiteral("カ\u3099イド"), QStringLiteral("ｺｰﾗｽ｡"),
                             QStringLiteral("￥１，０００"), QStringLiteral("𠮷野家 Blue"),
                             QStringLiteral("ぱり"),         QString()};
    const QStringList sought{QStringLiteral("ab"),   QStringLiteral("だ"),   QStringLiteral("ガイ"),
                             QStringLiteral("ーラ"), QStringLiteral("¥1,0"), QStringLiteral("𠮷野"),
                             QStringLiteral("BLUE"), QStringLiteral("ﾊﾟ"),   QStringLiteral("x")};
    for (auto fold : {records::TextFold::Exact, records::TextFold::Case, records::TextFold::CaseWidthKana}) {
        for (const QString& s : sought) {
            const records::TextMatcher m(s, fold);
            for (const QString& v : values)
                EXPECT_EQ(m.occursInUtf8(v.toStdString()), m.occursIn(v))
                    << int(fold) << ' ' << s.toStdString() << " in " << v.toStdString();
        }
    }
    // Broken bytes are read as replacement characters, never past the end.
    const records::TextMatcher m(QStringLiteral("ab"), records::TextFold::CaseWidthKana);
    EXPECT_TRUE(m.occursInUtf8(std::string_view("\xE3\x81"
                                                "AB",
                                                4)));
    EXPECT_FALSE(m.occursInUtf8(std::string_view("\xF0\x9F", 2)));
}

} // namespace
