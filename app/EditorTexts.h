#pragma once

#include "store/ProgramStore.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The texts the main window shows and asks, built from the store. Texts that
// hold names are Windows-1252 bytes, like the names themselves; the window
// converts them when it shows them.

// The safety notice shown at every start, its lines joined by CR LF.
QString SafetyNotice();

// The six entries of the agitation list, level 0 first.
QStringList AgitationTexts();

// "PAUSE" for pause 1, "CONT" for any other value.
QByteArray PauseText(qint32 pause);
// "--°C" for 0, otherwise the temperature in two-digit form and "°C".
QByteArray TemperatureText(qint32 temp);

// The stored 13-character name of reagent r. A number outside 1 to 200 (only
// a hand-edited store file holds one) gives "(unknown 250)" in its place.
QByteArray ReagentName(const ReagentTable &reagents, qint32 r);

// The line of vial v of program p in the vial list, for example
// "Vial 03: Ethanol 70%   AG2 01:05 37°C PAUSE".
QByteArray VialLine(const ProgramStore &store, int p, int v);

// "Total Time: " with the hours (at least two digits) and minutes of duration.
QByteArray DurationText(qint32 duration);

// "Program " and the program number in two-digit form: the program frame's caption.
QByteArray ProgramCaption(int p);

// "Reagent 012: \"Water        \"": the reagent list's line of reagent r.
QByteArray ReagentLine(const ReagentTable &reagents, int r);
// "012: Water        ": the vial editor's reagent choice for reagent r.
QByteArray ReagentChoice(const ReagentTable &reagents, int r);
// "Reagent 012:": the caption above the reagent name box.
QByteArray ReagentCaption(int r);

// The questions of the program and vial clipboard, for example
// "Program05 (\"Fixation\") will be overwritten. Are you sure?". The name is
// quoted without its trailing spaces.
QByteArray ProgramQuestion(int p, QByteArrayView name, bool deleting);
QByteArray VialQuestion(int v, QByteArrayView reagentName, bool deleting);
