#include "app/EditorTexts.h"

namespace {

QByteArray Quoted(QByteArrayView name)
{
    return '"' + FitName(name, true) + '"';
}

QByteArray Question(const QByteArray &subject, QByteArrayView name, bool deleting)
{
    return subject + " (" + Quoted(name) + ") will be " + (deleting ? "deleted" : "overwritten") +
           ". Are you sure?";
}

} // namespace

QString SafetyNotice()
{
    const QStringList lines = {
        QStringLiteral("IMPORTANT INFORMATION!"),
        QString(),
        QStringLiteral("For safe data transfer via the PC software,"),
        QStringLiteral("the Quenor must be in configuration mode."),
        QString(),
        QStringLiteral("To do this:"),
        QStringLiteral("Switch on the Quenor and immediately press the PROG button.          "),
        QStringLiteral("Execute data transfer."),
        QStringLiteral("After data transfer has been completed,"),
        QStringLiteral("leave the configuration mode by pressing the STOP button."),
        QString(),
        QStringLiteral("NEVER execute data transfer when the Quenor is in standby"),
        QStringLiteral("or when a program is running!"),
    };
    return lines.join(QStringLiteral("\r\n"));
}

QStringList AgitationTexts()
{
    return {
        QStringLiteral("AG0: off"),    QStringLiteral("AG1: 0,25Hz"), QStringLiteral("AG2: 0,50Hz"),
        QStringLiteral("AG3: 1,00Hz"), QStringLiteral("AG4: 2,00Hz"), QStringLiteral("AG5: 3,00Hz"),
    };
}

QByteArray PauseText(qint32 pause)
{
    return pause == 1 ? QByteArrayLiteral("PAUSE") : QByteArrayLiteral("CONT");
}

QByteArray TemperatureText(qint32 temp)
{
    const char degreeSign = '\xB0'; // in Windows-1252
    return (temp == 0 ? QByteArrayLiteral("--") : PadNumber(temp, 2)) + degreeSign + 'C';
}

QByteArray ReagentName(const ReagentTable &reagents, qint32 r)
{
    if (r >= 1 && r <= ReagentCount)
        return reagents[r];
    return FitName("(unknown " + QByteArray::number(r) + ')', false);
}

QByteArray VialLine(const ProgramStore &store, int p, int v)
{
    const VialStep &step = store.Programs[p].Vials[v];
    return "Vial " + PadNumber(v, 2) + ": " + ReagentName(store.Reagents, step.Reagent) + " AG" +
           QByteArray::number(step.Agit) + ' ' + PadNumber(step.Hrs, 2) + ':' +
           PadNumber(step.Min, 2) + ' ' + TemperatureText(step.Temp) + ' ' + PauseText(step.Pause);
}

QByteArray DurationText(qint32 duration)
{
    // Hours rounded down, so that the minutes stay 0 to 59 even for a negative total.
    const qint64 total = duration;
    const qint64 hours = total >= 0 ? total / 60 : -((-total + 59) / 60);
    const qint64 minutes = total - 60 * hours;
    return "Total Time: " + PadNumber(hours, 2) + "h " + PadNumber(minutes, 2) + "min";
}

QByteArray ProgramCaption(int p)
{
    return "Program " + PadNumber(p, 2);
}

QByteArray ReagentLine(const ReagentTable &reagents, int r)
{
    return "Reagent " + PadNumber(r, 3) + ": \"" + reagents[r] + '"';
}

QByteArray ReagentChoice(const ReagentTable &reagents, int r)
{
    return PadNumber(r, 3) + ": " + reagents[r];
}

QByteArray ReagentCaption(int r)
{
    return "Reagent " + PadNumber(r, 3) + ':';
}

QByteArray ProgramQuestion(int p, QByteArrayView name, bool deleting)
{
    return Question("Program" + PadNumber(p, 2), name, deleting);
}

QByteArray VialQuestion(int v, QByteArrayView reagentName, bool deleting)
{
    return Question("Vial" + PadNumber(v, 2), reagentName, deleting);
}
