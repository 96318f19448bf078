#include "records/RecordPicture.h"
#include "TestCatalogue.h"
#include "platform/RecordList.h"
#include "records/MainRecordScreen.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QLabel>
#include <QLineEdit>
#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quelm;
using platform::Answer;
using platform::Buttons;
using platform::Icon;
using records::FitPictureToBox;
using records::LoadPicture;
using records::MainRecordScreen;
using records::PictureResult;

namespace {

QImage Filled(QSize size, QColor color) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

QByteArray Encode(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(image);
    return bytes;
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

quint32 Crc32(const char* data, int length) {
    quint32 c = 0xFFFFFFFFu;
    for (int i = 0; i < length; ++i) {
        c ^= static_cast<uchar>(data[i]);
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

void PutBigEndian(QByteArray& bytes, int at, quint32 v, int width) {
    for (int i = 0; i < width; ++i)
        bytes[at + i] = static_cast<char>((v >> (8 * (width - 1 - i))) & 0xFF);
}

// A small PNG whose header claims another size, with the header's checksum made right again.
QByteArray PngClaiming(quint32 width, quint32 height) {
    QByteArray png = Encode(Filled({8, 8}, Qt::blue), "png");
    PutBigEndian(png, 16, width, 4);
    PutBigEndian(png, 20, height, 4);
    PutBigEndian(png, 29, Crc32(png.constData() + 12, 17), 4);
    return png;
}

// A small baseline JPEG whose frame header claims 60000 × 60000.
QByteArray JpegClaimingHugeSize() {
    QByteArray jpeg = Encode(Filled({16, 16}, Qt::green), "jpeg");
    const int sof = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
    PutBigEndian(jpeg, sof + 5, 60000, 2);
    PutBigEndian(jpeg, sof + 7, 60000, 2);
    return jpeg;
}

double MeanDifference(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int r = 0; r < x.height(); ++r)
        for (int c = 0; c < x.width(); ++c) {
            const QRgb p = x.pixel(c, r), q = y.pixel(c, r);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * x.width() * x.height());
}

int StoredFlag(test::TestCatalogue& cat, int section, int regNo) {
    auto db = cat.open();
    auto rs = db->openTable(cat.state.config[section].TableName.trimmed(), store::MainKeyColumn, regNo);
    const platform::Value v = rs->value(store::PictureFlagColumn);
    return v.isNull() ? -1 : static_cast<int>(v.toInt());
}

TEST(FitPictureToBox, FollowsTheShapeFactorsAndRoundsHalvesToEven) {
    // Wider than the box: full width, height by the shape factor; (186 − 93) / 2 = 46.5 rounds to 46.
    EXPECT_EQ(FitPictureToBox({190, 186}, {1000, 500}), QRect(0, 46, 190, 93));
    // Smaller in both directions: natural size, centred.
    EXPECT_EQ(FitPictureToBox({190, 186}, {100, 80}), QRect(45, 53, 100, 80));
    // Mixed: each direction by its own rule.
    EXPECT_EQ(FitPictureToBox({190, 190}, {400, 150}), QRect(0, 20, 190, 150));
    // Larger in both directions, portrait and landscape, and square.
    EXPECT_EQ(FitPictureToBox({190, 186}, {500, 1000}), QRect(48, 0, 95, 186)); // x = 47.5 → 48
    EXPECT_EQ(FitPictureToBox({193, 191}, {3000, 2000}), QRect(0, 32, 193, 127));
    EXPECT_EQ(FitPictureToBox({190, 186}, {300, 300}), QRect(0, 0, 190, 186));
    EXPECT_EQ(FitPictureToBox({191, 186}, {400, 800}).width(), 96); // 95.5 → 96
    // A hair-thin picture keeps a visible line; nothing is made of empty sizes.
    EXPECT_EQ(FitPictureToBox({190, 186}, {1000, 1}), QRect(0, 92, 190, 1));
    EXPECT_EQ(FitPictureToBox({190, 190}, {20000, 191}).height(), 2);
    EXPECT_TRUE(FitPictureToBox({190, 186}, {0, 10}).isEmpty());
    EXPECT_TRUE(FitPictureToBox({0, 0}, {10, 10}).isEmpty());
}

TEST(LoadPicture, ReadsRealPicturesUprightWhateverTheirName) {
    QUELM_NEED_FIXTURE(QStringLiteral("jpeg/"));
    const QString jpeg = test::Fixture(QStringLiteral("jpeg/"));
    struct Case {
        const char* file;
        QSize size;
    };
    for (const Case& c : {Case{"ljt_testorig_baseline.jpg", {227, 149}}, Case{"jd_progressive3.jpg", {650, 470}},
                          Case{"pil_hopper_gray.jpg", {128, 128}}, Case{"pil_sample_cmyk.jpg", {100, 100}},
                          Case{"jd_grayscale_1000x1.jpg", {1000, 1}}, Case{"bad/jd_png_renamed.jpg", {10, 10}}}) {
        const auto loaded = LoadPicture(jpeg + QLatin1String(c.file));
        EXPECT_TRUE(loaded.ok()) << c.file << " " << loaded.error.toStdString();
        EXPECT_EQ(loaded.image.size(), c.size) << c.file;
        EXPECT_EQ(loaded.naturalSize, c.size) << c.file;
    }
    // The CMYK picture (red letters on black) keeps its colours.
    const QImage cmyk = LoadPicture(jpeg + QStringLiteral("pil_sample_cmyk.jpg")).image;
    int red = 0;
    for (int y = 0; y < cmyk.height(); ++y)
        for (int x = 0; x < cmyk.width(); ++x)
            red += qRed(cmyk.pixel(x, y)) > 180 && qGreen(cmyk.pixel(x, y)) < 80;
    EXPECT_GT(red, 300);

    // EXIF orientations 3 and 6 look like the picture without one; read raw they do not.
    const QImage reference = LoadPicture(jpeg + QStringLiteral("orientation/pil_hopper_orient_none.jpg")).image;
    for (const char* turned :
         {"orientation/pil_hopper_orientation_3.jpg", "orientation/pil_hopper_orientation_6.jpg"}) {
        const QString path = jpeg + QLatin1String(turned);
        EXPECT_LT(MeanDifference(LoadPicture(path).image, reference), 12) << turned;
        QImageReader raw(path);
        raw.setAutoTransform(false);
        EXPECT_GT(MeanDifference(raw.read(), reference), 30) << turned;
    }
}

TEST(LoadPicture, RefusesBrokenEmptyAndOversizedFilesWithAMessage) {
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    WriteBytes(folder + QStringLiteral("empty.jpg"), {});
    const QByteArray whole = Encode(Filled({64, 48}, Qt::red), "jpeg");
    WriteBytes(folder + QStringLiteral("cut.jpg"), whole.left(whole.size() / 2));
    WriteBytes(folder + QStringLiteral("text.jpg"), "not a picture at all");
    for (const QString& name : {QStringLiteral("empty.jpg"), QStringLiteral("cut.jpg"), QStringLiteral("text.jpg"),
                                QStringLiteral("missing.jpg")}) {
        const auto loaded = LoadPicture(folder + name);
        EXPECT_FALSE(loaded.ok()) << name.toStdString();
        EXPECT_TRUE(loaded.image.isNull());
        EXPECT_EQ(loaded.error, name + QStringLiteral(" は画像ファイルとして読み込めません。"));
    }
    const QString truncated = test::Fixture(QStringLiteral("jpeg/bad/pil_truncated_jpeg.jpg"));
    if (QFileInfo::exists(truncated)) {
        EXPECT_EQ(LoadPicture(truncated).error,
                  QStringLiteral("pil_truncated_jpeg.jpg は画像ファイルとして読み込めません。"));
    }

    // Headers that claim too much are refused before decoding: over 100 million pixels, or (read whole, four bytes
    // a pixel) over 256 MB decoded.
    WriteBytes(folder + QStringLiteral("huge.jpg"), JpegClaimingHugeSize());
    WriteBytes(folder + QStringLiteral("many.jpg"), PngClaiming(15000, 15000));
    WriteBytes(folder + QStringLiteral("heavy.png"), PngClaiming(12000, 8000));
    for (const QString& name : {QStringLiteral("huge.jpg"), QStringLiteral("many.jpg"), QStringLiteral("heavy.png")})
        EXPECT_EQ(LoadPicture(folder + name).error,
                  name +
                      QStringLiteral(" は画像が大きすぎるため読み込めません。（画素数は 1 億、展開後は 256 MB まで）"));
    // The shape alone never refuses a picture.
    WriteBytes(folder + QStringLiteral("edge.png"), Encode(Filled({20000, 2}, Qt::gray), "png"));
    EXPECT_TRUE(LoadPicture(folder + QStringLiteral("edge.png")).ok());
}

TEST(LoadPicture, ALongStripIsLoadedAndDrawnFitted) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("strip.jpg"));
    WriteBytes(path, Encode(Filled({30000, 10}, Qt::red), "jpeg"));
    const auto loaded = LoadPicture(path);
    ASSERT_TRUE(loaded.ok()) << loaded.error.toStdString();
    EXPECT_EQ(loaded.naturalSize, QSize(30000, 10));
    // 190 wide (the box's width), 10 high (its own), centred: rows 90 … 99 of a 190 × 190 box.
    const QImage box = records::ComposeBoxImage(loaded.image, loaded.naturalSize, {190, 190}, Qt::white);
    for (int x : {0, 95, 189}) {
        EXPECT_GT(qRed(box.pixel(x, 94)), 200) << x;
        EXPECT_LT(qGreen(box.pixel(x, 94)), 60) << x;
        EXPECT_EQ(box.pixel(x, 85), QColor(Qt::white).rgb()) << x;
        EXPECT_EQ(box.pixel(x, 104), QColor(Qt::white).rgb()) << x;
    }
}

TEST(LoadPicture, AJpegWhoseDataEndsEarlyIsRefusedEvenWithItsEndMarker) {
    QUELM_NEED_FIXTURE(QStringLiteral("jpeg/ljt_testorig_baseline.jpg"));
    const QString whole = test::Fixture(QStringLiteral("jpeg/ljt_testorig_baseline.jpg"));
    QFile source(whole);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray bytes = source.readAll();
    ASSERT_TRUE(LoadPicture(whole).ok());
    QTemporaryDir dir;
    // Cut in the middle of the picture data, then closed with an end-of-image marker: the structure looks whole,
    // and the decoder would fill the rest with grey after a "premature end of data segment" warning.
    const QString path = dir.filePath(QStringLiteral("short.jpg"));
    WriteBytes(path, bytes.left(bytes.size() * 2 / 3) + QByteArray("\xFF\xD9", 2));
    ASSERT_TRUE(records::JpegIsComplete(path));
    const auto loaded = LoadPicture(path);
    EXPECT_EQ(loaded.error, QStringLiteral("short.jpg は画像ファイルとして読み込めません。"));
    EXPECT_TRUE(loaded.image.isNull());
}

TEST(LoadPicture, RefusesWhatIsNotARegularFileWithoutReadingIt) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe.jpg"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString link = dir.filePath(QStringLiteral("link.jpg"));
    ASSERT_TRUE(QFile::link(fifo, link));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.jpg")));
    for (const QString& name : {QStringLiteral("pipe.jpg"), QStringLiteral("link.jpg"), QStringLiteral("folder.jpg")}) {
        // Reading a pipe waits for a writer for ever; should the check fail, a writer ends the wait.
        auto loading = std::async(std::launch::async, [&] { return LoadPicture(dir.filePath(name)); });
        if (loading.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            ADD_FAILURE() << name.toStdString() << " was read";
            QFile writer(fifo);
            writer.open(QIODevice::WriteOnly);
        }
        const auto loaded = loading.get();
        EXPECT_EQ(loaded.error, name + QStringLiteral(" は通常のファイルではないため読み込めません。"));
        EXPECT_TRUE(loaded.image.isNull());
    }
}

TEST(RecordPicture, BoxImageHasTheBoxSizeWithThePictureFitted) {
    const QImage box = records::ComposeBoxImage(Filled({1000, 500}, Qt::red), {1000, 500}, {190, 186}, Qt::white);
    EXPECT_EQ(box.size(), QSize(190, 186));
    EXPECT_EQ(box.pixel(95, 30), QColor(Qt::white).rgb());  // above the picture (it starts at y 46)
    EXPECT_EQ(box.pixel(95, 93), QColor(Qt::red).rgb());    // in it
    EXPECT_EQ(box.pixel(95, 150), QColor(Qt::white).rgb()); // below it (it ends at y 139)
    // A large picture decoded at a reduced size is placed by its natural size.
    const QImage halved = records::ComposeBoxImage(Filled({500, 250}, Qt::red), {1000, 500}, {190, 186}, Qt::white);
    EXPECT_EQ(halved, box);
}

struct PictureFiles : ::testing::Test {
    test::TestCatalogue cat;
    QImage boxImage = Filled({193, 191}, Qt::darkCyan);

    void SetUp() override {
        cat.addMain(4, 1, {QStringLiteral("アルバム")});
        cat.addMain(7, 1, {QStringLiteral("映画")});
    }
    QString path(int section = 4, int regNo = 1) { return cat.state.RecordPicturePath(section, regNo); }
};

TEST_F(PictureFiles, SaveAndDeleteKeepFileAndFlagTogether) {
    EXPECT_TRUE(path(4, 123).endsWith(QStringLiteral("/Quelm-画像/4_123.jpg")));
    EXPECT_TRUE(path(7, 123).endsWith(QStringLiteral("/Quelm-画像/7_123.jpg")));

    ASSERT_TRUE(records::SaveRecordPicture(cat.state, 4, 1, boxImage).ok());
    EXPECT_EQ(StoredFlag(cat, 4, 1), 1);
    EXPECT_EQ(StoredFlag(cat, 7, 1), 0); // the same number in another slot is another record
    QImageReader written(path());
    EXPECT_EQ(written.format(), "jpeg");
    EXPECT_EQ(written.size(), QSize(193, 191));
    EXPECT_FALSE(QFileInfo::exists(path(7, 1)));
    EXPECT_EQ(QDir(cat.state.pictureFolder()).entryList(QDir::Files), QStringList{QStringLiteral("4_1.jpg")});

    ASSERT_TRUE(records::DeleteRecordPicture(cat.state, 4, 1).ok());
    EXPECT_EQ(StoredFlag(cat, 4, 1), 0);
    EXPECT_FALSE(QFileInfo::exists(path()));

    // Registering again writes a new file of the same name.
    ASSERT_TRUE(records::SaveRecordPicture(cat.state, 4, 1, Filled({193, 191}, Qt::yellow)).ok());
    EXPECT_EQ(QImage(path()).pixel(90, 90) & 0xF0F0F0u, QColor(Qt::yellow).rgb() & 0xF0F0F0u);

    // A picture file that was lost can still be deleted, so the record can get a new one.
    QFile::remove(path());
    ASSERT_TRUE(records::DeleteRecordPicture(cat.state, 4, 1).ok());
    EXPECT_EQ(StoredFlag(cat, 4, 1), 0);
}

TEST_F(PictureFiles, FailuresLeaveFlagAndFilesAsTheyWere) {
    // Something that is not a file under the picture's name: neither written over nor removed.
    ASSERT_TRUE(QDir().mkpath(path()));
    auto result = records::SaveRecordPicture(cat.state, 4, 1, boxImage);
    EXPECT_EQ(result.status, PictureResult::Status::FileFailed);
    EXPECT_EQ(result.message, QStringLiteral("画像ファイルが保存できませんでした"));
    EXPECT_EQ(StoredFlag(cat, 4, 1), 0);
    records::ShumokuUpDate(cat.state, 4, 1, 1);
    result = records::DeleteRecordPicture(cat.state, 4, 1);
    EXPECT_EQ(result.status, PictureResult::Status::FileFailed);
    EXPECT_EQ(result.message, QStringLiteral("画像ファイルが削除できませんでした"));
    EXPECT_EQ(StoredFlag(cat, 4, 1), 1);
    EXPECT_TRUE(QFileInfo(path()).isDir());
    QDir().rmdir(path());
    records::ShumokuUpDate(cat.state, 4, 1, 0);

    // A record that is not there gets no file.
    result = records::SaveRecordPicture(cat.state, 4, 99, boxImage);
    EXPECT_EQ(result.status, PictureResult::Status::EngineError);
    EXPECT_FALSE(QFileInfo::exists(path(4, 99)));

    // A missing picture folder.
    ASSERT_TRUE(QDir(cat.state.pictureFolder()).removeRecursively());
    EXPECT_EQ(records::SaveRecordPicture(cat.state, 4, 1, boxImage).status, PictureResult::Status::FileFailed);
    EXPECT_EQ(StoredFlag(cat, 4, 1), 0);
    EXPECT_FALSE(QFileInfo::exists(path()));
}

TEST_F(PictureFiles, ReadOnlyFolderIsReportedAndLeavesNoFile) {
    if (geteuid() == 0)
        GTEST_SKIP() << "running as root: folder permissions are not enforced";
    QFile::setPermissions(cat.state.pictureFolder(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(records::SaveRecordPicture(cat.state, 4, 1, boxImage).status, PictureResult::Status::FileFailed);
    EXPECT_EQ(StoredFlag(cat, 4, 1), 0);
    EXPECT_TRUE(QDir(cat.state.pictureFolder()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    QFile::setPermissions(cat.state.pictureFolder(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// ---------------------------------------------------------------- the two buttons of the main record screen

// A real photo from the shared fixtures when they are there, else a JPEG made here: the button flows do not depend
// on which.
QString PictureToRegister(test::TestCatalogue& cat) {
    const QString fixture = test::Fixture(QStringLiteral("jpeg/ljt_testorig_baseline.jpg"));
    if (QFileInfo::exists(fixture))
        return fixture;
    const QString made = cat.folder() + QStringLiteral("/写真.jpg");
    WriteBytes(made, Encode(Filled(QSize(227, 149), Qt::darkCyan), "JPEG"));
    return made;
}

struct PictureButtons : ::testing::Test {
    test::TestCatalogue cat;
    QString picture = PictureToRegister(cat);

    std::unique_ptr<MainRecordScreen> open() {
        cat.state.CurrentSection = 4;
        cat.state.CurrentCategoryName = cat.state.config[4].ShumokuName;
        cat.state.ListMode = 0;
        auto screen = std::make_unique<MainRecordScreen>(cat.state, cat.ui);
        screen->Timer1_Timer();
        return screen;
    }
    QString path(int regNo = 1) { return cat.state.RecordPicturePath(4, regNo); }
    bool shown(MainRecordScreen& screen) { return !screen.Picture2->pixmap().isNull(); }
    void register_(MainRecordScreen& screen, Answer answer = Answer::Ok) {
        cat.ui.files = {picture};
        cat.ui.answers = {answer};
        screen.Command2_Click();
    }
};

TEST_F(PictureButtons, RegisterDeleteAndRegisterAgain) {
    cat.addMain(4, 1, {QStringLiteral("アルバム")});
    cat.addMain(4, 2, {QStringLiteral("二枚目")});
    auto screen = open();
    register_(*screen);
    EXPECT_EQ(cat.ui.chooserTitles, QList<QString>{QStringLiteral("登録する画像ファイルを開く")});
    EXPECT_EQ(cat.ui.chooserFilters, QList<QString>{QStringLiteral("ＪＰＧファイル(*.jpg)")});
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(cat.ui.messages[0].text, QStringLiteral("この画像を登録しますか？"));
    EXPECT_EQ(cat.ui.messages[0].icon, Icon::Question);
    EXPECT_EQ(cat.ui.messages[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(cat.ui.messages[0].title, QStringLiteral("画像登録確認"));
    EXPECT_EQ(screen->Text2->text(), QStringLiteral("1"));
    EXPECT_EQ(screen->ListView1->cell(1, 16), QStringLiteral("1"));
    EXPECT_EQ(screen->ListView1->cell(2, 16), QStringLiteral("0"));
    EXPECT_EQ(StoredFlag(cat, 4, 1), 1);
    EXPECT_TRUE(shown(*screen));
    // The stored file is the box's content: a JPEG of the box's inner size.
    EXPECT_EQ(QImageReader(path()).size(), screen->Picture2->contentsRect().size());
    // 2945 × 2895 twips with a one-pixel frame.
    EXPECT_EQ(screen->Picture2->geometry().size(), QSize(196, 193));
    EXPECT_EQ(screen->Picture2->contentsRect().size(), QSize(194, 191));

    // Registered already: refused before any dialog.
    cat.ui.messages.clear();
    cat.ui.chooserTitles.clear();
    screen->Command2_Click();
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(cat.ui.messages[0].text, QStringLiteral("画像は登録済です。"));
    EXPECT_EQ(cat.ui.messages[0].icon, Icon::Critical);
    EXPECT_EQ(cat.ui.messages[0].title, QStringLiteral("ERROR"));
    EXPECT_TRUE(cat.ui.chooserTitles.isEmpty());

    // Cancelling the delete changes nothing.
    cat.ui.messages.clear();
    cat.ui.answers = {Answer::Cancel};
    screen->Command3_Click();
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(cat.ui.messages[0].text, QStringLiteral("この画像を削除しますか？"));
    EXPECT_EQ(cat.ui.messages[0].icon, Icon::Question);
    EXPECT_EQ(cat.ui.messages[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(cat.ui.messages[0].title, QStringLiteral("画像削除確認"));
    EXPECT_TRUE(QFileInfo::exists(path()));
    EXPECT_EQ(StoredFlag(cat, 4, 1), 1);
    EXPECT_TRUE(shown(*screen));

    cat.ui.answers = {Answer::Ok};
    screen->Command3_Click();
    EXPECT_FALSE(QFileInfo::exists(path()));
    EXPECT_EQ(StoredFlag(cat, 4, 1), 0);
    EXPECT_EQ(screen->Text2->text(), QStringLiteral("0"));
    EXPECT_EQ(screen->ListView1->cell(1, 16), QStringLiteral("0"));
    EXPECT_FALSE(shown(*screen));

    // Nothing left to delete.
    cat.ui.messages.clear();
    screen->Command3_Click();
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(cat.ui.messages[0].text, QStringLiteral("登録された画像はありません。"));
    EXPECT_EQ(cat.ui.messages[0].icon, Icon::Critical);
    EXPECT_EQ(cat.ui.messages[0].title, QStringLiteral("ERROR"));

    register_(*screen);
    EXPECT_TRUE(QFileInfo::exists(path()));
    EXPECT_EQ(StoredFlag(cat, 4, 1), 1);

    // Showing the record again reads the stored file through the same loader.
    screen->ListView1->select(2);
    screen->Text13Set();
    EXPECT_FALSE(shown(*screen));
    screen->ListView1->select(1);
    screen->Text13Set();
    EXPECT_TRUE(shown(*screen));
    EXPECT_EQ(screen->Picture2->pixmap().size(), QSize(194, 191));
}

TEST_F(PictureButtons, CancelsAndUnreadableFilesChangeNothing) {
    cat.addMain(4, 1, {QStringLiteral("アルバム")}, 0);
    auto screen = open();

    cat.ui.files = {std::nullopt}; // the file dialog cancelled
    screen->Command2_Click();
    EXPECT_TRUE(cat.ui.messages.isEmpty());

    register_(*screen, Answer::Cancel); // the confirmation cancelled: the preview goes
    EXPECT_EQ(cat.ui.messages.size(), 1);
    EXPECT_FALSE(shown(*screen));

    const QString broken = cat.folder() + QStringLiteral("/壊れた.jpg");
    WriteBytes(broken, QByteArray("\xFF\xD8\xFF\xE0", 4));
    cat.ui.messages.clear();
    cat.ui.files = {broken};
    screen->Command2_Click();
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(cat.ui.messages[0].text, QStringLiteral("壊れた.jpg は画像ファイルとして読み込めません。"));
    EXPECT_EQ(cat.ui.messages[0].icon, Icon::Critical);
    EXPECT_EQ(cat.ui.messages[0].title, QStringLiteral("ERROR"));

    EXPECT_EQ(screen->Text2->text(), QStringLiteral("0"));
    EXPECT_EQ(StoredFlag(cat, 4, 1), 0);
    EXPECT_FALSE(QFileInfo::exists(path()));
    EXPECT_FALSE(shown(*screen));
}

TEST_F(PictureButtons, NullFlagAllowsRegisteringButNotDeleting) {
    cat.addMain(4, 1, {QStringLiteral("アルバム")});
    {
        auto db = cat.open();
        auto rs = db->openTable(cat.state.config[4].TableName.trimmed());
        rs->edit();
        rs->setValue(store::PictureFlagColumn, platform::Value());
        rs->update();
    }
    auto screen = open();
    EXPECT_EQ(screen->Text2->text(), QString());
    screen->Command3_Click();
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(cat.ui.messages[0].text, QStringLiteral("登録された画像はありません。"));
    register_(*screen);
    EXPECT_EQ(StoredFlag(cat, 4, 1), 1);
    EXPECT_EQ(screen->Text2->text(), QStringLiteral("1"));
}

TEST_F(PictureButtons, AnEmptyListHasNoRecordToGiveAPicture) {
    auto screen = open();
    screen->Command2_Click();
    screen->Command3_Click();
    ASSERT_EQ(cat.ui.messages.size(), 2);
    EXPECT_EQ(cat.ui.messages[0].text, QStringLiteral("明細レコードが指定されていません。"));
    EXPECT_EQ(cat.ui.messages[1].text, QStringLiteral("登録された画像はありません。"));
    EXPECT_TRUE(cat.ui.chooserTitles.isEmpty());
    EXPECT_TRUE(QDir(cat.state.pictureFolder()).isEmpty());
}

TEST_F(PictureButtons, FailuresAreReportedAndTheFlagStays) {
    cat.addMain(4, 1, {QStringLiteral("アルバム")});
    auto screen = open();
    // Writing into a missing picture folder.
    ASSERT_TRUE(QDir(cat.state.pictureFolder()).removeRecursively());
    register_(*screen);
    ASSERT_EQ(cat.ui.messages.size(), 2);
    EXPECT_EQ(cat.ui.messages[1].text, QStringLiteral("画像ファイルが保存できませんでした"));
    EXPECT_EQ(cat.ui.messages[1].icon, Icon::Exclamation);
    EXPECT_EQ(cat.ui.messages[1].title, QStringLiteral("ERROR"));
    EXPECT_EQ(screen->Text2->text(), QStringLiteral("0"));
    EXPECT_EQ(StoredFlag(cat, 4, 1), 0);
    EXPECT_FALSE(shown(*screen));

    // A picture file that cannot be removed.
    ASSERT_TRUE(QDir().mkpath(path()));
    records::ShumokuUpDate(cat.state, 4, 1, 1);
    screen->RefillByMode();
    screen->ListView1->select(1);
    cat.ui.messages.clear();
    screen->Text13Set(); // the flag says 1 but there is no readable picture
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(cat.ui.messages[0].text, QStringLiteral("アルバム の登録画像が見つかりません。"));
    EXPECT_EQ(cat.ui.messages[0].icon, Icon::Critical);
    EXPECT_EQ(cat.ui.messages[0].title, QStringLiteral("ERROR"));
    cat.ui.answers = {Answer::Ok};
    screen->Command3_Click();
    ASSERT_EQ(cat.ui.messages.size(), 3);
    EXPECT_EQ(cat.ui.messages[2].text, QStringLiteral("画像ファイルが削除できませんでした"));
    EXPECT_EQ(cat.ui.messages[2].icon, Icon::Exclamation);
    EXPECT_EQ(cat.ui.messages[2].title, QStringLiteral("ERROR"));
    EXPECT_EQ(screen->Text2->text(), QStringLiteral("1"));
    EXPECT_EQ(StoredFlag(cat, 4, 1), 1);
}

TEST_F(PictureButtons, StoredPicturesShowUprightAndOversizedOnesAreNotLoaded) {
    QUELM_NEED_FIXTURE(QStringLiteral("jpeg/orientation/"));
    const QString turned = test::Fixture(QStringLiteral("jpeg/orientation/pil_hopper_orientation_6.jpg"));
    cat.addMain(4, 1, {QStringLiteral("横向き")}, 1);
    cat.addMain(4, 2, {QStringLiteral("巨大")}, 1);
    ASSERT_TRUE(QFile::copy(turned, path(1)));
    WriteBytes(path(2), JpegClaimingHugeSize());
    auto screen = open();
    EXPECT_TRUE(cat.ui.messages.isEmpty());
    const QImage upright =
        LoadPicture(test::Fixture(QStringLiteral("jpeg/orientation/pil_hopper_orient_none.jpg"))).image;
    EXPECT_LT(MeanDifference(screen->Picture2->pixmap().toImage(), upright), 12);

    screen->ListView1->select(2);
    screen->Text13Set();
    ASSERT_EQ(cat.ui.messages.size(), 1);
    EXPECT_EQ(cat.ui.messages[0].text, QStringLiteral("巨大 の登録画像が見つかりません。"));
    EXPECT_FALSE(shown(*screen));
}

} // namespace
