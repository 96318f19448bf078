// Crash trials: a child process does write-heavy work on a catalogue and is killed with SIGKILL at a random moment;
// the catalogue must then pass the engine's integrity check, hold each operation wholly or not at all, carry no
// stray files, and be accepted by the program's start-up.
//
//   crash_trials [--trials N] [--total N] [--op NAME] [--seed S] [--keep]
// --trials N runs N trials of every operation (the long form, by hand: --trials 200); --total N spreads N trials
// over all operations (CI: --total 20). The exit code is the number of failed trials (at most 100).
#include "CrashOperations.h"

#include "maintenance/BackupRestore.h"
#include "platform/Database.h"
#include "platform/FileSystem.h"
#include "platform/ScriptedUi.h"
#include "shell/Startup.h"
#include "store/Catalogue.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <random>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quelm::crash {
namespace {

store::AppState LoadState(const QString& folder) {
    store::AppState state;
    state.dataFolder = folder;
    auto db = store::OpenCatalogue(state.databasePath());
    state.config = store::LoadConfig(*db);
    state.ListTableNames = store::MakeListTableNames();
    return state;
}

const Operation* FindOperation(const QString& name) {
    for (const Operation& op : Operations())
        if (op.name == name)
            return &op;
    return nullptr;
}

// The child's side: the work, from the catalogue in folder. A byte on readyFd tells the parent the work begins, so
// that kills land in the work and not in the start of the process.
int RunChild(const QString& name, const QString& folder, int readyFd) {
    const Operation* op = FindOperation(name);
    if (!op)
        return 2;
    try {
        store::AppState state = LoadState(folder);
        const char ready = 1;
        if (write(readyFd, &ready, 1) != 1)
            return 4;
        close(readyFd);
        op->work(state);
    } catch (const platform::EngineError& e) {
        std::fprintf(stderr, "engine error: %s\n", e.what());
        return 3;
    }
    return 0;
}

struct ChildEnd {
    bool killed = false; // by us, before it finished
    int exitCode = 0;
};

// Starts this program as a child doing the operation's work and kills it delayUs after the work began (never, when
// negative). workUs: how long the work ran.
// killAtStep > 0: the child kills itself at that step of its work (platform::StepPoint) instead.
ChildEnd RunAndKill(const QString& op, const QString& folder, qint64 delayUs, qint64* workUs = nullptr,
                    int killAtStep = 0) {
    // The running program itself, even when a rebuild has replaced the file meanwhile.
    const QByteArray self = QByteArrayLiteral("/proc/self/exe");
    const QByteArray opName = op.toUtf8(), path = folder.toLocal8Bit();
    ChildEnd end;
    int ready[2];
    if (pipe(ready) != 0) {
        end.exitCode = -1;
        return end;
    }
    const QByteArray readyFd = QByteArray::number(ready[1]);
    const pid_t pid = fork();
    if (pid == 0) {
        close(ready[0]);
        if (killAtStep > 0)
            setenv("QUELM_KILL_AT_STEP", QByteArray::number(killAtStep).constData(), 1);
        const char* argv[] = {self.constData(), "--child",           opName.constData(),
                              path.constData(), readyFd.constData(), nullptr};
        execv(self.constData(), const_cast<char* const*>(argv));
        _exit(127);
    }
    close(ready[1]);
    if (pid < 0) {
        close(ready[0]);
        end.exitCode = -1;
        return end;
    }
    char byte = 0;
    const bool began = read(ready[0], &byte, 1) == 1; // nothing comes when the child fails before its work
    close(ready[0]);
    QElapsedTimer timer;
    timer.start();
    int status = 0;
    if (began && delayUs >= 0) {
        usleep(static_cast<useconds_t>(delayUs));
        // A child that already finished is a zombie until waited for, so the kill cannot hit another process.
        if (waitpid(pid, &status, WNOHANG) == 0) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            end.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
        }
    } else {
        waitpid(pid, &status, 0);
    }
    if (killAtStep > 0)
        end.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    if (workUs)
        *workUs = timer.nsecsElapsed() / 1000;
    if (!end.killed)
        end.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return end;
}

// What the program's start-up makes of the folder: the window comes up (its event loop ends at once), with no
// message but one telling that work cut off was finished or undone.
void CheckStartup(const QString& folder, QStringList& problems) {
    platform::ScriptedUi ui;
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    const int code = shell::RunProgram(*qApp, ui, folder);
    bool refused = code != 0;
    for (const auto& m : ui.messages)
        refused = refused || m.icon != platform::Icon::Information;
    if (refused)
        problems << QStringLiteral("start-up refused it: ") +
                        (ui.messages.isEmpty() ? QStringLiteral("(no message)") : ui.messages.first().text);
}

// An operation's files beside the catalogue (a backup folder) are copied beside every trial's copy too.
void CopyBeside(const QString& base, const QString& parent) {
    const QString beside = QDir::cleanPath(base + QStringLiteral("/../") + BesideFolderName);
    for (const QFileInfo& entry : QDir(beside).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot))
        platform::CopyFolderInto(entry.filePath(), parent);
}

// The engine writes the journal's header only once the journal is complete, just before it touches the database.
// A journal killed before that starts with zeros: the database was never touched, the engine ignores the file and
// removes it with the next write.
bool InertJournal(const QFileInfo& file) {
    QFile f(file.filePath());
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = f.read(8);
    return head.count('\0') == head.size();
}

// Anything beyond the catalogue and the record pictures is a stray: a temporary file the next start would find.
// Start-up has already run, so a journal of the killed write that held anything is rolled back and gone by now.
void CheckNoStrays(const QString& folder, QStringList& problems, int& inertJournals) {
    static const QRegularExpression picture(QStringLiteral("^\\d+_\\d+\\.jpg$"));
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        const QString relative = QDir(folder).relativeFilePath(entry.filePath());
        // What a restore replaced is kept on purpose, beside the catalogue.
        const QString keptPictures = maintenance::ReplacedPictureFolderName();
        // So is what an Access catalogue import moved out of the way.
        const bool kept = relative == maintenance::ReplacedCatalogueName() || relative == keptPictures ||
                          relative.startsWith(keptPictures + QLatin1Char('/')) ||
                          relative.startsWith(QStringLiteral("Quelm-取込み前-"));
        const bool known = relative == store::CatalogueFileName || relative == store::PictureFolderName || kept ||
                           (entry.absolutePath() == QDir(folder).filePath(store::PictureFolderName) &&
                            picture.match(entry.fileName()).hasMatch());
        if (relative == store::CatalogueFileName + QStringLiteral("-journal") && InertJournal(entry)) {
            ++inertJournals;
            continue;
        }
        if (!known)
            problems << QStringLiteral("stray file %1").arg(relative);
    }
}

QStringList CheckTrial(const Operation& op, const QString& folder, const store::CategoryConfig& start,
                       int& inertJournals) {
    QStringList problems;
    CheckStartup(folder, problems);
    CheckNoStrays(folder, problems, inertJournals);
    try {
        auto db = store::OpenCatalogue(folder + QLatin1Char('/') + store::CatalogueFileName);
        const store::CategoryConfig now = store::LoadConfig(*db);
        CheckCatalogueShape(*db, now, problems);
        if (problems.isEmpty())
            op.check(*db, start, now, problems);
    } catch (const platform::EngineError& e) {
        problems << QStringLiteral("engine error while checking: ") + e.message();
    }
    return problems;
}

struct Tally {
    int trials = 0, killed = 0, finished = 0, failed = 0, inertJournals = 0, steps = 0;
};

// A fresh copy of the starting catalogue (and what lies beside it) for one trial.
QString TrialFolder(const QString& root, const QString& base, const QString& name) {
    const QString parent = QDir(root).filePath(name);
    QDir().mkpath(parent);
    CopyBeside(base, parent);
    return platform::CopyFolderInto(base, parent);
}

// One trial killed at each step the work marks, in turn, until the work ends before the step: every rename and
// deletion between them gets its kill, which random moments would seldom hit.
int RunStepTrials(const Operation& op, const QString& root, const QString& base, const store::CategoryConfig& start,
                  bool keep, Tally& tally) {
    int failed = 0;
    for (int step = 1;; ++step) {
        const QString folder = TrialFolder(root, base, op.name + QStringLiteral("/step%1").arg(step));
        const ChildEnd end = RunAndKill(op.name, folder, -1, nullptr, step);
        QStringList problems = CheckTrial(op, folder, start, tally.inertJournals);
        if (!end.killed && end.exitCode != 0)
            problems << QStringLiteral("the work failed (exit %1)").arg(end.exitCode);
        if (!problems.isEmpty()) {
            ++failed;
            std::printf("%-14s killed at step %d: %s\n", qPrintable(op.name), step, qPrintable(problems.join("; ")));
        } else if (!keep) {
            QDir(QFileInfo(folder).absolutePath()).removeRecursively();
        }
        if (!end.killed)
            break;
        ++tally.steps;
    }
    return failed;
}

struct Options {
    int trialsPerOp = 0;
    int total = 20;
    QString only;
    unsigned seed = std::random_device{}();
    bool keep = false;
};

int RunTrials(const Options& options) {
    QTemporaryDir root;
    root.setAutoRemove(!options.keep);
    std::mt19937 random(options.seed);
    std::printf("seed %u, trials in %s\n", options.seed, qPrintable(root.path()));
    std::vector<const Operation*> ops;
    for (const Operation& op : Operations())
        if (options.only.isEmpty() || op.name == options.only)
            ops.push_back(&op);
    if (ops.empty()) {
        std::fprintf(stderr, "no operation named %s\n", qPrintable(options.only));
        return 100;
    }
    int failures = 0;
    for (std::size_t i = 0; i < ops.size(); ++i) {
        const Operation& op = *ops[i];
        const int trials = options.trialsPerOp > 0
                               ? options.trialsPerOp
                               : options.total / static_cast<int>(ops.size()) +
                                     (static_cast<int>(i) < options.total % static_cast<int>(ops.size()) ? 1 : 0);
        // The starting catalogue, made once.
        const QString base = root.filePath(op.name + QStringLiteral("/start"));
        store::EnsureCatalogue(base);
        store::AppState state = LoadState(base);
        op.prepare(state);
        const store::CategoryConfig start = LoadState(base).config;

        // One run to the end tells how long the work takes, and that its end state passes the checks too.
        const QString whole = root.filePath(op.name + QStringLiteral("/whole"));
        QDir().mkpath(whole);
        CopyBeside(base, whole);
        const QString wholeFolder = platform::CopyFolderInto(base, whole);
        qint64 durationUs = 0;
        const ChildEnd full = RunAndKill(op.name, wholeFolder, -1, &durationUs);
        Tally tally;
        QStringList problems = CheckTrial(op, wholeFolder, start, tally.inertJournals);
        if (full.exitCode != 0)
            problems << QStringLiteral("the work itself failed (exit %1)").arg(full.exitCode);
        if (!problems.isEmpty()) {
            std::printf("%-14s uninterrupted run fails: %s\n", qPrintable(op.name), qPrintable(problems.join("; ")));
            failures += 1;
            continue;
        }

        std::uniform_int_distribution<qint64> delay(0, durationUs + durationUs / 10);
        for (int t = 0; t < trials; ++t) {
            const QString folder = TrialFolder(root.path(), base, op.name + QStringLiteral("/%1").arg(t));
            const QString parent = QFileInfo(folder).absolutePath();
            const qint64 after = delay(random);
            const ChildEnd end = RunAndKill(op.name, folder, after);
            problems = CheckTrial(op, folder, start, tally.inertJournals);
            if (!end.killed && end.exitCode != 0)
                problems << QStringLiteral("the work failed (exit %1)").arg(end.exitCode);
            ++tally.trials;
            (end.killed ? tally.killed : tally.finished) += 1;
            if (!problems.isEmpty()) {
                ++tally.failed;
                std::printf("%-14s trial %d (killed after %lld µs): %s\n", qPrintable(op.name), t,
                            static_cast<long long>(after), qPrintable(problems.join("; ")));
            } else if (!options.keep) {
                QDir(parent).removeRecursively();
            }
        }
        tally.failed += RunStepTrials(op, root.path(), base, start, options.keep, tally);
        std::printf("%-14s %4d trials, %4d killed part way, %4d finished first, %3d killed at each step, %3d failed; "
                    "%3d untouched journals left; work takes %lld ms\n",
                    qPrintable(op.name), tally.trials, tally.killed, tally.finished, tally.steps, tally.failed,
                    tally.inertJournals, static_cast<long long>(durationUs / 1000));
        std::fflush(stdout);
        failures += tally.failed;
    }
    return std::min(failures, 100);
}

} // namespace
} // namespace quelm::crash

int main(int argc, char** argv) {
    if (argc == 5 && QByteArray(argv[1]) == "--child") {
        QCoreApplication app(argc, argv);
        return quelm::crash::RunChild(QString::fromUtf8(argv[2]), QString::fromLocal8Bit(argv[3]), atoi(argv[4]));
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    quelm::crash::Options options;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString next = i + 1 < args.size() ? args[i + 1] : QString();
        if (args[i] == QStringLiteral("--trials"))
            options.trialsPerOp = next.toInt(), ++i;
        else if (args[i] == QStringLiteral("--total"))
            options.total = next.toInt(), ++i;
        else if (args[i] == QStringLiteral("--op"))
            options.only = next, ++i;
        else if (args[i] == QStringLiteral("--seed"))
            options.seed = next.toUInt(), ++i;
        else if (args[i] == QStringLiteral("--keep"))
            options.keep = true;
        else {
            std::fprintf(stderr, "usage: crash_trials [--trials N | --total N] [--op NAME] [--seed S] [--keep]\n");
            return 100;
        }
    }
    return quelm::crash::RunTrials(options);
}
