#include "support/files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <fcntl.h>
#include <unistd.h>

namespace kro::test {

QString writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    else
        ADD_FAILURE() << "cannot write the test file " << path.toStdString();
    return path;
}

void writeFileAtBytes(const QByteArray& nativePath, const QByteArray& bytes)
{
    const int fd = ::open(nativePath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0 || ::write(fd, bytes.constData(), std::size_t(bytes.size())) != bytes.size())
        ADD_FAILURE() << "cannot write the test file " << nativePath.toHex().constData();
    if (fd >= 0)
        ::close(fd);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString pdfText(const QString& pdfPath)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdfPath, QStringLiteral("-")});
    if (!p.waitForFinished(20000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext cannot read " << pdfPath.toStdString() << ": "
                      << p.readAllStandardError().toStdString() << p.errorString().toStdString();
        return QString();
    }
    // Compatibility forms: ligatures such as "fi" become their letters,
    // no-break spaces blanks.
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

} // namespace kro::test
