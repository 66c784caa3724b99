#include "ProgramStore.h"

ProgramRecord ProgramRecord::empty()
{
    ProgramRecord record;
    record.Name = FitName({}, false);
    record.Type = 1;
    for (VialStep &step : record.Vials)
        step = VialStep::empty();
    return record;
}

void RecomputeDuration(ProgramRecord &program)
{
    quint32 total = 0; // unsigned so that absurd stored values wrap like the original's 32 bits
    for (int v = 1; v <= VialCount; ++v) {
        if (program.usesVial(v)) {
            const VialStep &step = program.Vials[v];
            total += quint32(step.Hrs) * 60u + quint32(step.Min);
        }
    }
    program.Duration = qint32(total);
}
