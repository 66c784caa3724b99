// Measures the store file: the load of a full Quenor.ini (99 named programs,
// 200 reagent names) and the save of one program into it, atomic replace
// included. Prints the file size and the median and best of several runs.

#include "store/StoreFile.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void FillStore(ProgramStore &store)
{
    for (int p = 1; p <= ProgramCount; ++p) {
        ProgramRecord &program = store.Programs[p];
        program.Name = FitName("Program " + QByteArray::number(p), false);
        program.Type = 1;
        for (int v = 1; v <= VialCount; ++v)
            program.Vials[v] =
                VialStep{(p * v) % 200 + 1, v % 6, v % 2, v % 24, (v * 7) % 60, v % 3 ? 0 : 37};
        RecomputeDuration(program);
    }
    for (int n = 1; n <= ReagentCount; ++n)
        store.Reagents[n] = FitName("Reagent " + QByteArray::number(n), false);
}

struct Figures
{
    double median = 0;
    double best = 0;
};

template<typename Run> Figures Measure(int rounds, Run run)
{
    std::vector<double> ms;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        run(i);
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.front()};
}

} // namespace

int main()
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;

    ProgramStore full;
    full.AppPath = WithTrailingSeparator(dir.path());
    FillStore(full);
    for (int p = 1; p <= ProgramCount; ++p)
        SaveStore(full, p);
    SaveStore(full, 0);
    const QString fileName = StoreFileName(full.AppPath);

    constexpr int Rounds = 30;
    const Figures load = Measure(Rounds, [&](int) {
        ProgramStore store;
        LoadStore(store, dir.path());
        if (store.Programs[99].Name != full.Programs[99].Name)
            std::abort();
    });
    const Figures save = Measure(Rounds, [&](int i) {
        full.Programs[50].Vials[1].Min = i % 60; // a real change, so the file is rewritten
        RecomputeDuration(full.Programs[50]);
        if (!SaveStore(full, 50))
            std::abort();
    });

    std::printf("Quenor.ini: %lld bytes, %d programs and %d reagent names\n",
                static_cast<long long>(QFileInfo(fileName).size()), ProgramCount, ReagentCount);
    std::printf("LoadStore:      median %.2f ms, best %.2f ms (target < 20 ms)\n", load.median,
                load.best);
    std::printf("SaveStore(50):  median %.2f ms, best %.2f ms (target < 20 ms)\n", save.median,
                save.best);
    return 0;
}
