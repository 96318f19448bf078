#include "exchange/ExchangeScreens.h"

#include "exchange/CddbImportScreen.h"
#include "exchange/CsvExportScreen.h"
#include "exchange/CsvImportScreen.h"
#include "exchange/MigrationScreen.h"
#include "exchange/RippedImportScreen.h"
#include "records/ExchangeOpeners.h"

namespace quelm::exchange {

void InstallExchangeOpeners() {
    records::ExchangeOpeners openers;
    openers.cddbImport = [](store::AppState& state, platform::Ui& ui, QWidget* parent) {
        return std::make_unique<CddbImportScreen>(state, ui, parent);
    };
    openers.rippedImport = [](store::AppState& state, platform::Ui& ui, QWidget* parent) {
        return std::make_unique<RippedImportScreen>(state, ui, parent);
    };
    openers.mainCsvImport = MakeMainCsvImport;
    openers.subCsvImport = MakeSubCsvImport;
    openers.migration = [](store::AppState& state, platform::Ui& ui, QWidget* parent) {
        return std::make_unique<MigrationScreen>(state, ui, parent);
    };
    openers.csvExport = [](store::AppState& state, platform::Ui& ui, platform::RecordList& list, QWidget* parent) {
        return std::make_unique<CsvExportScreen>(state, ui, list, parent);
    };
    records::SetExchangeOpeners(std::move(openers));
}

} // namespace quelm::exchange
