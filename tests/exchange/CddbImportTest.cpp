#include "exchange/CddbImport.h"

#include "TestCatalogue.h"
#include "platform/Database.h"
#include "store/Catalogue.h"

#include <gtest/gtest.h>

namespace quelm::exchange {
namespace {

using platform::Value;
using test::TestCatalogue;

constexpr int Cd = 4;

// A player's file with n tracks (title and length each) and TRACKS naming n.
CddbDisc PlayerDisc(int n) {
    QString text = QStringLiteral("DISCID=0a0b0c0d\nDTITLE=アルバム\nDARTIST=演奏者\nTRACKS=0,%1\n").arg(n);
    for (int t = 1; t <= n; ++t)
        text += QStringLiteral("TTITLE%1=曲%1\nTLENGTH%1=225000\n").arg(t);
    return ParseCddb(platform::EncodeText(text, platform::TextEncoding::Cp932));
}

struct CddbRun : ::testing::Test {
    TestCatalogue cat;
    CddbRun() { cat.state.CurrentSection = Cd; }

    QString mainTable() const { return cat.state.config[Cd].TableName.trimmed(); }
    QString subTable() const { return cat.state.config[Cd].SubTableName.trimmed(); }
    std::vector<std::vector<Value>> rows(const QString& table) const {
        std::vector<std::vector<Value>> all;
        auto db = cat.open();
        for (auto rs = db->openTable(table); !rs->eof(); rs->moveNext()) {
            std::vector<Value> row;
            for (int i = 0; i < rs->fieldCount(); ++i)
                row.push_back(rs->value(i));
            all.push_back(row);
        }
        return all;
    }
    static CddbMapping Mapping(std::initializer_list<std::pair<int, const char*>> main,
                               std::initializer_list<std::pair<int, const char*>> sub) {
        CddbMapping m;
        for (const auto& [i, label] : main)
            m.main[i] = QString::fromUtf8(label);
        for (const auto& [i, label] : sub)
            m.sub[i] = QString::fromUtf8(label);
        return m;
    }
};

TEST_F(CddbRun, TwelveTracksBecomeTwelveSubRecordsWithTheCounterWrittenOnce) {
    cat.state.config[Cd].RegNo = 7;
    store::SaveConfig(cat.state.databasePath(), (cat.state.config[Cd].Dirty = 1, cat.state.config));
    const auto m = Mapping({{0, "タイトル"}, {1, "アーティスト"}, {2, "収録曲数"}, {14, "CDDB-ID"}},
                           {{0, "曲名"}, {2, "演奏時間"}});
    const CddbRunResult r = RunCddbImport(cat.state, PlayerDisc(12), m);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_EQ(r.mainCount, 1);
    EXPECT_EQ(r.subCount, 12);
    EXPECT_EQ(r.regNo, 8);

    const auto mains = rows(mainTable());
    ASSERT_EQ(mains.size(), 1u);
    EXPECT_EQ(mains[0][0].toText(), QStringLiteral("アルバム"));
    EXPECT_EQ(mains[0][1].toText(), QStringLiteral("演奏者"));
    EXPECT_EQ(mains[0][2].toText(), QStringLiteral("12"));
    EXPECT_EQ(mains[0][3].toText(), QStringLiteral(" ")); // unmapped: one blank
    for (int i = 10; i <= 13; ++i)
        EXPECT_TRUE(mains[0][i].isNull()) << i;
    EXPECT_EQ(mains[0][14].toText(), QStringLiteral("0a0b0c0d"));
    EXPECT_EQ(mains[0][15].toInt(), 8);
    EXPECT_EQ(mains[0][16].toInt(), 0);

    const auto subs = rows(subTable());
    ASSERT_EQ(subs.size(), 12u);
    for (int t = 0; t < 12; ++t) {
        EXPECT_EQ(subs[t][0].toText(), QStringLiteral("曲%1").arg(t + 1));
        EXPECT_EQ(subs[t][1].toText(), QStringLiteral(" "));
        EXPECT_EQ(subs[t][2].toText(), QStringLiteral("03:45"));
        EXPECT_TRUE(subs[t][8].isNull());
        EXPECT_TRUE(subs[t][9].isNull());
        EXPECT_EQ(subs[t][10].toInt(), 8);
        EXPECT_EQ(subs[t][11].toInt(), t + 1);
    }
    EXPECT_EQ(cat.state.config[Cd].RegNo, 8);
    EXPECT_EQ(cat.reload()[Cd].RegNo, 8);
}

// The last track is written whether or not TRACKS is mapped; tracks 1 and 11 stay apart.
TEST_F(CddbRun, EveryTrackIsWrittenInTrackOrder) {
    const CddbDisc disc = ParseCddb(QByteArray("DTITLE=t\nTTITLE1=one\nTTITLE11=eleven\nTTITLE2=two\n"));
    const CddbRunResult r = RunCddbImport(cat.state, disc, Mapping({{0, "タイトル"}}, {{0, "曲名"}}));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.subCount, 3);
    const auto subs = rows(subTable());
    ASSERT_EQ(subs.size(), 3u);
    EXPECT_EQ(subs[0][0].toText(), QStringLiteral("one"));
    EXPECT_EQ(subs[1][0].toText(), QStringLiteral("two"));
    EXPECT_EQ(subs[2][0].toText(), QStringLiteral("eleven"));
    EXPECT_EQ(subs[2][11].toInt(), 3);
}

TEST_F(CddbRun, WhatEachRunWritesOrLeaves) {
    // No track lines: no main record, nothing counted.
    const CddbDisc noTracks = ParseCddb(QByteArray("DTITLE=only an album\nDARTIST=x\n"));
    CddbRunResult r = RunCddbImport(cat.state, noTracks, Mapping({{0, "タイトル"}}, {{0, "曲名"}}));
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.mainCount, 0);
    EXPECT_EQ(r.subCount, 0);
    EXPECT_EQ(cat.rowCount(mainTable()), 0);
    EXPECT_EQ(cat.state.config[Cd].RegNo, 0);

    // No sub slot mapped: the main record alone. The same label in two slots fills the first; a label the CD
    // lacks leaves its slot blank.
    r = RunCddbImport(cat.state, PlayerDisc(3), Mapping({{0, "タイトル"}, {1, "タイトル"}, {2, "ジャンル"}}, {}));
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.mainCount, 1);
    EXPECT_EQ(r.subCount, 0);
    const auto mains = rows(mainTable());
    ASSERT_EQ(mains.size(), 1u);
    EXPECT_EQ(mains[0][0].toText(), QStringLiteral("アルバム"));
    EXPECT_EQ(mains[0][1].toText(), QStringLiteral(" "));
    EXPECT_EQ(mains[0][2].toText(), QStringLiteral(" "));
    EXPECT_EQ(cat.rowCount(subTable()), 0);

    // A text longer than a field holds is cut to 255 bytes, whole characters only, and the result names it.
    const CddbDisc longNote = ParseCddb(("# xmcd\nDTITLE=a / b\nEXTD=" + QString(200, QChar(0x3042)) +
                                         "\nTTITLE0=x\nTTITLE1=" + QString(300, u'y') + "\n")
                                            .toUtf8());
    r = RunCddbImport(cat.state, longNote, Mapping({{5, "説明"}, {0, "タイトル"}}, {{0, "曲名"}}));
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_EQ(rows(mainTable())[1][5].toText(), QString(127, QChar(0x3042)));
    EXPECT_EQ(r.cutItems, (QStringList{"説明", "曲名 (トラック 1)"}));
    EXPECT_EQ(
        CutItemsText(r.cutItems),
        QStringLiteral("次の項目は長すぎるため、255 バイトに切詰めました。\r\n  説明\r\n  曲名 (トラック 1)\r\n"));
    EXPECT_EQ(CutItemsText({}), QString());
}

// A failure among the sub records takes back the main record and the counter too.
TEST_F(CddbRun, EngineFailureLeavesTheCatalogueAsItWas) {
    cat.addMain(Cd, 1, {QStringLiteral("既存")});
    cat.state.config[Cd].RegNo = 1;
    store::SaveConfig(cat.state.databasePath(), (cat.state.config[Cd].Dirty = 1, cat.state.config));
    // The third track of the new disc is refused: a second sub record of one disc from サブＮＯ 2 on breaks this
    // index (the program's connections run no triggers, so the failure comes from the engine's own checks).
    cat.open()->execute(QStringLiteral("CREATE UNIQUE INDEX fail_third ON %1 (%2) WHERE %3 >= 2")
                            .arg(subTable(), store::MainKeyColumn, store::SubKeyColumn));
    const CddbRunResult r = RunCddbImport(cat.state, PlayerDisc(5), Mapping({{0, "タイトル"}}, {{0, "曲名"}}));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains(QStringLiteral("UNIQUE")));
    EXPECT_EQ(cat.rowCount(mainTable()), 1);
    EXPECT_EQ(cat.rowCount(subTable()), 0);
    EXPECT_EQ(cat.state.config[Cd].RegNo, 1);
    EXPECT_EQ(cat.reload()[Cd].RegNo, 1);
}

TEST_F(CddbRun, MappingSavedPerCategoryAndRestored) {
    auto db = cat.open();
    EXPECT_FALSE(LoadCddbMapping(*db, Cd).has_value()); // nothing saved yet

    CddbMapping m = Mapping({{0, "タイトル"}, {9, "言語"}, {14, "CDDB-ID"}}, {{0, "曲名"}, {7, "発表年"}});
    ASSERT_TRUE(SaveCddbMapping(*db, Cd, m));
    const auto loaded = LoadCddbMapping(*db, Cd);
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(loaded->main, m.main);
    EXPECT_EQ(loaded->sub, m.sub);
    EXPECT_FALSE(LoadCddbMapping(*db, Cd + 1).has_value()); // another category's row is its own

    {
        auto rs = db->openTable(store::ConfigTable, QStringLiteral("KeyNo"), Value(CddbSettingsKeyNo(Cd)));
        EXPECT_EQ(rs->value(6).toText(), QStringLiteral("タイトル"));
        EXPECT_EQ(rs->value(34).toText(), QStringLiteral("CDDB-ID"));
        EXPECT_EQ(rs->value(52).toText(), QStringLiteral("発表年"));
        EXPECT_EQ(rs->value(3).toInt(), 1);
        // A cell emptied by another tool reads as an unmapped slot.
        rs->edit();
        rs->setValue(8, Value());
        rs->update();
    }
    EXPECT_EQ(LoadCddbMapping(*db, Cd)->main[1], UnmappedSlot);

    db->execute(QStringLiteral("DELETE FROM %1 WHERE KeyNo = 11").arg(store::ConfigTable));
    EXPECT_FALSE(SaveCddbMapping(*db, Cd, m));
    EXPECT_FALSE(LoadCddbMapping(*db, Cd).has_value());
}

} // namespace
} // namespace quelm::exchange
