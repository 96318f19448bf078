#include "platform/OutsideProgram.h"

#include "platform/Ui.h"

#include <QApplication>
#include <QEventLoop>
#include <QProcess>

namespace quelm::platform {

bool RunProgramAndWait(const QString& program, const QStringList& arguments, const QString& workingFolder) {
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setWorkingDirectory(workingFolder);
    // The program's own output is of no interest here; left unread it could fill the pipe and stall the program.
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());

    QEventLoop loop;
    bool started = true;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            started = false;
            loop.quit();
        }
    });
    process.start();
    if (process.state() == QProcess::NotRunning && !started)
        return false;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    if (process.state() != QProcess::NotRunning)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    QApplication::restoreOverrideCursor();
    return started;
}

bool Ui::runProgramAndWait(const QString& program, const QStringList& arguments, const QString& workingFolder) {
    return RunProgramAndWait(program, arguments, workingFolder);
}

} // namespace quelm::platform
