#include "DeviceMemory.h"

#include "MemoryRules.h"
#include "SerialLink.h"

namespace {

RunCommand Over(SerialLink &link)
{
    return [&link](const QByteArray &command) {
        link.SendCommand(command);
        return link.ReplyText();
    };
}

} // namespace

int ReadMemory(SerialLink &link, int address, bool *confirmed)
{
    return ReadMemory(Over(link), address, confirmed);
}

void WriteMemory(SerialLink &link, int address, int value, bool *confirmed)
{
    WriteMemory(Over(link), address, value, confirmed);
}
