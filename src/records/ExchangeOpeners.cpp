#include "records/ExchangeOpeners.h"

namespace quelm::records {

namespace {

ExchangeOpeners& Openers() {
    static ExchangeOpeners openers;
    return openers;
}

} // namespace

void SetExchangeOpeners(ExchangeOpeners openers) {
    Openers() = std::move(openers);
}

const ExchangeOpeners& Exchange() {
    return Openers();
}

} // namespace quelm::records
