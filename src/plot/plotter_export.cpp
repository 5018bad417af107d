// Plotter: writing curve data as text files (the save-data page's curves and
// files, and the plot's own save operation).
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include <memory>
#include <set>

#include "core/settings.h"
#include "platform/prompter.h"
#include "plot/curvetext.h"
#include "plot/plotter.h"

using curvetext::FileSink;

namespace {

// Removes the overlay however the operation ends.
struct OverlayGuard {
    Plotter* plot;
    ~OverlayGuard() { plot->deleteMsg(); }
};

} // namespace

void Plotter::writeCurveFiles(int flags, const std::map<int, QString>& files, const QString& header)
{
    if (m_curves.empty()) {
        Q_EMIT transcript(tr("Info: There is no data to save."));
        return;
    }
    if (files.empty()) {
        Q_EMIT transcript(tr("Error: No save path was set."));
        return;
    }
    const std::string sep = curvetext::separatorFromOfs(getOfs());
    const bool withHeader = !header.isEmpty();
    const std::string headerLine = withHeader ? header.toLatin1().toStdString() + '\n' : std::string();

    // Check pass: the curves that exist, and a warning for files that will
    // be overwritten.
    std::map<int, QString> existing;
    for (const auto& [number, path] : files) {
        if (!curveExists(number - 1)) {
            Q_EMIT transcript(tr("Error: Could not save curve C%1. Curve does not exist.").arg(number));
            continue;
        }
        existing.emplace(number, path);
        if (QFileInfo::exists(path))
            Q_EMIT verbose(ZEVOVE::WARNING, tr("File \"%1\" already exists. It will be overwritten.").arg(path));
    }

    auto reportWritten = [this](int number, const QString& path) {
        Q_EMIT transcript(tr("Info: C%1 data written to: \"%2\"").arg(number).arg(path));
        Q_EMIT verbose(ZEVOVE::INFO, tr("%1 points from curve C%2 data written to: ")
                                             .arg(pointCountOfCurve(m_curves, number - 1))
                                             .arg(number) +
                                         "\"" + path + "\"");
    };
    auto reportNotOpened = [this](int number, const QString& path) {
        Q_EMIT transcript(
            tr("Error: Could not open \"%1\" for output. Curve C%2 will not be saved.").arg(path).arg(number));
    };
    auto reportNotWritten = [this](int number, const QString& path) {
        Q_EMIT transcript(tr("Error: Could not write \"%1\". Curve C%2 was not saved completely.").arg(path).arg(number));
    };

    showMessage(tr("Saving data to disk. Please wait..."), -1);
    OverlayGuard overlay{this};

    if (flags & 2) {
        // Curves one after another. Only the files that receive a curve are
        // created or emptied, each once, before anything is written.
        std::set<QString> emptied;
        for (const auto& [number, path] : existing) {
            if (emptied.insert(path).second)
                FileSink(path, FileSink::Truncate);
        }
        std::set<QString> headed;
        for (const auto& [number, path] : existing) {
            if (!curveExists(number - 1))
                continue;
            FileSink sink(path, FileSink::Append);
            if (!sink.isOpen()) {
                reportNotOpened(number, path);
                continue;
            }
            if (withHeader && headed.insert(path).second)
                sink.buffer() += headerLine;
            const std::string suffix = files.size() > 1 ? sep + "C" + std::to_string(number) : std::string();
            sink.writePointLines(m_curves.at(number - 1), sep, suffix);
            if (!sink.close()) {
                reportNotWritten(number, path);
                continue;
            }
            reportWritten(number, path);
        }
    }

    if (flags & 4) {
        // Curves side by side: the curves of each file in curve-number order,
        // one row per point index, while any of them has a point left.
        std::map<QString, std::vector<int>> byFile;
        for (const auto& [number, path] : existing)
            byFile[path].push_back(number);
        const std::string hyphens = curvetext::emptyCell(sep);
        std::set<int> written;
        std::set<int> failed;
        for (const auto& [path, numbers] : byFile) {
            FileSink sink(path, FileSink::Truncate);
            if (!sink.isOpen()) {
                for (int number : numbers) {
                    reportNotOpened(number, path);
                    failed.insert(number);
                }
                continue;
            }
            if (withHeader)
                sink.buffer() += headerLine;
            std::vector<const CurveData*> curves;
            std::size_t rows = 0;
            for (int number : numbers) {
                curves.push_back(&m_curves.at(number - 1));
                rows = std::max(rows, curves.back()->pointCount());
            }
            for (std::size_t row = 0; row < rows; ++row) {
                std::string& out = sink.buffer();
                for (std::size_t k = 0; k < curves.size(); ++k) {
                    if (k > 0)
                        out += sep;
                    if (row < curves[k]->pointCount())
                        curvetext::appendCell(out, curves[k]->x(row), curves[k]->y(row), sep);
                    else
                        out += hyphens;
                }
                out += '\n';
                sink.flushIfLarge();
            }
            if (!sink.close()) {
                for (int number : numbers) {
                    reportNotWritten(number, path);
                    failed.insert(number);
                }
            }
        }
        for (const auto& [number, path] : existing) {
            if (!failed.count(number))
                reportWritten(number, path);
        }
    }
}

void Plotter::saveData(const QString& path)
{
    if (m_curves.empty()) {
        Q_EMIT transcript(tr("Info: There is no data to save."));
        return;
    }
    const std::string sep = curvetext::separatorFromOfs(getOfs());

    bool single = true;
    if (m_curves.size() > 1 && path.isNull()) {
        QMessageBox box(QMessageBox::Question, tr("Single/Multiple Output"),
                        tr("Do you want to save the data in a single file, or multiple files?"), QMessageBox::NoButton,
                        this);
        // Neither button answers Escape: closing the box chooses nothing.
        QPushButton* singleButton = box.addButton(tr("Single"), QMessageBox::ActionRole);
        QPushButton* multipleButton = box.addButton(tr("Multiple"), QMessageBox::ActionRole);
        box.setDefaultButton(singleButton);
        kro::prompter().execDialog(&box);
        if (box.clickedButton() == multipleButton)
            single = false;
        else if (box.clickedButton() != singleButton)
            return;
    }

    if (m_outputPath.isNull())
        m_outputPath = getOpath();

    showMessage(tr("Saving data to disk. Please wait..."), -1);
    OverlayGuard overlay{this};

    bool ask = path.isNull();
    QString name = path;
    bool lastCancelled = false;
    bool failed = false;
    const bool idColumn = single && m_curves.size() > 1;
    std::unique_ptr<FileSink> sink;
    bool first = true;
    for (const auto& [id, c] : m_curves) {
        QString filter = QStringLiteral("*.dat");
        if (ask) {
            const QString caption = single ? tr("Enter save filename") : tr("Enter filename for C%1").arg(id + 1);
            name = kro::prompter().getSaveFileName(this, caption, m_outputPath, QStringLiteral("*;;*.dat;;*.tic"),
                                                   &filter);
            if (name.isEmpty())
                name = QString();
        }
        if (!name.isNull()) {
            const QString extension = filter.mid(1);
            if (!name.endsWith(extension))
                name += extension;
            lastCancelled = false;
        } else {
            lastCancelled = true;
        }
        if (single)
            ask = false;
        if (name.isNull())
            continue;

        if (first || !single) {
            m_outputPath = name;
            sink = std::make_unique<FileSink>(name, FileSink::Truncate);
            if (!sink->isOpen()) {
                Q_EMIT transcript(
                    tr("Error: Could not open \"%1\" for output. Curve C%2 will not be saved.").arg(name).arg(id + 1));
                failed = true;
                if (single)
                    break;
                first = false;
                continue;
            }
        }
        first = false;
        sink->writePointLines(c, sep, idColumn ? sep + std::to_string(id) : std::string());
        if (!single) {
            if (sink->close())
                Q_EMIT transcript(tr("Info: C%1 data written to: %2").arg(id + 1).arg(name));
            else
                Q_EMIT transcript(
                    tr("Error: Could not write \"%1\". Curve C%2 was not saved completely.").arg(name).arg(id + 1));
        }
    }
    if (single && sink && sink->isOpen() && !sink->close()) {
        Q_EMIT transcript(tr("Error: Could not write \"%1\". The data were not saved completely.").arg(name));
        failed = true;
    }
    if (lastCancelled)
        Q_EMIT verbose(ZEVOVE::INFO, tr("Save canceled."));
    else if (single && !failed)
        Q_EMIT transcript(tr("Info: Data written to: %1").arg(name));
}
