#include "exchange/RippedImport.h"
#include "exchange/RippedAlbum.h"
#include "exchange/RippedImportScreen.h"

#include "TestCatalogue.h"
#include "platform/Database.h"
#include "platform/DragDrop.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <random>

namespace quelm::exchange {
namespace {

using platform::Answer;
using platform::DragSource;
using test::TestCatalogue;

constexpr int Cd = 4;

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// One second of silence as a 16-bit mono WAV file.
QString SilentWav(const QDir& dir) {
    const quint32 data = 44100 * 2;
    QByteArray wav("RIFF");
    auto u32 = [&](quint32 v) { wav.append(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](quint16 v) { wav.append(reinterpret_cast<const char*>(&v), 2); };
    u32(36 + data);
    wav += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(1);
    u32(44100);
    u32(88200);
    u16(2);
    u16(16);
    wav += "data";
    u32(data);
    wav += QByteArray(data, '\0');
    WriteFile(dir.filePath("silence.wav"), wav);
    return dir.filePath("silence.wav");
}

QString Jpeg(const QString& path, QColor colour) {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(colour);
    image.save(path, "JPG");
    return path;
}

bool Run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Two albums made with the real encoders: three FLAC files (track numbers out of name order, a cover in the second)
// and two MP3 files with cover.jpg beside them; a text file named .flac and a folder without audio.
struct RippedFolder {
    QTemporaryDir dir;
    QDir root{dir.path()};
    bool made = false;

    RippedFolder() {
        if (QStandardPaths::findExecutable("flac").isEmpty() || QStandardPaths::findExecutable("lame").isEmpty())
            return;
        const QString wav = SilentWav(root);
        const QString embedded = Jpeg(root.filePath("embedded.jpg"), Qt::red);
        root.mkpath("Rock/First Album");
        root.mkpath("Rock/Second");
        root.mkpath("Notes");
        WriteFile(root.filePath("Notes/readme.txt"), "no audio here");
        const std::vector<std::tuple<QString, QString, QString>> flacs{
            {"a.flac", "2", "Middle"}, {"b.flac", "1", "Opening"}, {"c.flac", "3", "Closing"}};
        for (const auto& [name, number, title] : flacs) {
            QStringList args{"-s",
                             "--force",
                             "-o",
                             root.filePath("Rock/First Album/" + name),
                             "--tag=TITLE=" + title,
                             "--tag=TRACKNUMBER=" + number,
                             "--tag=ALBUM=最初のアルバム",
                             "--tag=ALBUMARTIST=バンド",
                             "--tag=ARTIST=Singer " + number,
                             "--tag=DATE=1999-05-01",
                             "--tag=GENRE=Rock",
                             "--tag=LABEL=Quelm Records",
                             "--tag=CATALOGNUMBER=QR-001",
                             "--tag=DISCNUMBER=1/2",
                             "--tag=COMPOSER=作曲家"};
            if (name == "b.flac")
                args << "--picture=" + embedded;
            args << wav;
            if (!Run("flac", args))
                return;
        }
        WriteFile(root.filePath("Rock/First Album/broken.flac"), "this is not audio");
        for (const auto& [name, number, artist] :
             std::vector<std::tuple<QString, QString, QString>>{{"01.mp3", "1", "Duo"}, {"02.mp3", "2", "Duo"}}) {
            if (!Run("lame", {"--quiet", "--tt", "Song " + number, "--ta", artist, "--tl", "Second Album", "--ty",
                              "2004", "--tn", number, wav, root.filePath("Rock/Second/" + name)}))
                return;
        }
        Jpeg(root.filePath("Rock/Second/cover.jpg"), Qt::blue);
        QFile::remove(wav);
        made = true;
    }
};

#define REQUIRE_ENCODERS(folder)                                                                                       \
    if (!(folder).made)                                                                                                \
    GTEST_SKIP() << "flac and lame are needed to make the test albums"

TEST(RippedScan, EveryFolderWithAudioIsOneAlbumFromItsTags) {
    RippedFolder f;
    REQUIRE_ENCODERS(f);
    int reports = 0;
    const RippedScan scan = ScanRippedFolder(f.root.path(), [&](int, int total) {
        EXPECT_EQ(total, 6);
        ++reports;
        return true;
    });
    EXPECT_GT(reports, 0);
    EXPECT_EQ(scan.unreadable, QStringList{f.root.filePath("Rock/First Album/broken.flac")});
    ASSERT_EQ(scan.albums.size(), 2u);

    const RippedAlbum& first = scan.albums[0];
    EXPECT_EQ(first.folder, f.root.filePath("Rock/First Album"));
    EXPECT_FALSE(first.embeddedCover.isEmpty());
    EXPECT_TRUE(first.coverFile.isEmpty());
    const CddbDisc a = first.disc();
    EXPECT_EQ(a.albumValues.at("タイトル"), "最初のアルバム");
    EXPECT_EQ(a.albumValues.at("アーティスト"), "バンド");
    EXPECT_EQ(a.albumValues.at("発売年"), "1999");
    EXPECT_EQ(a.albumValues.at("ジャンル"), "Rock");
    EXPECT_EQ(a.albumValues.at("レーベル"), "Quelm Records");
    EXPECT_EQ(a.albumValues.at("品番"), "QR-001");
    EXPECT_EQ(a.albumValues.at("ディスク番号"), "1");
    EXPECT_EQ(a.albumValues.at("収録曲数"), "3");
    EXPECT_EQ(a.albumValues.at("収録時間"), "0:00:03");
    ASSERT_EQ(a.tracks.size(), 3u);
    EXPECT_EQ(a.tracks[0].values.at("曲名"), "Opening");
    EXPECT_EQ(a.tracks[1].values.at("曲名"), "Middle");
    EXPECT_EQ(a.tracks[2].values.at("曲名"), "Closing");
    EXPECT_EQ(a.tracks[2].values.at("トラック番号"), "3");
    EXPECT_EQ(a.tracks[2].values.at("アーティスト"), "Singer 3");
    EXPECT_EQ(a.tracks[0].values.at("作曲者"), "作曲家");
    EXPECT_EQ(a.tracks[0].values.at("演奏時間"), "00:01");

    const RippedAlbum& second = scan.albums[1];
    EXPECT_EQ(second.coverFile, f.root.filePath("Rock/Second/cover.jpg"));
    const CddbDisc b = second.disc();
    EXPECT_EQ(b.albumValues.at("アーティスト"), "Duo"); // no album artist: the most common artist
    EXPECT_EQ(b.albumValues.at("発売年"), "2004");
    EXPECT_EQ(b.tracks[1].values.at("曲名"), "Song 2");

    // Cancelled at the first file: nothing.
    const RippedScan cancelled = ScanRippedFolder(f.root.path(), [](int, int) { return false; });
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_TRUE(cancelled.albums.empty());
}

TEST(RippedScan, DamagedFilesNeverCrashTheTagReader) {
    RippedFolder f;
    REQUIRE_ENCODERS(f);
    std::mt19937 random(26);
    for (const QString& name : {QString("Rock/First Album/b.flac"), QString("Rock/Second/01.mp3")}) {
        QFile file(f.root.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray whole = file.readAll();
        const QString damaged = f.root.filePath("damaged." + QFileInfo(name).suffix());
        for (int round = 0; round < 60; ++round) {
            QByteArray bytes = round % 3 == 0 ? whole.left(random() % whole.size()) : whole;
            for (int i = 0; i < 16 && round % 3 != 0; ++i)
                bytes[random() % std::min<qsizetype>(bytes.size(), 4096)] = char(random());
            WriteFile(damaged, bytes);
            RippedTrack track;
            QByteArray cover;
            ReadTrackTags(damaged, track, &cover); // any answer but a crash
        }
    }
    RippedTrack track;
    EXPECT_FALSE(ReadTrackTags(f.root.filePath("Notes"), track));
}

struct RippedImport : ::testing::Test {
    TestCatalogue cat;
    RippedFolder f;
    CddbMapping mapping;
    const CoverBox box{{120, 100}, Qt::white};

    RippedImport() {
        cat.state.CurrentSection = Cd;
        mapping.main[0] = "タイトル";
        mapping.main[1] = "アーティスト";
        mapping.main[4] = "品番";
        mapping.sub[0] = "曲名";
        mapping.sub[5] = "演奏時間";
    }
    QString mainTable() const { return cat.state.config[Cd].TableName.trimmed(); }
    QString subTable() const { return cat.state.config[Cd].SubTableName.trimmed(); }
};

TEST_F(RippedImport, OneTransactionWithCoversAndCancelLeavesNothing) {
    REQUIRE_ENCODERS(f);
    const RippedScan scan = ScanRippedFolder(f.root.path());
    ASSERT_EQ(scan.albums.size(), 2u);
    const std::vector<const RippedAlbum*> both{&scan.albums[0], &scan.albums[1]};

    // Cancelled before the second album: the first album's record and cover are gone again.
    const RippedRunResult cancelled =
        RunRippedImport(cat.state, both, mapping, box, [](int done, int) { return done < 1; });
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(cat.rowCount(mainTable()), 0);
    EXPECT_EQ(cat.state.config[Cd].RegNo, 0);
    EXPECT_FALSE(QFile::exists(cat.state.RecordPicturePath(Cd, 1)));

    const RippedRunResult run = RunRippedImport(cat.state, both, mapping, box);
    ASSERT_TRUE(run.ok) << run.message.toStdString();
    EXPECT_EQ(run.mainCount, 2);
    EXPECT_EQ(run.subCount, 5);
    EXPECT_EQ(run.covers, 2);
    EXPECT_TRUE(run.coverFailures.isEmpty());
    EXPECT_EQ(cat.state.config[Cd].RegNo, 2);
    EXPECT_EQ(cat.reload()[Cd].RegNo, 2);
    {
        auto db = cat.open();
        auto main = db->openTable(mainTable());
        EXPECT_EQ(main->value(0).toText(), "最初のアルバム");
        EXPECT_EQ(main->value(1).toText(), "バンド");
        EXPECT_EQ(main->value(4).toText(), "QR-001");
        EXPECT_EQ(main->value(store::PictureFlagColumn).toInt(), 1);
        auto subs = db->openTable(subTable());
        EXPECT_EQ(subs->recordCount(), 5);
        EXPECT_EQ(subs->value(0).toText(), "Opening");
        EXPECT_EQ(subs->value(5).toText(), "00:01");
    }
    // The covers are the box's size, the embedded red one and the blue one from beside the files.
    const QImage red(cat.state.RecordPicturePath(Cd, 1));
    const QImage blue(cat.state.RecordPicturePath(Cd, 2));
    EXPECT_EQ(red.size(), QSize(120, 100));
    EXPECT_GT(qRed(red.pixel(60, 50)), 200);
    EXPECT_GT(qBlue(blue.pixel(60, 50)), 200);

    // Both are in the category now, by title and artist; by catalogue number alone as well.
    std::vector<CddbDisc> discs{scan.albums[0].disc(), scan.albums[1].disc()};
    auto db = cat.open();
    EXPECT_EQ(FindExistingAlbums(*db, cat.state.config[Cd], mapping, discs), (std::vector<bool>{true, true}));
    CddbMapping byNumber;
    byNumber.main[4] = "品番";
    discs[1].albumValues["品番"] = "QR-001";
    discs[0].albumValues["品番"] = "QR-999";
    EXPECT_EQ(FindExistingAlbums(*db, cat.state.config[Cd], byNumber, discs), (std::vector<bool>{false, true}));
    EXPECT_EQ(FindExistingAlbums(*db, cat.state.config[Cd], CddbMapping{}, discs), (std::vector<bool>{false, false}));
}

TEST_F(RippedImport, ScreenPreviewsMapsRunsAndMarksWhatIsThere) {
    REQUIRE_ENCODERS(f);
    auto drop = [](platform::DragList* list, const QString& label, platform::DropSlot* slot) {
        list->setCurrentRow(list->items().indexOf(label));
        return slot->acceptDrop(DragSource::fromList(list));
    };
    {
        RippedImportScreen form(cat.state, cat.ui);
        EXPECT_EQ(form.objectName(), "Form5ip5d");
        cat.ui.folders = {f.root.path()};
        form.Command4_Click();
        form.Command5_Click();
        ASSERT_EQ(form.Tree1->topLevelItemCount(), 2);
        EXPECT_EQ(form.Tree1->topLevelItem(0)->text(0), "Rock/First Album");
        EXPECT_EQ(form.Tree1->topLevelItem(0)->text(3), "3");
        EXPECT_TRUE(cat.ui.messages.last().text.contains("broken.flac"));
        ASSERT_TRUE(drop(form.List1, "タイトル", form.Text3[0]));
        ASSERT_TRUE(drop(form.List1, "アーティスト", form.Text3[1]));
        EXPECT_FALSE(drop(form.List1, "発売年", form.Text3[13])); // a date field takes nothing
        ASSERT_TRUE(drop(form.List2, "曲名", form.Text4[0]));
        form.Command8_Click();
        form.Tree1->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
        cat.ui.answers = {Answer::Ok};
        form.Command2_Click();
        EXPECT_EQ(cat.ui.messages.last().text, "データ取込みが終了しました。\r\n  種目メイン明細　1\r\n"
                                               "  種目サブ明細　　3\r\n  ジャケット画像　1");
        // What was taken is marked and unticked.
        EXPECT_EQ(form.Tree1->topLevelItem(0)->text(4), "登録済");
        EXPECT_EQ(form.Tree1->topLevelItem(0)->checkState(0), Qt::Unchecked);
        EXPECT_EQ(form.Tree1->topLevelItem(1)->text(4), "");
    }
    // The saved mapping comes back with the next opening.
    RippedImportScreen again(cat.state, cat.ui);
    EXPECT_EQ(again.mapping().main[0], "タイトル");
    EXPECT_EQ(again.mapping().sub[0], "曲名");
    EXPECT_FALSE(again.List1->items().contains("タイトル"));
    again.Command2_Click();
    EXPECT_EQ(cat.ui.messages.last().text, "取込むアルバムが選択されていません。");
}

} // namespace
} // namespace quelm::exchange
