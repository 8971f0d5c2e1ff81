#pragma once
// Running the built programs as a script would: no display, the exit code and
// both output streams captured.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>

namespace clitest {

struct TRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs program without any display: DISPLAY, WAYLAND_DISPLAY and
// QT_QPA_PLATFORM removed from its environment. A program that does not end
// normally within timeoutMs is killed and reported in err.
inline TRun RunProgram(const QString& program, const QStringList& args,
                       const std::function<void()>& childSetup = {}, int timeoutMs = 60000)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(env);
    if (childSetup)
        process.setChildProcessModifier(childSetup);
    process.start(program, args);
    TRun run;
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        run.err = QStringLiteral("<did not finish normally>");
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace clitest
