// Loading and saving one project in a settings file of 1,000 projects: the file is read afresh for
// every load (as after another program touched it), and every save replaces it on disk once.
#include "platform/IniFile.h"
#include "projects/ProjectTransfer.h"
#include "MemoryForm.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kProjects = 1000;

// A file of 1,000 full projects, written through the layer itself.
QString makeFile(const QTemporaryDir& dir)
{
    const QString path = dir.filePath("Vornalex.ini");
    vx::IniFile ini(path);
    vx::test::MemoryForm form;
    form.texts = {{"EditFb", "32.5"}, {"EditVb", "50"}, {"EditDd", "250"}, {"EditNd", "2"}, {"EditXmax", "8.25"}};
    vx::CalcState state;
    state.TubD = 101.25;
    state.FlaBoxR1 = 12.5;
    vx::IniFile::Batch batch(ini);
    vx::ProjectTransfer io(ini, form, state);
    for (int i = 0; i < kProjects; ++i)
        io.writeProject(QStringLiteral("PROJECT %1").arg(i), 344, QStringLiteral("PROJECT %1").arg(i));
    batch.commit();
    return path;
}

void BM_LoadOneProject(benchmark::State& st)
{
    QTemporaryDir dir;
    const QString path = makeFile(dir);
    vx::test::MemoryForm form;
    vx::CalcState state;
    int n = 0;
    for (auto _ : st) {
        vx::IniFile ini(path); // nothing cached: the whole file is read and parsed
        const QString name = QStringLiteral("PROJECT %1").arg(n++ % 2 ? 500 : 999);
        vx::ProjectTransfer io(ini, form, state);
        ini.sections();
        ini.writeString("DEFAULT", "LastProject", name); // a load names its project first: one file write
        io.readSourceKeys(name);
        io.readDimensions(name);
        io.showShapeDimensions();
        io.showCurvedDimensions();
        benchmark::DoNotOptimize(state.FlaBoxR1);
    }
}
BENCHMARK(BM_LoadOneProject)->Unit(benchmark::kMillisecond);

void BM_SaveOneProject(benchmark::State& st)
{
    QTemporaryDir dir;
    const QString path = makeFile(dir);
    vx::IniFile ini(path);
    vx::test::MemoryForm form;
    form.texts = {{"EditFb", "30"}, {"EditVb", "45"}, {"EditDd", "210"}, {"EditNd", "1"}, {"EditXmax", "7"}};
    vx::CalcState state;
    vx::ProjectTransfer io(ini, form, state);
    int n = 0;
    const int before = ini.diskWrites();
    for (auto _ : st) {
        state.TubD = ++n; // a changed project, so the file really changes
        vx::IniFile::Batch batch(ini);
        io.writeProject(QStringLiteral("PROJECT 500"), 344, QStringLiteral("PROJECT 500"));
        benchmark::DoNotOptimize(batch.commit());
    }
    st.counters["file writes per save"] = double(ini.diskWrites() - before) / double(st.iterations());
}
BENCHMARK(BM_SaveOneProject)->Unit(benchmark::kMillisecond);

} // namespace
