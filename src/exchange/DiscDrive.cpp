#include "exchange/DiscDrive.h"

#include "exchange/CdText.h"
#include "platform/CodePage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <algorithm>
#include <cdio/cdio.h>
#include <cdio/cdtext.h>
#include <cdio/logging.h>
#include <cerrno>
#include <fcntl.h>
#include <future>
#include <linux/cdrom.h>
#include <memory>
#include <mutex>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace quelm::exchange {

namespace {

// libcdio's own handler ends the whole program on an error message (a cue sheet it cannot parse, a drive that went
// away); here its messages are only logged, and the read reports the failure.
void LogCdio(cdio_log_level_t level, const char* message) {
    if (level >= CDIO_LOG_WARN)
        qWarning("libcdio: %s", message);
}

void UseOwnLogHandler() {
    static std::once_flag once;
    std::call_once(once, [] { cdio_log_set_handler(LogCdio); });
}

struct CdioCloser {
    void operator()(CdIo_t* p) const { cdio_destroy(p); }
};
using Cdio = std::unique_ptr<CdIo_t, CdioCloser>;

bool IsImage(const QString& source) {
    const QString suffix = QFileInfo(source).suffix().toLower();
    return suffix == QLatin1String("cue") || suffix == QLatin1String("toc") || suffix == QLatin1String("nrg");
}

driver_id_t DriverOf(const QString& source) {
    const QString suffix = QFileInfo(source).suffix().toLower();
    if (suffix == QLatin1String("cue"))
        return DRIVER_BINCUE;
    if (suffix == QLatin1String("toc"))
        return DRIVER_CDRDAO;
    if (suffix == QLatin1String("nrg"))
        return DRIVER_NRG;
    return DRIVER_DEVICE;
}

// The kernel tells an empty drive, an open tray and a drive another program holds apart before libcdio is asked, whose
// answer for all of them is only "no tracks".
std::optional<DiscReadStatus> DriveStatus(const QString& device) {
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return errno == EBUSY ? DiscReadStatus::Busy : DiscReadStatus::NoDrive;
    const int drive = ::ioctl(fd, CDROM_DRIVE_STATUS, CDSL_CURRENT);
    const int disc = drive == CDS_DISC_OK ? ::ioctl(fd, CDROM_DISC_STATUS, 0) : -1;
    ::close(fd);
    if (drive < 0)
        return std::nullopt; // not a CD drive that answers; libcdio decides
    if (drive == CDS_NO_DISC || drive == CDS_TRAY_OPEN)
        return DiscReadStatus::NoDisc;
    if (drive == CDS_DRIVE_NOT_READY)
        return DiscReadStatus::Busy;
    if (disc == CDS_NO_INFO || disc == CDS_NO_DISC)
        return DiscReadStatus::NoDisc;
    if (disc == CDS_DATA_1 || disc == CDS_DATA_2 || disc == CDS_XA_2_1 || disc == CDS_XA_2_2)
        return DiscReadStatus::DataDisc;
    return std::nullopt;
}

// libcdio hands an image's CD-Text over as if the cue sheet or toc file were ISO-8859-1. The bytes as they stood in
// the file are decoded again as a Japanese file is read: UTF-8 when they are valid UTF-8, else CP932.
QString ImageText(const char* text) {
    if (!text)
        return {};
    const QString asRead = QString::fromUtf8(text);
    const bool latin1 = std::all_of(asRead.begin(), asRead.end(), [](QChar c) { return c.unicode() <= 0xff; });
    if (!latin1)
        return asRead.trimmed();
    const QByteArray bytes = asRead.toLatin1();
    return platform::DecodeText(bytes, platform::DetectTextEncoding(bytes, platform::TextEncoding::Cp932)).trimmed();
}

// CD-Text from the drive's own packs when it gives them, so that Japanese text is decoded as CP932; an image's CD-Text
// (its cue sheet or toc file) through libcdio, which reads it as text already.
void ReadCdText(CdIo_t* cdio, DiscToc& toc, track_t first) {
    CdText packs;
    if (uint8_t* raw = cdio_get_cdtext_raw(cdio)) {
        const int size = (static_cast<int>(raw[0]) << 8 | raw[1]) + 2; // the header counts the bytes after its size
        packs = DecodeCdTextPacks(QByteArray(reinterpret_cast<const char*>(raw), size));
        cdio_free(raw);
    }
    if (!packs.empty()) {
        toc.title = packs.titles[0];
        toc.performer = packs.performers[0];
        for (size_t i = 0; i < toc.tracks.size(); ++i) {
            toc.tracks[i].title = packs.titles[first + static_cast<int>(i)];
            toc.tracks[i].performer = packs.performers[first + static_cast<int>(i)];
        }
        return;
    }
    cdtext_t* text = cdio_get_cdtext(cdio);
    if (!text)
        return;
    toc.title = ImageText(cdtext_get_const(text, CDTEXT_FIELD_TITLE, 0));
    toc.performer = ImageText(cdtext_get_const(text, CDTEXT_FIELD_PERFORMER, 0));
    for (size_t i = 0; i < toc.tracks.size(); ++i) {
        const auto track = static_cast<track_t>(first + i);
        toc.tracks[i].title = ImageText(cdtext_get_const(text, CDTEXT_FIELD_TITLE, track));
        toc.tracks[i].performer = ImageText(cdtext_get_const(text, CDTEXT_FIELD_PERFORMER, track));
    }
}

DiscReadResult ReadOpened(CdIo_t* cdio) {
    DiscReadResult result;
    const track_t first = cdio_get_first_track_num(cdio);
    const track_t count = cdio_get_num_tracks(cdio);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0)
        return {DiscReadStatus::NoDisc, {}};
    for (track_t t = first; t < first + count; ++t) {
        const lba_t lba = cdio_get_track_lba(cdio, t);
        if (lba == CDIO_INVALID_LBA)
            return {DiscReadStatus::Failed, {}};
        result.toc.tracks.push_back(
            {static_cast<int>(lba), cdio_get_track_format(cdio, t) == TRACK_FORMAT_AUDIO, {}, {}});
    }
    const lba_t leadOut = cdio_get_track_lba(cdio, CDIO_CDROM_LEADOUT_TRACK);
    if (leadOut == CDIO_INVALID_LBA || leadOut <= result.toc.tracks.back().offset)
        return {DiscReadStatus::Failed, {}};
    result.toc.leadOut = static_cast<int>(leadOut);
    if (!result.toc.hasAudio())
        return {DiscReadStatus::DataDisc, {}};
    ReadCdText(cdio, result.toc, first);
    return result;
}

} // namespace

QStringList ListDiscDrives() {
    UseOwnLogHandler();
    QStringList drives;
    char** devices = cdio_get_devices(DRIVER_DEVICE);
    for (char** d = devices; d && *d; ++d)
        drives << QString::fromLocal8Bit(*d);
    cdio_free_device_list(devices);
    return drives;
}

DiscReadResult ReadDisc(const QString& source) {
    UseOwnLogHandler();
    if (source.isEmpty() || !QFileInfo::exists(source))
        return {DiscReadStatus::NoDrive, {}};
    if (!IsImage(source))
        if (const auto status = DriveStatus(source))
            return {*status, {}};
    Cdio cdio(cdio_open(QFile::encodeName(source).constData(), DriverOf(source)));
    if (!cdio)
        return {IsImage(source) ? DiscReadStatus::Failed : DiscReadStatus::NoDisc, {}};
    return ReadOpened(cdio.get());
}

DiscReadResult ReadDiscWithTimeLimit(const QString& source, std::chrono::milliseconds limit) {
    // The promise lives with the thread, so a thread that outlasts the wait still has somewhere to put its answer.
    auto promise = std::make_shared<std::promise<DiscReadResult>>();
    std::future<DiscReadResult> answer = promise->get_future();
    std::thread([promise, source] { promise->set_value(ReadDisc(source)); }).detach();
    QElapsedTimer clock;
    clock.start();
    while (answer.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
        if (clock.elapsed() >= limit.count())
            return {DiscReadStatus::TimedOut, {}};
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    return answer.get();
}

QString DiscReadFailureText(DiscReadStatus status) {
    switch (status) {
    case DiscReadStatus::Ok:
        return {};
    case DiscReadStatus::NoDrive:
        return QStringLiteral("CDドライブが見つかりません。");
    case DiscReadStatus::NoDisc:
        return QStringLiteral("ドライブにCDが入っていません。");
    case DiscReadStatus::DataDisc:
        return QStringLiteral("音楽CDではありません。(データ用のディスクです)");
    case DiscReadStatus::Busy:
        return QStringLiteral("ドライブが使用中です。しばらくしてから、もう一度読取って下さい。");
    case DiscReadStatus::TimedOut:
        return QStringLiteral("ドライブから応答がありません。CDを入れ直して、もう一度読取って下さい。");
    case DiscReadStatus::Failed:
        break;
    }
    return QStringLiteral("CDが読取れませんでした。CDが取出されたか、傷があります。");
}

} // namespace quelm::exchange
