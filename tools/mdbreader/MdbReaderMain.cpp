// quelm-mdbreader: reads an Access file whole and writes its tables to standard output, for ＣＤ管理Quelm, which
// starts it in a process of its own so that a damaged file cannot hang or swell the program.
#include "exchange/JetDatabase.h"

#include <QFile>
#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: quelm-mdbreader FILE.mdb\n", stderr);
        return 2;
    }
    // libmdb prints some of its complaints about a damaged file on standard output, where they would land in the
    // middle of the tables: the tables go out through a copy of standard output, and standard output itself is sent
    // to standard error.
    const int dump = dup(STDOUT_FILENO);
    if (dump < 0 || dup2(STDERR_FILENO, STDOUT_FILENO) < 0)
        return 2;
    QFile out;
    if (!out.open(dump, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle))
        return 2;
    const int code = quelm::exchange::WriteJetDump(QFile::decodeName(argv[1]), out);
    out.flush();
    return code;
}
