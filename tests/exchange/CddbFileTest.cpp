#include "exchange/CddbFile.h"

#include "TestCatalogue.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quelm::exchange {
namespace {

using platform::TextEncoding;
using test::Fixture;

QByteArray Cp932(const QString& text) {
    return platform::EncodeText(text, TextEncoding::Cp932);
}

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

QStringList Titles(const CddbDisc& disc) {
    QStringList titles;
    for (const CddbTrack& t : disc.tracks)
        titles << t.values.at(QStringLiteral("曲名"));
    return titles;
}

TEST(CddbLengths, MillisecondsBecomeDiscAndTrackLengths) {
    EXPECT_EQ(DiscLengthText(4530000), QStringLiteral("1:15:30"));
    EXPECT_EQ(DiscLengthText(2700000), QStringLiteral("0:45:00"));
    EXPECT_EQ(DiscLengthText(59999), QStringLiteral("0:00:59"));     // seconds are cut, never rounded up
    EXPECT_EQ(DiscLengthText(90000000), QStringLiteral("25:00:00")); // no wrap past a day
    EXPECT_EQ(TrackLengthText(225000), QStringLiteral("03:45"));
    EXPECT_EQ(TrackLengthText(5000), QStringLiteral("00:05"));
    EXPECT_EQ(TrackLengthText(6000000), QStringLiteral("100:00"));
    EXPECT_EQ(TrackCountText(QStringLiteral("0,1,12")), QStringLiteral("12"));
    EXPECT_EQ(TrackCountText(QStringLiteral("9")), QStringLiteral("9"));
    EXPECT_EQ(DecodeCddbEscapes(QStringLiteral(R"(a\nb\tc\\n\x)")), QStringLiteral("a\nb\tc\\n\\x"));
}

// The player's own layout, in its code page: tracks from 1, lengths in milliseconds, a repeated key replacing.
TEST(CddbPlayerFile, ReadsAlbumAndTrackItems) {
    QString text = QStringLiteral("# 作成: Player\r\nDISCID=a10b600c\r\nDLENGTH=4530000\r\nDTITLE=仮の題\r\n"
                                  "DTITLE=交響曲第９番\r\nDARTIST=東京ｆｉｌ\r\nDYEAR=1999\r\nTRACKS=0,12\r\n");
    for (int n = 1; n <= 12; ++n)
        text += QStringLiteral("TTITLE%1=第%1曲\r\nTLENGTH%1=%2\r\n").arg(n).arg(225000 + n * 1000);
    const CddbDisc disc = ParseCddb(Cp932(text));

    EXPECT_EQ(disc.layout, CddbLayout::Player);
    EXPECT_EQ(disc.encoding, TextEncoding::Cp932);
    EXPECT_EQ(disc.albumItems,
              (QStringList{"CDDB-ID", "収録時間", "タイトル", "タイトル", "アーティスト", "発売年", "収録曲数"}));
    EXPECT_EQ(disc.albumValues.at("タイトル"), QStringLiteral("交響曲第９番"));
    EXPECT_EQ(disc.albumValues.at("アーティスト"), QStringLiteral("東京ｆｉｌ"));
    EXPECT_EQ(disc.albumValues.at("収録時間"), QStringLiteral("1:15:30"));
    EXPECT_EQ(disc.albumValues.at("収録曲数"), QStringLiteral("12"));
    EXPECT_EQ(disc.trackItems, (QStringList{"曲名", "演奏時間"}));
    ASSERT_EQ(disc.tracks.size(), 12u);
    EXPECT_EQ(disc.tracks[0].number, 1);
    EXPECT_EQ(disc.tracks[10].number, 11);
    EXPECT_EQ(disc.tracks[10].values.at("曲名"), QStringLiteral("第11曲"));
    EXPECT_EQ(disc.tracks[0].values.at("演奏時間"), QStringLiteral("03:46"));
    EXPECT_EQ(disc.tracks[11].values.at("演奏時間"), QStringLiteral("03:57"));
}

// Tracks are told apart by their whole number, not by the digit before "=".
TEST(CddbPlayerFile, TrackNumbersComeFromTheWholeKey) {
    const CddbDisc disc =
        ParseCddb(Cp932(QStringLiteral("DTITLE=x\nTTITLE1=一\nTTITLE11=十一\nTTITLE3=三\nTARTIST3=誰\nTTITLE21=二十一\n"
                                       "TTITLE99999999999=ありえない\nTTITLE1000=範囲外\nTTITLEX=番号なし\n")));
    ASSERT_EQ(disc.tracks.size(), 4u);
    EXPECT_EQ(disc.tracks[0].number, 1);
    EXPECT_EQ(disc.tracks[1].number, 3);
    EXPECT_EQ(disc.tracks[2].number, 11);
    EXPECT_EQ(disc.tracks[3].number, 21);
    EXPECT_EQ(Titles(disc), (QStringList{"一", "三", "十一", "二十一"}));
    EXPECT_EQ(disc.tracks[1].values.at("アーティスト"), QStringLiteral("誰"));
    EXPECT_FALSE(disc.tracks[0].values.contains("アーティスト"));
    EXPECT_EQ(disc.albumValues.at("収録曲数"), QStringLiteral("4")); // counted when there is no TRACKS line
}

struct FreedbExpectation {
    const char* file;
    TextEncoding encoding;
    const char* title;
    const char* artist; // nullptr: the file names none
    const char* discLength;
    std::vector<const char*> titles; // first, one in the middle (index 1 of this list is track 10 when present), last
    size_t trackCount;
    const char* firstLength;
    const char* lastLength;
};

// Every value here was read off the files by hand (lengths: frame offsets / 75, the last up to the disc length).
TEST(CddbFreedbFiles, FixturesReadIntoTheSameItems) {
    QUELM_NEED_FIXTURE("cddb");
    const std::vector<FreedbExpectation> expected{
        {"pear_d50dd30f.txt",
         TextEncoding::Utf8,
         "Ska Island",
         "Various",
         "0:59:01",
         {"King of Kings", "Rudy Girl", "Keep On Running"},
         15,
         "04:38",
         "03:37"},
        {"peik_12025d03.txt",
         TextEncoding::Utf8,
         "Ernest Ray Everett - Single CD",
         nullptr,
         "0:10:07",
         {"I'm Your Puppet", "Me And Jacky", "If You Don't Like Country"},
         3,
         "02:39",
         "03:04"},
        {"peik_8608460b.txt",
         TextEncoding::Utf8,
         "Van Halen",
         "Van Halen",
         "0:35:20",
         {"Runnin' With The Devil", "On Fire", "On Fire"},
         11,
         "03:34",
         "02:59"},
        {"rubyripper_ISO88591",
         TextEncoding::Latin1,
         "Syvyyden Syli",
         "Tuhonvarjo",
         "0:22:54",
         {"Syvyyden Syli", "Joutsenen Siivillä", "Surumarssi"},
         4,
         "05:35",
         "05:59"},
        {"rubyripper_disc002",
         TextEncoding::Utf8,
         "Sad Wings Of Destiny",
         "Judas Priest",
         nullptr,
         {"Victim Of Changes", "Epitaph", "Island Of Domination"},
         9,
         nullptr,
         nullptr},
        {"rubyripper_normalAudioDisc_crlf",
         TextEncoding::Utf8,
         "Inferno",
         "Motorhead",
         "0:48:34",
         {"Terminal Show", "Smiling Like A Killer", "Whorehouse Blues"},
         12,
         "03:45",
         "03:52"},
    };
    for (const FreedbExpectation& e : expected) {
        SCOPED_TRACE(e.file);
        const CddbReadResult read = ReadCddbFile(Fixture(QStringLiteral("cddb/") + e.file));
        ASSERT_EQ(read.status, CddbReadStatus::Ok);
        const CddbDisc& d = read.disc;
        EXPECT_EQ(d.layout, CddbLayout::Freedb);
        EXPECT_EQ(d.encoding, e.encoding);
        EXPECT_EQ(d.albumValues.at("タイトル"), QString::fromUtf8(e.title));
        EXPECT_EQ(d.albumItems.contains("アーティスト"), e.artist != nullptr);
        if (e.artist) {
            EXPECT_EQ(d.albumValues.at("アーティスト"), QString::fromUtf8(e.artist));
        }
        EXPECT_EQ(d.albumValues.at("収録曲数"), QString::number(e.trackCount));
        if (e.discLength)
            EXPECT_EQ(d.albumValues.at("収録時間"), QString::fromUtf8(e.discLength));
        else
            EXPECT_FALSE(d.albumItems.contains("収録時間"));
        ASSERT_EQ(d.tracks.size(), e.trackCount);
        EXPECT_EQ(d.tracks.front().number, 0);
        EXPECT_EQ(d.tracks.front().values.at("曲名"), QString::fromUtf8(e.titles[0]));
        EXPECT_EQ(d.tracks.back().values.at("曲名"), QString::fromUtf8(e.titles[2]));
        const QStringList titles = Titles(d);
        EXPECT_TRUE(titles.contains(QString::fromUtf8(e.titles[1])));
        if (e.firstLength) {
            EXPECT_EQ(d.tracks.front().values.at("演奏時間"), QString::fromUtf8(e.firstLength));
            EXPECT_EQ(d.tracks.back().values.at("演奏時間"), QString::fromUtf8(e.lastLength));
        } else {
            EXPECT_FALSE(d.trackItems.contains("演奏時間"));
        }
    }
}

TEST(CddbFreedbFiles, DetailsOfTheFreedbLayout) {
    QUELM_NEED_FIXTURE("cddb");
    const CddbDisc pear = ReadCddbFile(Fixture("cddb/pear_d50dd30f.txt")).disc;
    EXPECT_EQ(pear.albumItems, (QStringList{"CDDB-ID", "収録時間", "タイトル", "アーティスト", "説明", "発売年",
                                            "収録曲数", "ジャンル"}));
    EXPECT_EQ(pear.albumValues.at("発売年"), QStringLiteral("1997"));
    EXPECT_EQ(pear.albumValues.at("ジャンル"), QStringLiteral("Reggae"));
    EXPECT_EQ(pear.albumValues.at("CDDB-ID"), QStringLiteral("d50dd30f"));
    EXPECT_EQ(pear.albumValues.at("説明"), QStringLiteral(" YEAR: 1997"));
    EXPECT_EQ(pear.trackItems, (QStringList{"曲名", "演奏時間", "説明"}));
    EXPECT_EQ(pear.tracks[1].values.at("演奏時間"), QStringLiteral("05:02"));
    EXPECT_EQ(pear.tracks[2].values.at("演奏時間"), QStringLiteral("03:11"));

    // Escapes of EXTD decoded (the file's own "\t" were lost before it reached us: "Halfordt").
    const CddbDisc priest = ReadCddbFile(Fixture("cddb/rubyripper_disc002")).disc;
    EXPECT_TRUE(priest.albumValues.at("説明").startsWith(
        QStringLiteral("P 1976 Gull Records\nC 1995 Repertoire Records\n\nRobert Halfordt- vocals\n")));
    EXPECT_TRUE(priest.albumValues.at("説明").endsWith(QStringLiteral("\nAlan Mooret- drums")));

    // Continuation lines are joined as they are, and an escape split over two lines still decodes.
    const CddbDisc joined = ParseCddb(QByteArray("# xmcd\nDTITLE=A / Long Ti\nDTITLE=tle\nEXTD=one\\\nEXTD=ntwo\n"
                                                 "TTITLE0=Fir\nTTITLE0=st \nEXTT0=x\\\\y\n"));
    EXPECT_EQ(joined.albumValues.at("タイトル"), QStringLiteral("Long Title"));
    EXPECT_EQ(joined.albumValues.at("説明"), QStringLiteral("one\ntwo"));
    EXPECT_EQ(joined.tracks[0].values.at("曲名"), QStringLiteral("First "));
    EXPECT_EQ(joined.tracks[0].values.at("説明"), QStringLiteral("x\\y"));

    // A UTF-8 freedb file; the same bytes read as chosen by the user.
    const QByteArray utf8 = QStringLiteral("# xmcd\nDTITLE=Björk / Début\nTTITLE0=Human Behaviour\n").toUtf8();
    EXPECT_EQ(ParseCddb(utf8).albumValues.at("タイトル"), QStringLiteral("Début"));
    EXPECT_EQ(ParseCddb(utf8, TextEncoding::Latin1).albumValues.at("タイトル"), QStringLiteral("DÃ©but"));
}

// TTITLE7 is missing, but EXTT7 and the offsets are there: track 7 keeps its place and its length.
TEST(CddbFreedbFiles, BrokenFixtureKeepsEveryTrack) {
    QUELM_NEED_FIXTURE("cddb");
    const CddbReadResult read = ReadCddbFile(Fixture("cddb/bad/peik_corrupt_song_7_missing.txt"));
    ASSERT_EQ(read.status, CddbReadStatus::Ok);
    const CddbDisc& d = read.disc;
    EXPECT_EQ(d.albumValues.at("タイトル"), QStringLiteral("21"));
    EXPECT_EQ(d.albumValues.at("アーティスト"), QStringLiteral("Adele"));
    ASSERT_EQ(d.tracks.size(), 13u);
    EXPECT_EQ(d.tracks[6].values.at("曲名"), QStringLiteral("Take It All"));
    EXPECT_FALSE(d.tracks[7].values.contains("曲名"));
    EXPECT_EQ(d.tracks[7].values.at("演奏時間"), QStringLiteral("04:01"));
    EXPECT_EQ(d.tracks[8].values.at("曲名"), QStringLiteral("One And Only"));
    EXPECT_EQ(d.tracks[12].values.at("演奏時間"), QStringLiteral("03:25"));
}

TEST(CddbHostileFiles, RefusedOrBoundedWithoutCrash) {
    QTemporaryDir dir;
    // Binary: NUL bytes.
    const QString binary = WriteFile(dir, "binary.cdb", QByteArray("DTITLE=x\0\x01\x02\xff", 13));
    EXPECT_EQ(ReadCddbFile(binary).status, CddbReadStatus::NotText);
    EXPECT_FALSE(ReadCddbListTitle(binary).has_value());

    // 100 MB: refused by its size, before anything is read.
    const QString huge = dir.filePath("huge.cdb");
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("DTITLE=big\n");
        ASSERT_TRUE(f.resize(100LL * 1024 * 1024));
    }
    EXPECT_EQ(ReadCddbFile(huge).status, CddbReadStatus::TooLarge);
    EXPECT_EQ(ReadCddbListTitle(huge), QStringLiteral("big"));

    // A line of a million characters: read, and the list shows only its start.
    const QString longLine = WriteFile(dir, "long.cdb", "DTITLE=" + QByteArray(1000000, 'a') + "\nTTITLE1=t\n");
    const CddbReadResult read = ReadCddbFile(longLine);
    ASSERT_EQ(read.status, CddbReadStatus::Ok);
    EXPECT_EQ(read.disc.albumValues.at("タイトル").size(), 1000000);
    EXPECT_EQ(ReadCddbListTitle(longLine)->size(), 256);

    EXPECT_EQ(ReadCddbFile(dir.filePath("missing.cdb")).status, CddbReadStatus::Unreadable);
    EXPECT_EQ(ReadCddbFile(dir.path()).status, CddbReadStatus::Unreadable);
}

TEST(CddbListTitles, FirstDTitleLineDecoded) {
    QTemporaryDir dir;
    const QString player =
        WriteFile(dir, "a.cdb", Cp932(QStringLiteral("DISCID=1\nDTITLE=ベートーヴェン=第九\nDTITLE=続き\n")));
    EXPECT_EQ(ReadCddbListTitle(player), QStringLiteral("ベートーヴェン=第九"));
    EXPECT_FALSE(ReadCddbListTitle(WriteFile(dir, "b.cdb", "DISCID=1\nTTITLE1=x\n")).has_value());
    QUELM_NEED_FIXTURE("cddb");
    EXPECT_EQ(ReadCddbListTitle(Fixture("cddb/rubyripper_ISO88591")), QStringLiteral("Tuhonvarjo / Syvyyden Syli"));
    EXPECT_EQ(ReadCddbListTitle(Fixture("cddb/rubyripper_normalAudioDisc_crlf")),
              QStringLiteral("Motorhead / Inferno"));
}

// The project's own files: one disc written by hand in each encoding a freedb file comes in, and by the player.
TEST(CddbFreedbFiles, EachEncodingIsFoundAndReadAlike) {
    const struct {
        const char* file;
        TextEncoding encoding;
        QString artist, title;
        QStringList tracks;
    } files[] = {
        {"freedb_sjis", TextEncoding::Cp932, "山田花子", "春の歌", {"さくらの道", "夏祭りの夜", "秋の月と風"}},
        {"freedb_eucjp", TextEncoding::EucJp, "山田花子", "春の歌", {"さくらの道", "夏祭りの夜", "秋の月と風"}},
        {"freedb_latin1",
         TextEncoding::Latin1,
         "Tuomas Kärkkäinen",
         "Yön Äänet",
         {"Jäätyvä järvi", "Kädet", "Öinen metsä"}},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.file);
        const CddbReadResult read = ReadCddbFile(test::ProjectFixture(QStringLiteral("cddb/") + f.file));
        ASSERT_EQ(read.status, CddbReadStatus::Ok);
        const CddbDisc& d = read.disc;
        EXPECT_EQ(d.layout, CddbLayout::Freedb);
        EXPECT_EQ(d.encoding, f.encoding);
        EXPECT_EQ(d.albumValues.at("アーティスト"), f.artist);
        EXPECT_EQ(d.albumValues.at("タイトル"), f.title);
        EXPECT_EQ(d.albumValues.at("収録時間"), QStringLiteral("0:10:00"));
        EXPECT_EQ(Titles(d), f.tracks);
        ASSERT_EQ(d.tracks.size(), 3u);
        // (17477 - 150) / 75, (35000 - 17477) / 75 and (45000 - 35000) / 75 seconds.
        EXPECT_EQ(d.tracks[0].values.at("演奏時間"), QStringLiteral("03:51"));
        EXPECT_EQ(d.tracks[1].values.at("演奏時間"), QStringLiteral("03:53"));
        EXPECT_EQ(d.tracks[2].values.at("演奏時間"), QStringLiteral("02:13"));
        EXPECT_EQ(ReadCddbListTitle(test::ProjectFixture(QStringLiteral("cddb/") + f.file)),
                  f.artist + " / " + f.title);
    }

    const CddbReadResult player = ReadCddbFile(test::ProjectFixture("cddb/player_cp932.cdb"));
    ASSERT_EQ(player.status, CddbReadStatus::Ok);
    EXPECT_EQ(player.disc.layout, CddbLayout::Player);
    EXPECT_EQ(player.disc.encoding, TextEncoding::Cp932);
    EXPECT_EQ(player.disc.albumValues.at("アーティスト"), QStringLiteral("山田花子"));
    EXPECT_EQ(Titles(player.disc), (QStringList{"さくらの道①", "夏祭りの夜", "秋の月と風"}));
    EXPECT_EQ(player.disc.tracks[2].values.at("演奏時間"), QStringLiteral("02:13"));
}

// Track lengths come only from a whole offset list: one offset per track, ended normally.
TEST(CddbFreedbFiles, AnOffsetListThatStopsEarlyGivesNoLengths) {
    const QByteArray head = "# xmcd\n#\n# Track frame offsets:\n#\t150\n#\t17477\n";
    const QByteArray tail = "# Disc length: 3000 seconds\n#\nDTITLE=A / B\nTTITLE0=one\nTTITLE1=two\nTTITLE2=three\n";
    const struct {
        const char* what;
        QByteArray offsets;
        bool lengths;
    } lists[] = {
        {"whole", "#\t35000\n#\n", true},
        {"ended by the disc length", "#\t35000\n", true},
        {"two offsets for three tracks", "#\n", false},
        {"a bad line", "#\t35x00\n#\t35000\n#\n", false},
        {"an offset beyond any CD", "#\t99999999999\n#\n", false},
    };
    for (const auto& l : lists) {
        SCOPED_TRACE(l.what);
        const CddbDisc d = ParseCddb(head + l.offsets + tail);
        ASSERT_EQ(d.tracks.size(), 3u);
        for (const CddbTrack& t : d.tracks)
            EXPECT_EQ(t.values.contains("演奏時間"), l.lengths) << t.number;
        EXPECT_EQ(d.albumValues.at("収録時間"), QStringLiteral("0:50:00"));
    }
    // A disc length no CD has is ignored, without overflowing on the way.
    const CddbDisc huge = ParseCddb("# xmcd\n# Disc length: 922337203685477580 seconds\nDTITLE=A / B\nTTITLE0=x\n");
    EXPECT_FALSE(huge.albumValues.contains("収録時間"));
}

// Bytes the encoding cannot read refuse the file, naming the line; the list shows no title for it.
TEST(CddbHostileFiles, UndecodableBytesAreRefusedWithTheirLine) {
    QTemporaryDir dir;
    const QString bad = WriteFile(dir, "bad.cdb", "DISCID=1\r\nDTITLE=\x81 x\r\nTTITLE1=t\r\n");
    const CddbReadResult read = ReadCddbFile(bad, TextEncoding::Cp932);
    EXPECT_EQ(read.status, CddbReadStatus::Undecodable);
    EXPECT_EQ(read.disc.faultLine, 2);
    EXPECT_TRUE(CddbReadFailureText(read).startsWith(QStringLiteral("2 行目に Shift_JIS (CP932) として読めない")));
    EXPECT_EQ(ReadCddbListTitle(bad, TextEncoding::Cp932),
              QStringLiteral("（Shift_JIS (CP932) では読めない文字があります）"));
}

} // namespace
} // namespace quelm::exchange
