#pragma once

#include <QString>
#include <cstdint>

namespace quelm::bench {

struct SyntheticSize {
    int mainPerCategory = 0;
    int subPerMain = 0;
};

// Creates a new catalogue in folder and fills CD1 and DVD1 with mainPerCategory main records (registration numbers
// 1 … N, counter 登録NO = N) and subPerMain sub records each: Japanese and Latin texts, numbers, dates, some Nulls and
// a few records flagged as having a picture. The same seed gives the same catalogue. Everything is written in one
// transaction. Refuses (platform::EngineError) when the folder already holds a catalogue, so nobody's data is touched.
void FillSyntheticCatalogue(const QString& folder, SyntheticSize size, std::uint32_t seed = 20090406);

} // namespace quelm::bench
