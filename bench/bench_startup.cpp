// The whole program: opening the window on a file, a keystroke in the hostname
// field, Save & Exit of an unchanged file, and one entry of 20 MB.
//
// Besides the benchmarks this program has two one-shot modes for timing a fresh
// process (scripts/bench-startup.sh runs them):
//   bench_startup --program     the real start-up path with SystemRoot as set;
//   bench_startup --minimal     a QApplication showing one small QDialog.
// Each prints, once its window has been painted for the first time,
//   shown_ns <CLOCK_REALTIME in ns>  and  peak_kib <peak resident memory>
// and then closes the window.

#include "editorapp.h"
#include "editordialog.h"
#include "lmhostsgen.h"
#include "nameresolver.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <sys/resource.h>

namespace
{

long PeakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Reports the first finished paint of a top-level dialog, then closes it.
class ShownProbe : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (!reported_ && dialog && dialog->isWindow() && event->type() == QEvent::Paint) {
            reported_ = true;
            // Runs once this paint, and the children's in the same pass, are done.
            QTimer::singleShot(0, dialog, [dialog] {
                timespec now{};
                clock_gettime(CLOCK_REALTIME, &now);
                std::printf("shown_ns %lld\npeak_kib %ld\n",
                            static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                            PeakKiB());
                std::fflush(stdout);
                dialog->reject();
            });
        }
        return false;
    }

private:
    bool reported_ = false;
};

int RunProgramOnce(int argc, char** argv)
{
    // The program's own command line is empty: it edits the file SystemRoot names.
    argc = 1;
    EditorApp app(argc, argv);
    ShownProbe probe;
    qApp->installEventFilter(&probe);
    return app.Run();
}

int RunMinimalOnce(int argc, char** argv)
{
    QApplication app(argc, argv);
    ShownProbe probe;
    app.installEventFilter(&probe);
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("Hello"), &dialog));
    layout->addWidget(new QPushButton(QStringLiteral("OK"), &dialog));
    return dialog.exec() == QDialog::Rejected ? 0 : 1;
}

class NoResolver : public NameResolver
{
public:
    bool Prepare() override { return true; }
    LookupResult ReverseLookup(std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t) override
    {
        return {};
    }
};

// The single entry of 20 MB the long-line benchmarks open: in the comment, or in
// the hostname.
constexpr int kLongComment = -1;
constexpr int kLongName = -2;
constexpr std::size_t kLongLineBytes = 20000000;

// A Windows tree holding a generated file of `entries` entries (or one of the long
// lines above), made once per size.
QString TreeOf(int entries)
{
    static QTemporaryDir dir;
    static std::map<int, QString> roots;
    auto [it, added] = roots.try_emplace(entries);
    if (added) {
        it->second = dir.path() + QStringLiteral("/w%1").arg(entries);
        const QString etc = it->second + QStringLiteral("/System32/drivers/etc");
        QDir().mkpath(etc);
        QFile file(etc + QStringLiteral("/lmhosts"));
        const std::string bytes = entries >= 0
                                      ? GenerateLmhosts(entries)
                                      : GenerateLongLine(kLongLineBytes, entries == kLongName);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()))
            qFatal("cannot write the generated file");
    }
    return it->second;
}

std::unique_ptr<EditorDialog> OpenShown(NameResolver& resolver, int entries)
{
    qputenv("SystemRoot", QFile::encodeName(TreeOf(entries)));
    auto dialog = std::make_unique<EditorDialog>(resolver);
    dialog->OnInitDialog();
    dialog->show();
    if (!QTest::qWaitForWindowExposed(dialog.get()))
        qFatal("the window did not show");
    QApplication::processEvents();
    return dialog;
}

// Construct, load, show and paint, in a process that is already running.
void BM_OpenWindow(benchmark::State& state)
{
    const int entries = static_cast<int>(state.range(0));
    TreeOf(entries);
    NoResolver resolver;
    for (auto _ : state) {
        auto dialog = OpenShown(resolver, entries);
        state.PauseTiming();
        dialog.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenWindow)->Arg(10)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// One typed character in the hostname field of a picked entry: transfer, store,
// row update and the repaint that follows.
void BM_KeystrokeInHostname(benchmark::State& state)
{
    const int entries = static_cast<int>(state.range(0));
    NoResolver resolver;
    auto dialog = OpenShown(resolver, entries);
    auto* list = dialog->findChild<QTreeView*>(QStringLiteral("hostList"));
    const QModelIndex row = list->model()->index(entries / 2, 0);
    list->scrollTo(row);
    QApplication::processEvents();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(row).center());
    auto* hostname = dialog->findChild<QLineEdit*>(QStringLiteral("hostnameEdit"));
    if (!hostname->isEnabled())
        state.SkipWithError("no entry picked");
    hostname->setFocus();
    QApplication::processEvents();

    bool add = true;
    for (auto _ : state) {
        if (add)
            QTest::keyClick(hostname, Qt::Key_X);
        else
            QTest::keyClick(hostname, Qt::Key_Backspace);
        add = !add;
        QApplication::processEvents();
    }
}
BENCHMARK(BM_KeystrokeInHostname)->Arg(100000)->Unit(benchmark::kMillisecond);

// Save & Exit with nothing changed, up to the window closing.
void BM_SaveAndExitUnchanged(benchmark::State& state)
{
    const int entries = static_cast<int>(state.range(0));
    NoResolver resolver;
    for (auto _ : state) {
        state.PauseTiming();
        auto dialog = OpenShown(resolver, entries);
        auto* save = dialog->findChild<QPushButton*>(QStringLiteral("saveButton"));
        state.ResumeTiming();
        QTest::mouseClick(save, Qt::LeftButton);
        if (dialog->result() != QDialog::Accepted)
            state.SkipWithError("Save & Exit did not close the window");
        state.PauseTiming();
        dialog.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SaveAndExitUnchanged)->Arg(1000000)->Iterations(5)->Unit(benchmark::kMillisecond);

// One 20 MB entry: open, pick it, change an octet (transfer, store, row update and
// repaint), and Save & Exit, which writes the whole line back.
void BM_LongLine(benchmark::State& state)
{
    const int which = state.range(0) != 0 ? kLongName : kLongComment;
    TreeOf(which);
    NoResolver resolver;
    for (auto _ : state) {
        auto dialog = OpenShown(resolver, which);
        auto* list = dialog->findChild<QTreeView*>(QStringLiteral("hostList"));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(0, 0)).center());
        auto* octet = dialog->findChild<QLineEdit*>(QStringLiteral("octet4Edit"));
        octet->setFocus();
        QTest::keyClick(octet, Qt::Key_End);
        QTest::keyClick(octet, Qt::Key_2);
        QApplication::processEvents();
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("saveButton")),
                          Qt::LeftButton);
        if (dialog->result() != QDialog::Accepted)
            state.SkipWithError("Save & Exit did not close the window");
        state.PauseTiming();
        dialog.reset();
        // Back to the generated file for the next round.
        QFile::remove(TreeOf(which) + QStringLiteral("/System32/drivers/etc/lmhosts"));
        QFile file(TreeOf(which) + QStringLiteral("/System32/drivers/etc/lmhosts"));
        const std::string bytes = GenerateLongLine(kLongLineBytes, which == kLongName);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()))
            qFatal("cannot write the generated file");
        file.close();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LongLine)
    ->ArgName("in_hostname")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--program") == 0)
        return RunProgramOnce(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--minimal") == 0)
        return RunMinimalOnce(argc, argv);

    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
