#pragma once

#include "TestCatalogue.h"

#include <QStringList>

namespace quelm::test {

// Adds a sub record with its leading fields (a Null string stays Null) straight into a category's sub table.
void AddSubFields(TestCatalogue& cat, int section, std::int32_t regNo, std::int32_t subNo, const QStringList& fields);

// A catalogue with words spread over CD1 and DVD1, main and sub records, for the searches:
//   CD1  main 1      タイトル "Blue Moon", アーティスト "BLUE Trio", 枚数 (LONG) 1, 購入日 (DATE) 2009-04-06
//   CD1  main 40000  タイトル "ＢＬＵＥ　ＮＩＧＨＴ", 価格 (LONG) 2009
//   CD1  main 40001  タイトル Null, アーティスト "ひかりの森"
//   CD1  sub 1/1     曲名 "Blue in Green", 作曲者 "ヒカリ"
//   CD1  sub 40000/3 曲名 "Night Blue"
//   DVD1 main 7      タイトル "ｂｌｕｅ海", 備考 "blue"
void FillSearchCatalogue(TestCatalogue& cat);

} // namespace quelm::test
