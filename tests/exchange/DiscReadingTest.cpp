#include "exchange/DiscReading.h"
#include "exchange/CdText.h"
#include "exchange/CddbFile.h"
#include "exchange/CddbImportScreen.h"
#include "exchange/DiscDrive.h"
#include "exchange/DiscToc.h"

#include "TestCatalogue.h"
#include "platform/Database.h"
#include "platform/DragDrop.h"

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quelm::exchange {
namespace {

using platform::Answer;
using platform::DragSource;
using test::TestCatalogue;

constexpr int Cd = 4;
constexpr int SectorBytes = 2352;

DiscToc Toc(const std::vector<int>& offsets, int leadOut) {
    DiscToc toc;
    for (const int o : offsets)
        toc.tracks.push_back({o, true, {}, {}});
    toc.leadOut = leadOut;
    return toc;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A disc image: NAME.bin of silence, `seconds` long, and the cue sheet given (its FILE line names NAME.bin).
QString WriteCueImage(const QDir& dir, const QString& name, const QByteArray& cue, int seconds) {
    WriteFile(dir.filePath(name + ".bin"), QByteArray(seconds * CdFramesPerSecond * SectorBytes, '\0'));
    WriteFile(dir.filePath(name + ".cue"), cue);
    return dir.filePath(name + ".cue");
}

// Three audio tracks of 4, 6 and 5 seconds: offsets 150, 450 and 900, lead-out at 1275.
const QByteArray ThreeTrackCue =
    "PERFORMER \"Artist\"\nTITLE \"Album\"\nFILE \"disc.bin\" BINARY\n"
    "  TRACK 01 AUDIO\n    TITLE \"One\"\n    PERFORMER \"Guest\"\n    INDEX 01 00:00:00\n"
    "  TRACK 02 AUDIO\n    TITLE \"Two\"\n    PERFORMER \"Artist\"\n    INDEX 01 00:04:00\n"
    "  TRACK 03 AUDIO\n    INDEX 01 00:10:00\n";

TEST(FreedbDiscId, MatchesIdsWorkedOutByHand) {
    // Track start seconds 2 / 6 / 12 give digit sums 2+6+3 = 11; 17 s − 2 s = 15 s; 3 tracks.
    EXPECT_EQ(FreedbDiscId(Toc({150, 450, 900}, 1275)), "0b000f03");
    // One track of a minute: sum 2, 62 s − 2 s = 60 s.
    EXPECT_EQ(FreedbDiscId(Toc({150}, 4650)), "02003c01");
    // 30 tracks at 9, 18 … 270 s: the digit sums come to 297, which wraps at 255 (not 256) to 42; 300 s − 9 s = 291.
    std::vector<int> offsets;
    for (int k = 1; k <= 30; ++k)
        offsets.push_back(9 * k * CdFramesPerSecond);
    EXPECT_EQ(FreedbDiscId(Toc(offsets, 300 * CdFramesPerSecond)), "2a01231e");
    EXPECT_EQ(FreedbDiscId(DiscToc{}), QString());
}

TEST(DiscImage, CueSheetGivesOffsetsLeadOutAndCdText) {
    QTemporaryDir dir;
    const DiscReadResult read = ReadDisc(WriteCueImage(QDir(dir.path()), "disc", ThreeTrackCue, 15));
    ASSERT_EQ(read.status, DiscReadStatus::Ok);
    ASSERT_EQ(read.toc.tracks.size(), 3u);
    EXPECT_EQ(read.toc.tracks[0].offset, 150);
    EXPECT_EQ(read.toc.tracks[1].offset, 450);
    EXPECT_EQ(read.toc.tracks[2].offset, 900);
    EXPECT_EQ(read.toc.leadOut, 1275);
    EXPECT_EQ(FreedbDiscId(read.toc), "0b000f03");
    EXPECT_EQ(read.toc.title, "Album");
    EXPECT_EQ(read.toc.performer, "Artist");
    EXPECT_EQ(read.toc.tracks[0].title, "One");
    EXPECT_EQ(read.toc.tracks[0].performer, "Guest");
    EXPECT_EQ(read.toc.tracks[2].title, QString());

    // Japanese cue sheets, as Japanese Windows rippers write them (CP932) and as newer ones do (UTF-8).
    const QString cue = QStringLiteral("PERFORMER \"歌手\"\nTITLE \"髙橋①\"\nFILE \"jp.bin\" BINARY\n"
                                       "  TRACK 01 AUDIO\n    TITLE \"一曲目\"\n    INDEX 01 00:00:00\n");
    for (const QByteArray& bytes : {*platform::EncodeCp932Exactly(cue), cue.toUtf8()}) {
        const DiscReadResult jp = ReadDisc(WriteCueImage(QDir(dir.path()), "jp", bytes, 3));
        ASSERT_EQ(jp.status, DiscReadStatus::Ok);
        EXPECT_EQ(jp.toc.title, QStringLiteral("髙橋①"));
        EXPECT_EQ(jp.toc.performer, QStringLiteral("歌手"));
        EXPECT_EQ(jp.toc.tracks[0].title, QStringLiteral("一曲目"));
    }

    // A cdrdao toc file: two tracks of 4 and 11 seconds.
    WriteFile(dir.filePath("toc.bin"), QByteArray(15 * CdFramesPerSecond * SectorBytes, '\0'));
    // libcdio finds a toc file's data relative to the working folder, so the test names it in full.
    const QByteArray bin = QFile::encodeName(dir.filePath("toc.bin"));
    WriteFile(dir.filePath("toc.toc"), "CD_DA\nTRACK AUDIO\nFILE \"" + bin + "\" 0 00:04:00\nTRACK AUDIO\nFILE \"" +
                                           bin + "\" 00:04:00 00:11:00\n");
    const DiscReadResult toc = ReadDisc(dir.filePath("toc.toc"));
    ASSERT_EQ(toc.status, DiscReadStatus::Ok);
    ASSERT_EQ(toc.toc.tracks.size(), 2u);
    EXPECT_EQ(toc.toc.tracks[1].offset, 450);
    EXPECT_EQ(toc.toc.leadOut, 1275);
}

TEST(DiscImage, FailuresAreToldApart) {
    QTemporaryDir dir;
    const QDir d(dir.path());
    EXPECT_EQ(ReadDisc(d.filePath("nothing.cue")).status, DiscReadStatus::NoDrive);
    EXPECT_EQ(ReadDisc(QString()).status, DiscReadStatus::NoDrive);
    const QString data =
        WriteCueImage(d, "data", "FILE \"data.bin\" BINARY\n  TRACK 01 MODE1/2352\n    INDEX 01 00:00:00\n", 3);
    EXPECT_EQ(ReadDisc(data).status, DiscReadStatus::DataDisc);
    WriteFile(d.filePath("junk.cue"), QByteArray(4000, '\x9c'));
    EXPECT_NE(ReadDisc(d.filePath("junk.cue")).status, DiscReadStatus::Ok);
    // libcdio's own handler would end the program on this one.
    WriteFile(d.filePath("empty.cue"), {});
    EXPECT_EQ(ReadDisc(d.filePath("empty.cue")).status, DiscReadStatus::Failed);

    EXPECT_EQ(DiscReadFailureText(DiscReadStatus::NoDrive), QStringLiteral("CDドライブが見つかりません。"));
    EXPECT_EQ(DiscReadFailureText(DiscReadStatus::NoDisc), QStringLiteral("ドライブにCDが入っていません。"));
    EXPECT_EQ(DiscReadFailureText(DiscReadStatus::Ok), QString());
}

TEST(DiscImage, DriveThatDoesNotAnswerIsGivenUpAfterTheTimeLimit) {
    // Reading a cue sheet that is a pipe nobody writes blocks the reader as a hung drive does.
    QTemporaryDir dir;
    const QByteArray pipe = QFile::encodeName(dir.filePath("hang.cue"));
    ASSERT_EQ(::mkfifo(pipe.constData(), 0600), 0);
    EXPECT_EQ(ReadDiscWithTimeLimit(QString::fromUtf8(pipe), std::chrono::milliseconds(300)).status,
              DiscReadStatus::TimedOut);
    // The reader's thread gets its end of file and finishes on its own.
    const int fd = ::open(pipe.constData(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0)
        ::close(fd);
}

// CD-Text packs of one kind, as a drive hands them over: 12 bytes of text each, numbered in sequence.
QByteArray Packs(uchar type, int block, bool doubleByte, int firstTrack, QByteArray text, int& sequence) {
    while (text.size() % 12)
        text += '\0';
    QByteArray packs;
    for (qsizetype at = 0; at < text.size(); at += 12) {
        packs += char(type);
        packs += char(firstTrack);
        packs += char(sequence++);
        packs += char((doubleByte ? 0x80 : 0) | (block << 4));
        packs += text.mid(at, 12);
        packs += QByteArray(2, '\0'); // CRC, not checked
    }
    return packs;
}

TEST(CdTextPacks, JapaneseBlockIsChosenAndDecodedAsCp932) {
    int seq = 0;
    QByteArray raw = Packs(0x80, 0, false, 0, QByteArray("Album\0One\0", 10), seq);
    // Block 1: the size information says MS-JIS (0x80); titles in double bytes, the performer repeated by a tab.
    QByteArray size(36, '\0');
    size[0] = char(0x80);
    raw += Packs(0x8f, 1, false, 0, size, seq);
    const QByteArray title = *platform::EncodeCp932Exactly(QStringLiteral("髙橋①")) + QByteArray(2, '\0') +
                             *platform::EncodeCp932Exactly(QStringLiteral("一曲目")) + QByteArray(2, '\0');
    raw += Packs(0x80, 1, true, 0, title, seq);
    const QByteArray performer =
        *platform::EncodeCp932Exactly(QStringLiteral("歌手")) + QByteArray(2, '\0') + "\t\t" + QByteArray(2, '\0');
    raw += Packs(0x81, 1, true, 0, performer, seq);

    for (const QByteArray& bytes : {raw, QByteArray("\x00\x00\x00\x00", 4) + raw}) {
        const CdText text = DecodeCdTextPacks(bytes);
        EXPECT_EQ(text.titles, (std::map<int, QString>{{0, "髙橋①"}, {1, "一曲目"}}));
        EXPECT_EQ(text.performers, (std::map<int, QString>{{0, "歌手"}, {1, "歌手"}}));
    }
    // Only an English block: ISO-8859-1.
    seq = 0;
    const CdText latin = DecodeCdTextPacks(Packs(0x80, 0, false, 0, QByteArray("Caf\xe9\0", 5), seq));
    EXPECT_EQ(latin.titles, (std::map<int, QString>{{0, QStringLiteral("Café")}}));
    // A cut-off reply gives what its whole packs hold; damaged input never reads outside the buffer.
    EXPECT_EQ(DecodeCdTextPacks(raw.left(25)).titles, (std::map<int, QString>{{0, "Album"}, {1, "One"}}));
    EXPECT_TRUE(DecodeCdTextPacks(QByteArray(400, '\xff')).empty());
}

TEST(Xmcd, ReadsBackThroughTheCddbReader) {
    DiscToc toc = Toc({150, 450, 900}, 1275);
    toc.title = "Album";
    toc.performer = "Artist";
    toc.tracks[0] = {150, true, "One", "Guest"};
    toc.tracks[1] = {450, true, QString(200, QChar(0x66f2)), "Artist"}; // 200 × 曲: continued over three lines
    toc.tracks[2].title = "Line\x01"
                          "break";
    const QByteArray xmcd = ComposeXmcd(toc);
    EXPECT_TRUE(xmcd.startsWith("# xmcd\n"));
    for (const QByteArray& line : xmcd.split('\n'))
        EXPECT_LE(line.size(), 256);

    const CddbDisc disc = ParseCddb(xmcd);
    EXPECT_EQ(disc.layout, CddbLayout::Freedb);
    EXPECT_EQ(disc.albumValues.at("CDDB-ID"), "0b000f03");
    EXPECT_EQ(disc.albumValues.at("タイトル"), "Album");
    EXPECT_EQ(disc.albumValues.at("アーティスト"), "Artist");
    EXPECT_EQ(disc.albumValues.at("収録時間"), "0:00:17");
    ASSERT_EQ(disc.tracks.size(), 3u);
    EXPECT_EQ(disc.tracks[0].values.at("曲名"), "Guest / One");
    EXPECT_EQ(disc.tracks[0].values.at("演奏時間"), "00:04");
    EXPECT_EQ(disc.tracks[1].values.at("曲名"), QString(200, QChar(0x66f2)));
    EXPECT_EQ(disc.tracks[1].values.at("演奏時間"), "00:06");
    EXPECT_EQ(disc.tracks[2].values.at("曲名"), "Line break");
    EXPECT_EQ(disc.tracks[2].values.at("演奏時間"), "00:05");
}

TEST(FreedbFolder, EntriesByDiscIdInTheFolderAndItsGenreFolders) {
    QTemporaryDir dir;
    const QDir d(dir.path());
    const DiscToc toc = Toc({150, 450, 900}, 1275);
    const QByteArray entry = "# xmcd\n#\n# Track frame offsets:\n#\t150\n#\t451\n#\t900\n#\n# Disc length: 18 seconds\n"
                             "DISCID=0b000f03\nDTITLE=Band / Rock Record\nDYEAR=1999\nDGENRE=Rock\n"
                             "TTITLE0=A\nTTITLE1=B\nTTITLE2=C\nEXTD=\nPLAYORDER=\n";
    for (const char* genre : {"rock", "misc", "jazz"})
        d.mkpath(genre);
    WriteFile(d.filePath("rock/0b000f03"), entry);
    WriteFile(d.filePath("0b000f03"), QByteArray(entry).replace("Rock Record", "Cached"));
    // The same ID for a disc of two tracks: another disc.
    WriteFile(d.filePath("misc/0b000f03"), "DISCID=0b000f03\nDTITLE=X / Y\nTTITLE0=a\nTTITLE1=b\n");
    WriteFile(d.filePath("jazz/0b000f04"), entry);

    const std::vector<FreedbMatch> found = FindFreedbEntries(d.path(), toc);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].genre, QString());
    EXPECT_EQ(found[0].title, "Band / Cached");
    EXPECT_EQ(found[1].genre, "rock");
    EXPECT_EQ(found[1].title, "Band / Rock Record");

    // The entry's titles with the disc's own offsets and length.
    const CddbDisc disc = ParseCddb(ComposeXmcdFromEntry(toc, entry));
    EXPECT_EQ(disc.albumValues.at("タイトル"), "Rock Record");
    EXPECT_EQ(disc.albumValues.at("発売年"), "1999");
    EXPECT_EQ(disc.albumValues.at("収録時間"), "0:00:17");
    EXPECT_EQ(disc.tracks[0].values.at("演奏時間"), "00:04");
    EXPECT_EQ(disc.tracks[2].values.at("曲名"), "C");
    EXPECT_TRUE(FindFreedbEntries(QString(), toc).empty());
}

struct DiscScreen : ::testing::Test {
    TestCatalogue cat;
    QTemporaryDir images;
    QTemporaryDir cddb;
    std::unique_ptr<CddbImportScreen> form;
    DiscReading* reading = nullptr;
    QString cue;

    DiscScreen() {
        cat.state.CurrentSection = Cd;
        form = std::make_unique<CddbImportScreen>(cat.state, cat.ui);
        reading = form->findChild<DiscReading*>();
        reading->freedbFolder.clear();
        cue = WriteCueImage(QDir(images.path()), "disc", ThreeTrackCue, 15);
        reading->drives = [this] { return QStringList{cue}; };
        form->List3->clear();
        form->List3->addItem(cddb.path());
    }
    QString lastMessage() const { return cat.ui.messages.isEmpty() ? QString() : cat.ui.messages.back().text; }
    static bool drop(platform::DragList* list, const QString& label, platform::DropSlot* slot) {
        list->setCurrentRow(list->items().indexOf(label));
        return slot->acceptDrop(DragSource::fromList(list));
    }
};

TEST_F(DiscScreen, DiscLandsAsARecordWithItsTracks) {
    ASSERT_NE(reading, nullptr);
    EXPECT_EQ(reading->DiscRead->text(), QStringLiteral("CD読取り"));
    reading->DiscRead_Click();
    EXPECT_TRUE(QFile::exists(QDir(cddb.path()).filePath("0b000f03")));
    EXPECT_EQ(form->Combo1->currentData().toString(), "0b000f03");
    EXPECT_EQ(form->Combo1->currentText(), "0b000f03     Artist / Album");
    ASSERT_TRUE(drop(form->List1, "タイトル", form->Text3[0]));
    ASSERT_TRUE(drop(form->List2, "曲名", form->Text4[0]));
    ASSERT_TRUE(drop(form->List2, "演奏時間", form->Text4[1]));
    cat.ui.answers = {Answer::Ok, Answer::Yes};
    form->Command2_Click();
    auto db = cat.open();
    auto main = db->openTable(cat.state.config[Cd].TableName.trimmed());
    EXPECT_EQ(main->value(0).toText(), "Album");
    auto subs = db->openTable(cat.state.config[Cd].SubTableName.trimmed());
    ASSERT_EQ(subs->recordCount(), 3);
    EXPECT_EQ(subs->value(0).toText(), "Guest / One");
    EXPECT_EQ(subs->value(1).toText(), "00:04");

    // Read again: the same file is not asked about; a changed one is, and No keeps it.
    const qsizetype asked = cat.ui.messages.size();
    reading->DiscRead_Click();
    EXPECT_EQ(cat.ui.messages.size(), asked);
    WriteFile(QDir(cddb.path()).filePath("0b000f03"), "DISCID=0b000f03\nDTITLE=Mine / Edited\nTTITLE0=x\n");
    cat.ui.answers = {Answer::No};
    reading->DiscRead_Click();
    EXPECT_EQ(lastMessage(), QStringLiteral("ファイル 0b000f03 は既にあります。上書きしますか？"));
    EXPECT_EQ(form->Combo1->currentText(), "0b000f03     Mine / Edited");
}

TEST_F(DiscScreen, FreedbEntryIsOfferedByGenre) {
    QTemporaryDir freedb;
    const QDir d(freedb.path());
    for (const char* genre : {"rock", "jazz"}) {
        d.mkpath(genre);
        WriteFile(d.filePath(QString(genre) + "/0b000f03"),
                  "DISCID=0b000f03\nDTITLE=Band / " + QByteArray(genre) + "\nTTITLE0=a\nTTITLE1=b\nTTITLE2=c\n");
    }
    cat.ui.folders = {freedb.path()};
    reading->FreedbFolder_Click();
    // Cancelled: nothing is written.
    cat.ui.modalDrivers = {[](QDialog& d) { d.reject(); }};
    reading->DiscRead_Click();
    EXPECT_FALSE(QFile::exists(QDir(cddb.path()).filePath("0b000f03")));
    QStringList offered;
    cat.ui.modalDrivers = {[&](QDialog& dialog) {
        auto* list = dialog.findChild<QListWidget*>("Choices");
        for (int i = 0; i < list->count(); ++i)
            offered << list->item(i)->text();
        list->setCurrentRow(1);
        dialog.accept();
    }};
    reading->DiscRead_Click();
    EXPECT_EQ(offered, (QStringList{"[jazz]　Band / jazz", "[rock]　Band / rock"}));
    EXPECT_EQ(form->Combo1->currentText(), "0b000f03     Band / rock");
}

TEST_F(DiscScreen, ClearMessagesWhenThereIsNothingToRead) {
    form->List3->clear();
    reading->DiscRead_Click();
    EXPECT_EQ(lastMessage(), QStringLiteral("CDDBのパス名が入力されていません。"));
    form->List3->addItem(cddb.path());

    reading->drives = [] { return QStringList{}; };
    reading->DiscRead_Click();
    EXPECT_EQ(lastMessage(), QStringLiteral("CDドライブが見つかりません。"));

    const QString data = WriteCueImage(QDir(images.path()), "data",
                                       "FILE \"data.bin\" BINARY\n  TRACK 01 MODE1/2352\n    INDEX 01 00:00:00\n", 2);
    // Of two drives the user picks the second, which holds a data disc.
    reading->drives = [&] { return QStringList{cue, data}; };
    cat.ui.modalDrivers = {[](QDialog& dialog) {
        dialog.findChild<QListWidget*>("Choices")->setCurrentRow(1);
        dialog.accept();
    }};
    reading->DiscRead_Click();
    EXPECT_EQ(lastMessage(), QStringLiteral("音楽CDではありません。(データ用のディスクです)"));
    EXPECT_TRUE(QDir(cddb.path()).isEmpty());
}

} // namespace
} // namespace quelm::exchange
