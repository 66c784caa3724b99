#pragma once

class SerialLink;

// Byte reads and writes of the instrument's memory over the serial link, with
// the attempt and confirmation rules of MemoryRules.h. confirmed (when given)
// tells whether the instrument really confirmed the byte.
int ReadMemory(SerialLink &link, int address, bool *confirmed = nullptr);
void WriteMemory(SerialLink &link, int address, int value, bool *confirmed = nullptr);
