// The import setup window and the regular-expression tool on the user's
// path, with files generated at run time in a temporary folder:
//   setup_sparse:  dropping a 1 GiB sparse file (100 text lines, then a hole)
//                  opens the window with its preview and composes the
//                  command; goal: as quick as for a small file (the preview
//                  reads at most header + skip + 15 lines);
//   setup_large:   the same for a 200 MB file of numeric rows;
//   setup_files:   ten files opened together (Default Page included);
//   regex_search:  a testpad with N preview lines searched with a pattern,
//                  from the click to the highlighted text shown; lines/s
//                  reported.
#include <benchmark/benchmark.h>

#include "import/filesetup.h"
#include "import/previewreader.h"
#include "import/regexbuilder.h"
#include "import/textcodec.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

QString numericFile(const char* name, long long rows)
{
    const QString path = folder().filePath(QString::fromLatin1(name));
    if (QFile::exists(path))
        return path;
    std::FILE* f = std::fopen(QFile::encodeName(path).constData(), "wb");
    for (long long i = 0; i < rows; ++i)
        std::fprintf(f, "%lld,%.6f,%.3f\n", i, i * 0.001, (i % 977) * 1.5);
    std::fclose(f);
    return path;
}

QString sparseFile()
{
    const QString path = numericFile("sparse.csv", 100);
    truncate(QFile::encodeName(path).constData(), off_t(1) << 30);
    return path;
}

void openSetup(benchmark::State& state, const QStringList& files)
{
    for (auto _ : state) {
        FileSetup setup;
        setup.setFiles(files);
        benchmark::DoNotOptimize(setup.buildCommand());
    }
}

void BM_SetupSparseFile(benchmark::State& state) { openSetup(state, {sparseFile()}); }
void BM_SetupLargeFile(benchmark::State& state) { openSetup(state, {numericFile("large.csv", 8000000)}); }
void BM_SetupSmallFile(benchmark::State& state) { openSetup(state, {numericFile("small.csv", 20)}); }
void BM_SetupTenFiles(benchmark::State& state)
{
    QStringList files;
    for (int i = 0; i < 10; ++i)
        files << numericFile(qPrintable(QStringLiteral("f%1.csv").arg(i)), 1000);
    openSetup(state, files);
}

void BM_RegexSearch(benchmark::State& state)
{
    const long long lines = state.range(0);
    const QString path = numericFile(qPrintable(QStringLiteral("regex%1.csv").arg(lines)), lines);
    QStringList history;
    for (auto _ : state) {
        // The tool's path: the preview lines read into a testpad, then a search.
        kro::import::PreviewReader reader;
        reader.open(path);
        QStringList text;
        std::string line;
        while (text.size() < lines && reader.next(line))
            text << kro::import::textFromBytes(line);
        RxbView view(nullptr, RxbView::Testpad, &history);
        view.setPlainText(text.join(QLatin1Char('\n')));
        view.patternBox()->setEditText(QStringLiteral("\\d+\\.5\\d*$"));
        view.searchButton()->click();
        while (view.isSearching())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        benchmark::DoNotOptimize(view.isPlain());
    }
    state.counters["lines/s"] = benchmark::Counter(double(lines) * state.iterations(), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_SetupSmallFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SetupSparseFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SetupLargeFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SetupTenFiles)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RegexSearch)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
