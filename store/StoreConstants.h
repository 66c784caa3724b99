#pragma once

// Sizes of the instrument's program memory, mirrored by the store.
inline constexpr int ProgramCount = 99;    // programs, numbered 1 to 99
inline constexpr int VialCount = 24;       // vial steps per program, numbered 1 to 24
inline constexpr int ReagentCount = 200;   // reagent names, numbered 1 to 200
inline constexpr int NameWidth = 13;       // characters of every program and reagent name
inline constexpr int EmptyVialReagent = 1; // reagent number that marks an empty vial
inline constexpr int LmVialCount = 12;     // vial steps an LM program uses
inline constexpr int AgitationLevels = 6;  // agitation levels 0 to 5
