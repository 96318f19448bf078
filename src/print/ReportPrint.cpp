// The print and print settings commands of the record screens.
#include "platform/RecordList.h"
#include "platform/StatusPanels.h"
#include "platform/Ui.h"
#include "print/PrintSettingsDialog.h"
#include "print/ScreenPrint.h"
#include "records/MainRecords.h"
#include "records/RecordPicture.h"

#include <QFileInfo>

namespace quelm::print {

using platform::Buttons;
using platform::Icon;

namespace {

bool Configured(const store::AppState& state, const store::PrintSettings& s) {
    return s.itemCount != 0 && s.configuredSection == state.CurrentSection;
}

store::PrintSettings& SettingsOf(store::AppState& state, ReportSide side) {
    return side == ReportSide::Main ? state.MainPrintSettings : state.SubPrintSettings;
}

void SetStatus(const ReportScreen& owner, const QString& text) {
    if (owner.status)
        owner.status->setPanelText(3, text);
    if (owner.screen)
        owner.screen->repaint();
}

// The column of a list with the given heading; -1 when it has none.
int ColumnHeaded(const platform::RecordList& list, const QString& heading) {
    for (int c = 0; c < list.columnCount(); ++c)
        if (list.columnHeading(c) == heading)
            return c;
    return -1;
}

// The picture of the disc in a row of a main-record list, read as the record screen reads it; a null image when
// the record has none or its file cannot be used (the insert then carries the disc's titles).
QImage DiscPicture(const store::AppState& state, const platform::RecordList& list, int row) {
    const int regNo = ColumnHeaded(list, records::RegNoHeading);
    const int flag = ColumnHeaded(list, records::PictureHeading);
    if (regNo < 0 || (flag >= 0 && list.cell(row, flag) != QLatin1String("1")))
        return {};
    bool ok = false;
    const qint64 key = list.cell(row, regNo).toLongLong(&ok);
    if (!ok)
        return {};
    const QString path = state.RecordPicturePath(state.CurrentSection, key);
    if (!QFileInfo::exists(path))
        return {};
    const records::LoadedPicture picture = records::LoadPicture(path);
    return picture.ok() ? picture.image : QImage();
}

} // namespace

void SetUpReport(store::AppState& state, platform::Ui& ui, ReportSide side, const ReportScreen& owner) {
    auto screen =
        side == ReportSide::Main ? MakeMainPrintSettings(state, ui, owner) : MakeSubPrintSettings(state, ui, owner);
    ui.runModal(*screen);
}

void PrintReport(store::AppState& state, platform::Ui& ui, ReportSide side, const ReportScreen& owner) {
    const store::PrintSettings& settings = SettingsOf(state, side);
    if (!Configured(state, settings)) {
        SetUpReport(state, ui, side, owner);
        // Only a setting confirmed with OK prints: a screen closed after its status button measured the items
        // has not checked that they fit.
        if (!Configured(state, settings))
            return;
    }
    const store::ConfigSection& section = state.config[state.CurrentSection];
    ReportSource source;
    source.side = side;
    source.rows = owner.rows;
    source.fields = FieldsOf(section, side);
    if (side == ReportSide::Sub) {
        source.mainRows = owner.mainRows;
        source.mainFieldNames = FieldsOf(section, ReportSide::Main).names;
    }
    source.date = QDate::currentDate();
    const platform::RecordList* discs = side == ReportSide::Main ? owner.rows : owner.mainRows;
    if (discs)
        source.picture = [&state, discs](int row) { return DiscPicture(state, *discs, row); };
    // The record screen shows that printing goes on; repainting it after every row would cost more than the rows.
    source.progress = [&owner](int row) {
        if (row % 200 == 0)
            SetStatus(owner, QStringLiteral("印刷処理中　"));
    };
    platform::PrintJob job;
    job.pdfFallback = NewPdfPath(state.dataFolder, QStringLiteral("印刷"));
    job.render = [&](platform::PrinterSurface& printer) {
        SetStatus(owner, QStringLiteral("印刷処理中"));
        return RenderReport(settings, source, printer);
    };
    const platform::PrintResult result = ui.previewAndPrint(job, owner.screen);
    if (owner.rows && owner.rows->rowCount() > 0)
        owner.rows->select(owner.rows->rowCount());
    SetStatus(owner, QString());
    if (result.outcome == platform::PrintOutcome::Failed)
        ui.message(QStringLiteral("印刷できませんでした。\r\n") + result.error, Icon::Critical, Buttons::Ok,
                   QStringLiteral("Error"), owner.screen);
    else if (result.outcome == platform::PrintOutcome::Printed && !result.file.isEmpty())
        OfferPdf(ui, result.file,
                 result.file == job.pdfFallback
                     ? QStringLiteral("プリンターが見つからないため、印刷をＰＤＦファイルに出力しました。")
                     : QStringLiteral("印刷をＰＤＦファイルに保存しました。"),
                 QStringLiteral("印刷"), owner.screen);
}

} // namespace quelm::print
