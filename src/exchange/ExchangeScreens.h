#pragma once

namespace quelm::exchange {

// Hands the import and export screens to the record screens (records::ExchangeOpeners); called once at start-up.
void InstallExchangeOpeners();

} // namespace quelm::exchange
