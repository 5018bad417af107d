#include "support/program.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace kro::test {

QString programPath()
{
    const QString path = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../kro"));
    return QFileInfo(path).isExecutable() ? path : QString();
}

void startProgram(QProcess& process, const QString& home, const QStringList& arguments)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), QDir(home).filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), QDir(home).filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(home);
    process.start(programPath(), arguments);
    ASSERT_TRUE(process.waitForStarted(10000)) << process.errorString().toStdString();
}

void stopProgram(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

} // namespace kro::test
