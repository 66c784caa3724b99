#pragma once

#include "ProgramStore.h"

#include <QString>

#include <functional>

class IniFile;

// Reading and writing the store file Quenor.ini and program sections.

// The points of the store load at which the loading window advances its bar
// and the main window fills the lists that show the store.
enum class LoadStage {
    ReagentsNext,   // about to read the reagent names
    ReagentsLoaded, // the 200 names are in the store, each NameWidth bytes
    ProgramsLoaded, // the 99 programs are in the store
};

// "Quenor.ini" in the folder appPath (which ends in a separator).
QString StoreFileName(const QString &appPath);

// appFolder with a separator appended unless it already ends in one.
QString WithTrailingSeparator(const QString &appFolder);

// Fills a fresh store from Quenor.ini in appFolder: sets AppPath, reads the 200
// reagent names and the 99 programs. A missing or unreadable file gives the
// empty store: blank names and unnamed programs (EM, reagent 1 in every vial).
//
// In a named program, a key that is missing, or whose value is not a whole
// 32-bit number, leaves its field as it was (0 in a fresh store) and the load
// goes on; a missing "Type" counts as EM, like any value other than "LM".
void LoadStore(ProgramStore &store, const QString &appFolder,
               const std::function<void(LoadStage)> &onStage = {});

// Reads the reagent names, then the programs, from an open store file.
void LoadReagents(ReagentTable &reagents, IniFile &ini);
void LoadProgram(ProgramRecord &program, IniFile &ini, const QByteArray &sectionName);

// Writes program `number` (1-99) to its section of Quenor.ini, or for number 0
// all 200 reagent names. True when the file was written.
bool SaveStore(const ProgramStore &store, int number);

// Writes program `programNumber` as one section of fileName: "ProgramNN" when
// numbered, plain "Program" otherwise. Other sections and keys of the file
// stay. True when the file was written.
bool WriteProgramSection(const ProgramStore &store, int programNumber, const QString &fileName,
                         bool numbered);

// "Program" followed by the two-digit program number.
QByteArray ProgramSectionName(int programNumber);
// "R" followed by the three-digit reagent number.
QByteArray ReagentKeyName(int reagentNumber);
