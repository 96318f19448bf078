#pragma once

#include <QDialog>
#include <functional>
#include <memory>

namespace quelm::platform {
class RecordList;
class Ui;
} // namespace quelm::platform

namespace quelm::store {
struct AppState;
}

namespace quelm::records {

// The import and export screens the record screens open. They live in exchange/, which builds on records/, so the
// record screens reach them through these openers, set once at start-up (exchange::InstallExchangeOpeners).
struct ExchangeOpeners {
    using Opener = std::function<std::unique_ptr<QDialog>(store::AppState&, platform::Ui&, QWidget* parent)>;
    using ListOpener =
        std::function<std::unique_ptr<QDialog>(store::AppState&, platform::Ui&, platform::RecordList&, QWidget*)>;
    Opener cddbImport;    // CDDBデータ取込み
    Opener rippedImport;  // リッピング済みアルバムの取込み
    Opener mainCsvImport; // CSVデータ取込み(メイン明細)
    Opener subCsvImport;  // CSVデータの取込み(サブ明細)
    Opener migration;     // 在庫管理Dravnデータ移行
    ListOpener csvExport; // CSVデータの出力 of the rows a list shows
};

void SetExchangeOpeners(ExchangeOpeners openers);
// The openers set at start-up; an opener never set is empty and its menu item does nothing.
const ExchangeOpeners& Exchange();

} // namespace quelm::records
