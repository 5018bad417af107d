// Plotter: writing curve data as text files (the save-data page's curves and
// files, and the plot's own save operation).
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include <functional>
#include <memory>

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

// The one file a path names, however it is written ("a/../b.txt", a link).
QString fileKey(const QString& path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

// The curve numbers of each file (several numbers may name one file, also
// through different paths), the files in the order of their first curve
// number; each file is opened under the path of its first curve.
std::vector<std::pair<QString, std::vector<int>>> groupByFile(const std::map<int, QString>& files)
{
    std::vector<std::pair<QString, std::vector<int>>> groups;
    std::map<QString, std::size_t> index;
    for (const auto& [number, path] : files) {
        const auto [at, added] = index.emplace(fileKey(path), groups.size());
        if (added)
            groups.push_back({path, {}});
        groups[at->second].second.push_back(number);
    }
    return groups;
}

QString notOpenedText(const QString& path, int number)
{
    return Plotter::tr("Error: Could not open \"%1\" for output. Curve C%2 will not be saved.").arg(path).arg(number);
}

QString notWrittenText(const QString& path, int number)
{
    return Plotter::tr("Error: Could not write \"%1\". Curve C%2 was not saved.").arg(path).arg(number);
}

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

    showMessage(tr("Saving data to disk. Please wait..."), -1);
    OverlayGuard overlay{this};

    // Each file is written whole and then put in place: a file that cannot
    // be opened or written keeps what it held.
    enum Outcome { Written, NotOpened, NotWritten };
    std::map<int, Outcome> outcome;
    auto writeFiles = [&](const std::function<void(FileSink&, const std::vector<int>&)>& body) {
        for (const auto& [path, numbers] : groupByFile(existing)) {
            FileSink sink(path);
            Outcome result = NotOpened;
            if (sink.isOpen()) {
                if (withHeader)
                    sink.buffer() += headerLine;
                body(sink, numbers);
                result = sink.close() ? Written : NotWritten;
            }
            for (int number : numbers)
                outcome[number] = result;
        }
        for (const auto& [number, path] : existing) {
            switch (outcome[number]) {
            case Written:
                reportWritten(number, path);
                break;
            case NotOpened:
                Q_EMIT transcript(notOpenedText(path, number));
                break;
            case NotWritten:
                Q_EMIT transcript(notWrittenText(path, number));
                break;
            }
        }
    };

    if (flags & 2) {
        // Curves one after another, in curve-number order.
        const std::string curveColumn = files.size() > 1 ? sep + "C" : std::string();
        writeFiles([&](FileSink& sink, const std::vector<int>& numbers) {
            for (int number : numbers) {
                const std::string suffix = curveColumn.empty() ? curveColumn : curveColumn + std::to_string(number);
                sink.writePointLines(m_curves.at(number - 1), sep, suffix);
            }
        });
    }

    if (flags & 4) {
        // Curves side by side: the curves of each file in curve-number order,
        // one row per point index, while any of them has a point left.
        const std::string hyphens = curvetext::emptyCell(sep);
        writeFiles([&](FileSink& sink, const std::vector<int>& numbers) {
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
        });
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
        QPushButton* singleButton = box.addButton(tr("Single"), QMessageBox::ActionRole);
        QPushButton* multipleButton = box.addButton(tr("Multiple"), QMessageBox::ActionRole);
        box.setDefaultButton(singleButton);
        // Escape and the window's close button answer through an unseen
        // button: closing the box chooses neither and ends the save.
        QPushButton* noChoice = box.addButton(QMessageBox::Cancel);
        noChoice->hide();
        box.setEscapeButton(noChoice);
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
            sink = std::make_unique<FileSink>(name);
            if (!sink->isOpen()) {
                Q_EMIT transcript(notOpenedText(name, id + 1));
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
                Q_EMIT transcript(notWrittenText(name, id + 1));
        }
    }
    if (single && sink && sink->isOpen() && !sink->close()) {
        Q_EMIT transcript(tr("Error: Could not write \"%1\". The data were not saved.").arg(name));
        failed = true;
    }
    if (lastCancelled)
        Q_EMIT verbose(ZEVOVE::INFO, tr("Save canceled."));
    else if (single && !failed)
        Q_EMIT transcript(tr("Info: Data written to: %1").arg(name));
}
