// Benchmarks of the record-list report: measuring the chosen columns over the list, and rendering the whole item
// list to a PDF file.
#include "SyntheticCatalogue.h"

#include "platform/Database.h"
#include "platform/PrinterSurface.h"
#include "platform/RecordList.h"
#include "print/ReportLayout.h"
#include "records/MainRecords.h"
#include "store/Catalogue.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

using namespace quelm;

// A synthetic category read into a record list, as the main record screen shows it.
struct Listed {
    QTemporaryDir dir;
    store::AppState state;
    platform::RecordList list;
};

Listed& ListOf(int rows) {
    static std::unique_ptr<Listed> made;
    if (!made || made->list.rowCount() != rows) {
        made = std::make_unique<Listed>();
        bench::FillSyntheticCatalogue(made->dir.path(), {rows, 0});
        made->state.dataFolder = made->dir.path();
        auto db = store::OpenCatalogue(made->state.databasePath());
        made->state.config = store::LoadConfig(*db);
        made->state.CurrentSection = store::FirstSlotSection;
        for (const auto& c : records::MainListColumns(made->state.config[store::FirstSlotSection]))
            made->list.addColumn(c.heading, c.widthTwips, c.align);
        made->list.addRows(records::ReadMainRows(*db, made->state));
    }
    return *made;
}

// Title, artist, a number and a date on A4 landscape at 10 pt, measured as the settings screen does.
store::PrintSettings SettingsFor(platform::PrinterSurface& printer, const Listed& listed,
                                 const print::ReportFields& fields) {
    store::PrintSettings s;
    s.reportKind = store::PrintSettings::KindItemList;
    s.orientation = 2;
    s.fontSize = 10;
    printer.setOrientation(platform::PageOrientation::Landscape);
    printer.setFontSize(10);
    const std::vector<int> chosen{0, 1, 10, 12};
    const auto measured = print::MeasureColumns(printer, chosen, fields.names, listed.list);
    s.itemCount = static_cast<std::int16_t>(chosen.size());
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        s.columnField[i] = static_cast<std::int16_t>(chosen[i]);
        s.columnWidth[i] = static_cast<std::int16_t>(measured[i].width + 4);
        s.columnBytes[i] = static_cast<std::int16_t>(measured[i].bytes);
    }
    print::SetLineMetrics(s, printer);
    print::SetPageMetrics(s, printer);
    s.title1 = QStringLiteral("ベンチマーク (明細)");
    return s;
}

void BM_MeasureColumns(benchmark::State& st) {
    Listed& listed = ListOf(static_cast<int>(st.range(0)));
    const auto fields = print::FieldsOf(listed.state.config[store::FirstSlotSection], print::ReportSide::Main);
    QTemporaryDir out;
    auto printer = platform::QtPrinterSurface::pdf(out.filePath(QStringLiteral("m.pdf")));
    for (auto _ : st)
        benchmark::DoNotOptimize(SettingsFor(*printer, listed, fields));
    st.SetItemsProcessed(st.iterations() * st.range(0));
}

void BM_RenderItemListPdf(benchmark::State& st) {
    Listed& listed = ListOf(static_cast<int>(st.range(0)));
    print::ReportSource source;
    source.rows = &listed.list;
    source.fields = print::FieldsOf(listed.state.config[store::FirstSlotSection], print::ReportSide::Main);
    source.date = QDate(2026, 12, 9);
    QTemporaryDir out;
    const QString path = out.filePath(QStringLiteral("report.pdf"));
    auto measuring = platform::QtPrinterSurface::pdf(path);
    const store::PrintSettings settings = SettingsFor(*measuring, listed, source.fields);
    for (auto _ : st) {
        auto printer = platform::QtPrinterSurface::pdf(path);
        if (!print::RenderReport(settings, source, *printer))
            st.SkipWithError("the PDF was not written");
    }
    st.SetItemsProcessed(st.iterations() * st.range(0));
    st.counters["pdf_bytes"] = static_cast<double>(QFileInfo(path).size());
}

BENCHMARK(BM_MeasureColumns)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderItemListPdf)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);
// About 100 pages: 36 rows a page on A4 landscape at 10 pt in a Japanese font.
BENCHMARK(BM_RenderItemListPdf)->Arg(3600)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
