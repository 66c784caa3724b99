#include "AppFixture.h"

#include "store/StoreFile.h"

#include <QList>

VialStep Step(int reagent, int agit, int pause, int hrs, int min, int temp)
{
    return VialStep{reagent, agit, pause, hrs, min, temp};
}

char *toString(const VialStep &step)
{
    const QByteArray text =
        "Step(" + QByteArray::number(step.Reagent) + ", " + QByteArray::number(step.Agit) + ", " +
        QByteArray::number(step.Pause) + ", " + QByteArray::number(step.Hrs) + ", " +
        QByteArray::number(step.Min) + ", " + QByteArray::number(step.Temp) + ')';
    return qstrdup(text.constData());
}

ProgramStore SampleStore()
{
    ProgramStore store;
    const QList<QByteArray> reagents = {
        "EMPTY",       "Formalin 10%", "Water",        "Ethanol 70%", "Ethanol 80%",
        "Ethanol 96%", "Ethanol 100%", "Isopropanol",  "Xylene",      "Paraffin",
        "Paraffin 2",  "Decalcifier",  "Buffer pH 7.2"};
    for (int r = 1; r <= ReagentCount; ++r)
        store.Reagents[r] = FitName(r <= reagents.size() ? reagents[r - 1] : QByteArray(), false);

    for (ProgramRecord &program : store.Programs)
        program = ProgramRecord::empty();

    ProgramRecord &overnight = store.Programs[1];
    overnight.Name = FitName("Overnight", false);
    overnight.Type = 1;
    const QList<VialStep> steps = {
        Step(2, 2, 0, 2, 0, 37),   Step(2, 2, 0, 1, 30, 37), Step(3, 1, 0, 0, 15, 0),
        Step(4, 2, 0, 1, 0, 0),    Step(5, 2, 0, 1, 0, 0),   Step(6, 2, 0, 1, 0, 0),
        Step(6, 2, 0, 1, 0, 0),    Step(7, 3, 0, 1, 0, 0),   Step(7, 3, 0, 1, 30, 0),
        Step(9, 3, 0, 1, 0, 0),    Step(9, 3, 0, 1, 0, 0),   Step(10, 4, 0, 1, 0, 60),
        Step(10, 4, 0, 1, 30, 60), Step(11, 5, 1, 2, 0, 60)};
    for (int v = 1; v <= steps.size(); ++v)
        overnight.Vials[v] = steps[v - 1];
    RecomputeDuration(overnight);

    ProgramRecord &biopsy = store.Programs[2];
    biopsy.Name = FitName("Biopsy short", false);
    biopsy.Type = 0;
    for (int v = 1; v <= 8; ++v)
        biopsy.Vials[v] = Step(3 + v, 2, 0, 0, 20 + v, v <= 2 ? 40 : 0);
    RecomputeDuration(biopsy);

    ProgramRecord &decal = store.Programs[5];
    decal.Name = FitName("Decalcify", false);
    decal.Type = 1;
    decal.Vials[1] = Step(12, 1, 1, 12, 0, 0);
    decal.Vials[2] = Step(3, 1, 0, 0, 30, 0);
    RecomputeDuration(decal);
    return store;
}

void WriteStoreFile(ProgramStore store, const QString &folder)
{
    store.AppPath = WithTrailingSeparator(folder);
    SaveStore(store, 0);
    for (int p = 1; p <= ProgramCount; ++p) {
        if (!FitName(store.Programs[p].Name, true).isEmpty())
            SaveStore(store, p);
    }
}
