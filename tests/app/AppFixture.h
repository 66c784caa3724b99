#pragma once

#include "store/ProgramStore.h"

#include <QString>

// A small store that looks like a real instrument's: named reagents, an EM
// program 1 with fourteen vials, an LM program 2 and a few more, all other
// programs unnamed.
ProgramStore SampleStore();

// Writes the store as Quenor.ini into folder with the store's own writer.
void WriteStoreFile(ProgramStore store, const QString &folder);

// A vial step in one line: reagent, agitation, pause, hours, minutes, temperature.
VialStep Step(int reagent, int agit, int pause, int hrs, int min, int temp);

// "Step(4, 2, 0, 1, 5, 0)" in test failure messages.
char *toString(const VialStep &step);
