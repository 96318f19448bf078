// quelm-mdbreader: reads an Access file whole and writes its tables to standard output, for ＣＤ管理Quelm, which
// starts it in a process of its own so that a damaged file cannot hang or swell the program.
#include "exchange/JetDatabase.h"

#include <QFile>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: quelm-mdbreader FILE.mdb\n", stderr);
        return 2;
    }
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly))
        return 2;
    const int code = quelm::exchange::WriteJetDump(QFile::decodeName(argv[1]), out);
    out.flush();
    return code;
}
