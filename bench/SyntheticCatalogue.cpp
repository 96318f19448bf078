#include "SyntheticCatalogue.h"

#include "platform/Database.h"
#include "platform/Names.h"
#include "store/Catalogue.h"
#include "store/CategoryConfig.h"
#include "store/CategoryTables.h"

#include <QDate>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cstdio>
#include <random>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace quelm::bench {

using platform::Database;
using platform::EngineError;

namespace {

// What a column holds; the generator picks plausible content for it.
enum class Role {
    Title,
    Person,
    People,
    Genre,
    Label,
    CatalogNo,
    Year,
    Storage,
    Note,
    Country,
    Audio,
    Length,
    LongLength,
    Phrase,
    Count,
    Price,
    Minutes,
    Date,
    Track
};

struct FieldPlan {
    Role role;
    int nullPercent;
};

// Main fields 1 … 15 and sub fields 1 … 10 of the CD and the DVD template.
const std::array<FieldPlan, 15> CdMain{{{Role::Title, 0},
                                        {Role::Person, 2},
                                        {Role::Genre, 5},
                                        {Role::Label, 5},
                                        {Role::CatalogNo, 5},
                                        {Role::Person, 30},
                                        {Role::Person, 60},
                                        {Role::People, 20},
                                        {Role::Year, 10},
                                        {Role::Storage, 10},
                                        {Role::Count, 0},
                                        {Role::Price, 5},
                                        {Role::Date, 10},
                                        {Role::Date, 5},
                                        {Role::Note, 50}}};
const std::array<FieldPlan, 15> DvdMain{{{Role::Title, 0},
                                         {Role::People, 5},
                                         {Role::Person, 10},
                                         {Role::Genre, 5},
                                         {Role::Country, 10},
                                         {Role::Year, 10},
                                         {Role::Label, 5},
                                         {Role::CatalogNo, 5},
                                         {Role::Audio, 20},
                                         {Role::Storage, 10},
                                         {Role::Minutes, 5},
                                         {Role::Price, 5},
                                         {Role::Date, 10},
                                         {Role::Date, 5},
                                         {Role::Note, 50}}};
const std::array<FieldPlan, 10> CdSub{{{Role::Title, 0},
                                       {Role::Person, 10},
                                       {Role::Person, 30},
                                       {Role::Person, 40},
                                       {Role::Person, 50},
                                       {Role::Length, 5},
                                       {Role::Genre, 30},
                                       {Role::Note, 70},
                                       {Role::Track, 0},
                                       {Role::Date, 50}}};
const std::array<FieldPlan, 10> DvdSub{{{Role::Title, 0},
                                        {Role::People, 20},
                                        {Role::Phrase, 20},
                                        {Role::LongLength, 5},
                                        {Role::Note, 70},
                                        {Role::Note, 80},
                                        {Role::Note, 90},
                                        {Role::Note, 95},
                                        {Role::Track, 0},
                                        {Role::Date, 60}}};

const std::vector<std::string> JapaneseWords{
    "夜明けの",   "青い",   "海",     "風の歌", "東京",     "夢",     "さくら",  "月光", "交響曲",
    "ソナタ",     "ベスト", "ライブ", "物語",   "星空",     "旅立ち", "雨",      "季節", "ひかり",
    "メロディー", "記憶",   "ｶﾗｵｹ",   "第九",   "ふるさと", "約束",   "Ｎｏ．１"};
const std::vector<std::string> LatinWords{"Blue",   "Night",  "Symphony", "Live",   "Best of",   "Moonlight",
                                          "Sonata", "Jazz",   "Tokyo",    "Dreams", "Concerto",  "Road",
                                          "Winter", "Summer", "Piano",    "Café",   "Collection"};
const std::vector<std::string> FamilyNames{"山田", "佐藤", "鈴木", "高橋", "田中", "渡辺",
                                           "伊藤", "中村", "小林", "加藤", "吉田", "髙橋"};
const std::vector<std::string> GivenNames{"太郎", "花子", "健一", "由美", "翔", "美咲", "誠", "綾", "大輔", "さくら"};
const std::vector<std::string> LatinNames{"John Smith",  "Anna Berg",     "The Quiet Waves", "Orchestra Nova",
                                          "Marco Rossi", "Claire Dubois", "Hans Weber",      "Emily Clark"};
const std::vector<std::string> Genres{"クラシック", "ジャズ", "ポップス", "ロック",    "演歌",
                                      "映画音楽",   "アニメ", "ワールド", "Classical", "J-POP"};
const std::vector<std::string> Labels{"青空レコード",  "北斗音楽出版", "Lumen Records",
                                      "Kitsune Music", "銀河レーベル", "みなと映像"};
const std::vector<std::string> Notes{
    "初回限定盤", "帯付き", "中古", "サイン入り", "２枚組", "   ", "輸入盤 (import)", "ボーナストラック収録"};
const std::vector<std::string> Countries{"日本", "アメリカ", "フランス", "イギリス", "韓国", "イタリア"};
const std::vector<std::string> AudioTracks{"日本語/英語", "英語/日本語字幕", "日本語", "仏語/日本語字幕"};
const std::vector<std::string> Phrases{"オープニング", "本編", "インタビュー", "メイキング", "特典映像", "予告編"};

class Generator {
public:
    explicit Generator(std::uint32_t seed) : rng_(seed) {}

    int below(int n) { return static_cast<int>(rng_() % static_cast<std::uint32_t>(n)); }
    bool chance(int percent) { return below(100) < percent; }
    const std::string& pick(const std::vector<std::string>& pool) { return pool[below(static_cast<int>(pool.size()))]; }

    std::string title() {
        const bool latin = chance(30);
        const int words = 1 + below(3);
        std::string t;
        for (int w = 0; w < words; ++w) {
            if (w > 0 && latin)
                t += ' ';
            t += pick(latin ? LatinWords : JapaneseWords);
        }
        return t;
    }
    std::string person() {
        if (chance(25))
            return pick(LatinNames);
        return pick(FamilyNames) + (chance(50) ? "　" : "") + pick(GivenNames);
    }
    std::string people() { return chance(50) ? person() : person() + "、" + person(); }
    std::string catalogNo() {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%c%c%c-%05d", 'A' + below(26), 'A' + below(26), 'A' + below(26), below(100000));
        return buf;
    }
    std::string year() { return std::to_string(1950 + below(75)); }
    std::string storage() {
        char buf[64];
        std::snprintf(buf, sizeof buf, "棚%c-%d", 'A' + below(8), 1 + below(12));
        return buf;
    }
    std::string length(bool hours) {
        char buf[32];
        if (hours)
            std::snprintf(buf, sizeof buf, "%d:%02d:%02d", below(3), below(60), below(60));
        else
            std::snprintf(buf, sizeof buf, "%d:%02d", 1 + below(12), below(60));
        return buf;
    }
    // A stored date, as the engine keeps it: yyyy-MM-dd.
    std::string date() {
        static const qint64 first = QDate(1980, 1, 1).toJulianDay();
        static const qint64 span = QDate(2024, 12, 31).toJulianDay() - first;
        const QDate d = QDate::fromJulianDay(first + below(static_cast<int>(span)));
        char buf[16];
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year(), d.month(), d.day());
        return buf;
    }

private:
    std::mt19937 rng_;
};

class Inserter {
public:
    Inserter(Database& db, const QString& table) : db_(db) {
        if (auto problem = platform::CheckSqlName(table))
            throw EngineError(*problem);
        columns_ = db.columns(table);
        QStringList marks;
        for (int i = 1; i <= columns_.size(); ++i)
            marks << QStringLiteral("?%1").arg(i);
        stmt_ = db.prepare(QStringLiteral("INSERT INTO %1 VALUES (%2)")
                               .arg(platform::QuoteIdentifier(table), marks.join(QLatin1String(", "))));
    }
    ~Inserter() { sqlite3_finalize(stmt_); }
    Inserter(const Inserter&) = delete;
    Inserter& operator=(const Inserter&) = delete;

    int columnCount() const { return static_cast<int>(columns_.size()); }
    platform::ColumnType type(int i) const { return columns_[i].type; }

    void text(int i, const std::string& utf8) {
        check(sqlite3_bind_text(stmt_, i + 1, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT));
    }
    void number(int i, std::int64_t n) { check(sqlite3_bind_int64(stmt_, i + 1, n)); }
    void null(int i) { check(sqlite3_bind_null(stmt_, i + 1)); }
    void insert() {
        if (sqlite3_step(stmt_) != SQLITE_DONE)
            db_.raise();
        sqlite3_reset(stmt_);
    }

private:
    void check(int rc) const {
        if (rc != SQLITE_OK)
            db_.raise();
    }
    Database& db_;
    QList<platform::Column> columns_;
    sqlite3_stmt* stmt_ = nullptr;
};

// One user field: Null now and then, else content that fits the column's declared type.
template <std::size_t N>
void BindField(Inserter& ins, Generator& g, const std::array<FieldPlan, N>& plan, int i, int ordinal) {
    const FieldPlan p = i < static_cast<int>(N) ? plan[i] : FieldPlan{Role::Note, 50};
    if (g.chance(p.nullPercent)) {
        ins.null(i);
        return;
    }
    switch (ins.type(i)) {
    case platform::ColumnType::Long:
    case platform::ColumnType::Short:
        switch (p.role) {
        case Role::Count:
            ins.number(i, g.chance(85) ? 1 : 2 + g.below(3));
            break;
        case Role::Price:
            ins.number(i, 1000 + 100 * g.below(50));
            break;
        case Role::Minutes:
            ins.number(i, 60 + g.below(121));
            break;
        case Role::Track:
            ins.number(i, ordinal);
            break;
        default:
            ins.number(i, g.below(10000));
        }
        return;
    case platform::ColumnType::Date:
        ins.text(i, g.date());
        return;
    default:
        break;
    }
    switch (p.role) {
    case Role::Title:
        ins.text(i, g.title());
        break;
    case Role::Person:
        ins.text(i, g.person());
        break;
    case Role::People:
        ins.text(i, g.people());
        break;
    case Role::Genre:
        ins.text(i, g.pick(Genres));
        break;
    case Role::Label:
        ins.text(i, g.pick(Labels));
        break;
    case Role::CatalogNo:
        ins.text(i, g.catalogNo());
        break;
    case Role::Year:
        ins.text(i, g.year());
        break;
    case Role::Storage:
        ins.text(i, g.storage());
        break;
    case Role::Country:
        ins.text(i, g.pick(Countries));
        break;
    case Role::Audio:
        ins.text(i, g.pick(AudioTracks));
        break;
    case Role::Length:
        ins.text(i, g.length(false));
        break;
    case Role::LongLength:
        ins.text(i, g.length(true));
        break;
    case Role::Phrase:
        ins.text(i, g.pick(Phrases));
        break;
    default:
        ins.text(i, g.pick(Notes));
    }
}

template <std::size_t M, std::size_t S>
void FillCategory(Database& db, const store::ConfigSection& slot, const std::array<FieldPlan, M>& mainPlan,
                  const std::array<FieldPlan, S>& subPlan, SyntheticSize size, Generator& g) {
    Inserter main(db, slot.TableName.trimmed());
    Inserter sub(db, slot.SubTableName.trimmed());
    const int n = slot.FieldCount;
    const int m = slot.SubFieldCount;
    if (main.columnCount() != n + 2 || sub.columnCount() != m + 2)
        throw EngineError(QStringLiteral("種目 '%1' のテーブルの列の数が違います。").arg(slot.ShumokuName));
    for (int regNo = 1; regNo <= size.mainPerCategory; ++regNo) {
        for (int i = 0; i < n; ++i)
            BindField(main, g, mainPlan, i, regNo);
        main.number(n, regNo);
        main.number(n + 1, regNo % 50 == 7 ? 1 : 0); // a few records have a picture
        main.insert();
        const int subs = size.subEvery > 1 && regNo % size.subEvery != 0 ? 0 : size.subPerMain;
        for (int subNo = 1; subNo <= subs; ++subNo) {
            for (int i = 0; i < m; ++i)
                BindField(sub, g, subPlan, i, subNo);
            sub.number(m, regNo);
            sub.number(m + 1, subNo);
            sub.insert();
        }
    }
}

} // namespace

void FillSyntheticCatalogue(const QString& folder, SyntheticSize size, std::uint32_t seed) {
    if (size.mainPerCategory < 0 || size.subPerMain < 0)
        throw EngineError(QStringLiteral("件数は 0 以上で指定してください。"));
    if (!store::EnsureCatalogue(folder))
        throw EngineError(QStringLiteral("'%1' には既にカタログがあります。").arg(folder));
    const std::array<int, 6> order{4, 7, 5, 8, 6, 9}; // CD1, DVD1, then the added slots as the add screen offers
    const int categories = std::clamp(size.categories, 0, 6);
    if (categories > 2) {
        store::AppState state;
        state.dataFolder = folder;
        {
            auto db = store::OpenCatalogue(state.databasePath());
            state.config = store::LoadConfig(*db);
        }
        for (int i = 2; i < categories; ++i) {
            if (auto refused = store::AddSlot(state, order[i]))
                throw EngineError(*refused);
        }
    }
    auto db = store::OpenCatalogue(folder + QLatin1Char('/') + store::CatalogueFileName);
    store::CategoryConfig config = store::LoadConfig(*db);
    Generator g(seed);
    platform::Transaction tx(*db);
    for (int i = 0; i < categories; ++i) {
        const int s = order[i];
        if (s < 7)
            FillCategory(*db, config[s], CdMain, CdSub, size, g);
        else
            FillCategory(*db, config[s], DvdMain, DvdSub, size, g);
    }
    for (int i = 0; i < categories; ++i) {
        const int s = order[i];
        config[s].RegNo = size.mainPerCategory;
        config[s].Dirty = 1;
    }
    store::SaveConfig(*db, config);
    tx.commit();
}

} // namespace quelm::bench
