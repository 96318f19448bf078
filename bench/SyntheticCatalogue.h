#pragma once

#include <QString>
#include <cstdint>

namespace quelm::bench {

struct SyntheticSize {
    int mainPerCategory = 0;
    int subPerMain = 0;
    int categories = 2; // 2: CD1 and DVD1; up to 6, the added slots alternating CD2, DVD2, CD3, DVD3
    int subEvery = 1;   // only every subEvery-th main record has sub records
};

// Creates a new catalogue in folder and fills CD1 and DVD1 (and up to four added categories) with mainPerCategory main
// records (registration numbers 1 … N, counter 登録NO = N) and subPerMain sub records each: Japanese and Latin texts,
// numbers, dates, some Nulls and a few records flagged as having a picture. The same seed gives the same catalogue.
// Everything is written in one transaction. Refuses (platform::EngineError) when the folder already holds a catalogue,
// so nobody's data is touched.
void FillSyntheticCatalogue(const QString& folder, SyntheticSize size, std::uint32_t seed = 20090406);

} // namespace quelm::bench
