#pragma once

#include "Numbered.h"
#include "StoreConstants.h"
#include "StoreHelpers.h"

#include <QByteArray>
#include <QString>

// One vial step of a processing program. The editor keeps the fields within
// Reagent 1-200, Agit 0-5, Pause 0/1, Hrs 0-99, Min 0-59, Temp 0 or 4-60; the
// store itself holds any 32-bit value, as a hand-edited file may give it.
struct VialStep
{
    qint32 Reagent = 0; // reagent number; EmptyVialReagent marks an empty vial
    qint32 Agit = 0;    // agitation level
    qint32 Pause = 0;   // 1: the instrument pauses after this vial
    qint32 Hrs = 0;
    qint32 Min = 0;
    qint32 Temp = 0; // heater/cooler in degrees Celsius, 0 = off

    friend bool operator==(const VialStep &, const VialStep &) = default;

    // Reagent 1 and every other field 0: a deleted vial, the LM tail on the instrument.
    static VialStep empty() { return VialStep{EmptyVialReagent, 0, 0, 0, 0, 0}; }
};

// A processing program as the instrument stores it. Name is Windows-1252 text
// of exactly NameWidth bytes once loaded (FitName keeps it so).
struct ProgramRecord
{
    QByteArray Name;
    qint32 Duration = 0; // total minutes of the steps in use
    qint32 Type = 0;     // 0 = LM (steps 1-12), 1 = EM (steps 1-24)
    Numbered<VialStep, VialCount> Vials;

    friend bool operator==(const ProgramRecord &, const ProgramRecord &) = default;

    // Whether vial v belongs to the program: all 24 for EM, 1 to 12 for LM.
    bool usesVial(int v) const { return Type != 0 || v <= LmVialCount; }

    // The state of an unnamed or deleted program: blank name, EM, every vial empty.
    static ProgramRecord empty();
};

// The 200 reagent names, numbered from 1; reagent 1 designates an empty vial.
using ReagentTable = Numbered<QByteArray, ReagentCount>;

// The complete copy of the instrument's programs and reagent names.
struct ProgramStore
{
    Numbered<ProgramRecord, ProgramCount> Programs;
    ReagentTable Reagents;
    QString AppPath; // folder of the executable, ending in a separator
};

// Sets Duration to the sum of Hrs * 60 + Min over the vials the program uses,
// in 32-bit arithmetic that wraps rather than overflows.
void RecomputeDuration(ProgramRecord &program);
