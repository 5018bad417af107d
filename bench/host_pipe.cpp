// A host program's rows through a real pipe into a live plot: the reader
// thread, the link's row splitting and parsing, the sliding window of 10^6
// points and the redraw after every batch, as "kro -linked" runs them.
// Reports rows per second from the first byte written to the last point
// plotted. Goal: 10^6 rows/s.
//   InProcess: the plot tabs of this process read the pipe.
//   Program:   the built program (kro -linked, offscreen) is the child of
//              this host, on its standard input and output; the time runs
//              from the first row written to the answer of a size query
//              written after the last row.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QToolButton>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "gui/startup.h"
#include "plot/plotter.h"
#include "tabs/liveplotter.h"
#include "tabs/plotterctrl.h"
#include "tabs/progressbar.h"

extern char** environ;

namespace {

constexpr int kRows = 2000000;
constexpr int kWindow = 1000000;

QByteArray rowText(int first, int count)
{
    QByteArray text;
    text.reserve(qsizetype(count) * 20);
    for (int i = first; i < first + count; ++i) {
        text += QByteArray::number(i);
        text += ' ';
        text += QByteArray::number((i * 37) % 1000 * 0.001, 'f', 3);
        text += '\n';
    }
    return text;
}

void writeAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n <= 0)
            return;
        done += n;
    }
}

void BM_PipeIntoLivePlotInProcess(benchmark::State& state)
{
    const QByteArray rows = rowText(0, kRows);
    for (auto _ : state) {
        state.PauseTiming();
        ProgressBar bar;
        QToolButton undo;
        auto ctrl = std::make_unique<PlotterCtrl>(nullptr, &bar, &undo);
        ctrl->resize(1200, 800);
        ctrl->show();
        int in[2], out[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) {
            state.SkipWithError("no pipes");
            return;
        }
        ctrl->startLinkedSession(QStringLiteral("kro -linked -x 1 -y 2 -slide %1").arg(kWindow), in[0], out[1], 0);
        Plotter* plot = ctrl->findPlotter(QStringLiteral("Live Plotter -1"), 0);
        QCoreApplication::processEvents();
        state.ResumeTiming();

        std::thread host([&] { writeAll(in[1], rows); });
        // The last row's x is kRows - 1.
        QDeadlineTimer deadline(120000);
        while (!deadline.hasExpired()) {
            const CurveData* c = plot->curve(0);
            if (c && c->values.size() >= 2 && c->values[c->values.size() - 2] == kRows - 1)
                break;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        host.join();

        state.PauseTiming();
        if (pointCountOfCurve(plot->curves(), 0) != kWindow)
            state.SkipWithError("points were lost");
        ::close(in[1]);
        ctrl.reset();
        ::close(out[0]);
        ::close(out[1]);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_PipeIntoLivePlotInProcess)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The built program with both standard streams on pipes.
struct Child {
    pid_t pid = -1;
    int in = -1;
    int out = -1;

    bool start(const QString& home)
    {
        const QString binary = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../kro"));
        if (!QFileInfo(binary).isExecutable())
            return false;
        int a[2], b[2];
        if (::pipe2(a, O_CLOEXEC) != 0 || ::pipe2(b, O_CLOEXEC) != 0)
            return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, a[0], 0);
        posix_spawn_file_actions_adddup2(&actions, b[1], 1);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        QByteArray path = binary.toLocal8Bit();
        QByteArray slide = QByteArray::number(kWindow);
        std::vector<QByteArray> args{path, "-linked", "-x", "1", "-y", "2", "-slide", slide};
        std::vector<char*> argv;
        for (QByteArray& s : args)
            argv.push_back(s.data());
        argv.push_back(nullptr);
        std::vector<QByteArray> env;
        for (char** e = environ; *e; ++e)
            if (!QByteArray(*e).startsWith("HOME=") && !QByteArray(*e).startsWith("XDG_"))
                env.emplace_back(*e);
        env.push_back("QT_QPA_PLATFORM=offscreen");
        env.push_back("HOME=" + home.toLocal8Bit());
        env.push_back("XDG_CONFIG_HOME=" + QDir(home).filePath(QStringLiteral("config")).toLocal8Bit());
        env.push_back("XDG_DATA_HOME=" + QDir(home).filePath(QStringLiteral("data")).toLocal8Bit());
        env.push_back("XDG_RUNTIME_DIR=" + home.toLocal8Bit());
        std::vector<char*> envp;
        for (QByteArray& s : env)
            envp.push_back(s.data());
        envp.push_back(nullptr);
        const int rc = ::posix_spawn(&pid, path.constData(), &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        ::close(a[0]);
        ::close(b[1]);
        in = a[1];
        out = b[0];
        return rc == 0;
    }
    // Reads until the replies end with the text.
    bool awaitReply(QByteArray& replies, const QByteArray& text)
    {
        char buffer[4096];
        QDeadlineTimer deadline(120000);
        while (!replies.endsWith(text)) {
            pollfd p{out, POLLIN, 0};
            if (deadline.hasExpired() || ::poll(&p, 1, 1000) < 0)
                return false;
            if (p.revents) {
                const ssize_t n = ::read(out, buffer, sizeof buffer);
                if (n <= 0)
                    return false;
                replies.append(buffer, n);
            }
        }
        return true;
    }
    ~Child()
    {
        if (in >= 0)
            ::close(in);
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        if (out >= 0)
            ::close(out);
    }
};

void BM_PipeIntoProgram(benchmark::State& state)
{
    const QByteArray rows = rowText(0, kRows);
    QTemporaryDir home;
    QDir(home.path()).mkpath(QStringLiteral("config/KROSoftware"));
    {
        QFile conf(QDir(home.path()).filePath(QStringLiteral("config/KROSoftware/kro.conf")));
        conf.open(QIODevice::WriteOnly);
        conf.write("[General]\neula=" + kro::versionString().toUtf8() + "\nquickstart=false\n");
    }
    for (auto _ : state) {
        state.PauseTiming();
        Child child;
        if (!child.start(home.path())) {
            state.SkipWithError("kro is not built next to the benchmarks");
            return;
        }
        QByteArray replies;
        // The program is up and its link open.
        writeAll(child.in, "cmd: title: ready\ncmd: title?\n");
        if (!child.awaitReply(replies, "ready\n")) {
            state.SkipWithError("no answer from kro");
            return;
        }
        state.ResumeTiming();
        std::thread host([&] { writeAll(child.in, rows + "cmd: title: done\ncmd: title?\n"); });
        bool done = child.awaitReply(replies, "done\n");
        host.join();
        // The rows before the title query are plotted when the size query,
        // a text of its own, is answered.
        writeAll(child.in, "cmd: size?\n");
        done = done && child.awaitReply(replies, "done\n" + QByteArray::number(kWindow) + "\n");
        state.PauseTiming();
        if (!done)
            state.SkipWithError("points were lost");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_PipeIntoProgram)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace
