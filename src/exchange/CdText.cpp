#include "exchange/CdText.h"

#include "platform/CodePage.h"

#include <algorithm>
#include <set>
#include <vector>

namespace quelm::exchange {

namespace {

constexpr int PackBytes = 18;
constexpr int PackTextBytes = 12;
constexpr int HeaderBytes = 4;
constexpr int LastTrack = 99;
constexpr uchar PackTitle = 0x80;
constexpr uchar PackPerformer = 0x81;
constexpr uchar PackSizeInfo = 0x8f;
constexpr uchar CharsetMsJis = 0x80;
constexpr uchar LanguageJapanese = 0x69;
// Where the size information of a block keeps its character set and the language of each block.
constexpr int SizeInfoCharset = 0;
constexpr int SizeInfoLanguages = 28;

struct Pack {
    uchar type = 0;
    int track = 0;
    int sequence = 0;
    bool doubleByte = false;
    int block = 0;
    QByteArray text;
};

std::vector<Pack> SplitPacks(const QByteArray& raw) {
    std::vector<Pack> packs;
    const qsizetype start = raw.size() % PackBytes == HeaderBytes ? HeaderBytes : 0;
    for (qsizetype at = start; at + PackBytes <= raw.size(); at += PackBytes) {
        const auto byte = [&](int i) { return static_cast<uchar>(raw[at + i]); };
        if (byte(0) < PackTitle || byte(0) > PackSizeInfo)
            continue;
        Pack p;
        p.type = byte(0);
        p.track = byte(1) & 0x7f;
        p.sequence = byte(2);
        p.doubleByte = (byte(3) & 0x80) != 0;
        p.block = (byte(3) >> 4) & 0x07;
        p.text = raw.mid(at + 4, PackTextBytes);
        packs.push_back(std::move(p));
    }
    return packs;
}

// The packs of one type in one block, in their sequence.
std::vector<const Pack*> PacksOf(const std::vector<Pack>& packs, uchar type, int block) {
    std::vector<const Pack*> found;
    for (const Pack& p : packs)
        if (p.type == type && p.block == block)
            found.push_back(&p);
    std::stable_sort(found.begin(), found.end(),
                     [](const Pack* a, const Pack* b) { return a->sequence < b->sequence; });
    return found;
}

QByteArray Joined(const std::vector<const Pack*>& packs) {
    QByteArray bytes;
    for (const Pack* p : packs)
        bytes += p->text;
    return bytes;
}

struct BlockInfo {
    uchar charset = 0;
    bool japanese = false;
};

BlockInfo InfoOf(const std::vector<Pack>& packs, int block) {
    const QByteArray size = Joined(PacksOf(packs, PackSizeInfo, block));
    BlockInfo info;
    if (size.size() > SizeInfoCharset)
        info.charset = static_cast<uchar>(size[SizeInfoCharset]);
    if (size.size() > SizeInfoLanguages + block)
        info.japanese = static_cast<uchar>(size[SizeInfoLanguages + block]) == LanguageJapanese;
    return info;
}

int ChooseBlock(const std::vector<Pack>& packs) {
    std::set<int> blocks;
    for (const Pack& p : packs)
        blocks.insert(p.block);
    for (const int b : blocks) {
        const BlockInfo info = InfoOf(packs, b);
        if (info.charset == CharsetMsJis || info.japanese)
            return b;
    }
    return blocks.empty() ? 0 : *blocks.begin();
}

// The strings of one type, one per track from the first pack's track on. A string is ended by one NUL, or two in
// double-byte text; a lone tab (two in double-byte text) repeats the previous track's.
std::map<int, QString> TrackStrings(const std::vector<const Pack*>& packs, bool japanese) {
    std::map<int, QString> strings;
    if (packs.empty())
        return strings;
    const bool doubleByte = packs.front()->doubleByte;
    const QByteArray end = doubleByte ? QByteArray(2, '\0') : QByteArray(1, '\0');
    const QByteArray repeat = doubleByte ? QByteArray("\t\t") : QByteArray("\t");
    const QByteArray bytes = Joined(packs);
    int track = packs.front()->track;
    QString previous;
    qsizetype at = 0;
    while (at < bytes.size() && track <= LastTrack) {
        qsizetype stop = bytes.indexOf(end, at);
        if (stop < 0)
            stop = bytes.size();
        const QByteArray piece = bytes.mid(at, stop - at);
        QString text = piece == repeat
                           ? previous
                           : platform::DecodeText(piece, doubleByte || japanese ? platform::TextEncoding::Cp932
                                                                                : platform::TextEncoding::Latin1);
        text = text.trimmed();
        if (!text.isEmpty())
            strings[track] = text;
        previous = text;
        ++track;
        at = stop + end.size();
    }
    return strings;
}

} // namespace

CdText DecodeCdTextPacks(const QByteArray& raw) {
    const std::vector<Pack> packs = SplitPacks(raw);
    CdText cdText;
    if (packs.empty())
        return cdText;
    const int block = ChooseBlock(packs);
    const bool japanese = InfoOf(packs, block).charset == CharsetMsJis;
    cdText.titles = TrackStrings(PacksOf(packs, PackTitle, block), japanese);
    cdText.performers = TrackStrings(PacksOf(packs, PackPerformer, block), japanese);
    return cdText;
}

} // namespace quelm::exchange
