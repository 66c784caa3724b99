#include "StoreFile.h"

#include "IniFile.h"

#include <array>

namespace {

const QByteArray ReagentsSection = QByteArrayLiteral("Reagents");
const std::array<QByteArray, 6> StepKeys = {
    QByteArrayLiteral("Reagent"), QByteArrayLiteral("Agit"), QByteArrayLiteral("Pause"),
    QByteArrayLiteral("Hrs"),     QByteArrayLiteral("Min"),  QByteArrayLiteral("Temp"),
};

std::array<qint32 *, 6> StepFields(VialStep &step)
{
    return {&step.Reagent, &step.Agit, &step.Pause, &step.Hrs, &step.Min, &step.Temp};
}

std::array<qint32, 6> StepValues(const VialStep &step)
{
    return {step.Reagent, step.Agit, step.Pause, step.Hrs, step.Min, step.Temp};
}

QByteArray StepKey(int vial, const QByteArray &field)
{
    return 'V' + PadNumber(vial, 2) + field;
}

// Reads a whole number into field; a missing key or any other value leaves it.
void ReadNumber(const IniFile &ini, const QByteArray &key, qint32 &field)
{
    QByteArray text;
    if (ini.ReadString(key, text) == IniFile::ReadOk)
        ParseWholeNumber(text, field);
}

} // namespace

QString StoreFileName(const QString &appPath)
{
    return appPath + QStringLiteral("Quenor.ini");
}

QString WithTrailingSeparator(const QString &appFolder)
{
    if (appFolder.endsWith(u'/') || appFolder.endsWith(u'\\'))
        return appFolder;
    return appFolder + u'/';
}

QByteArray ProgramSectionName(int programNumber)
{
    return "Program" + PadNumber(programNumber, 2);
}

QByteArray ReagentKeyName(int reagentNumber)
{
    return 'R' + PadNumber(reagentNumber, 3);
}

void LoadReagents(ReagentTable &reagents, IniFile &ini)
{
    ini.setSectionName(ReagentsSection);
    for (int n = 1; n <= ReagentCount; ++n) {
        ini.ReadString(ReagentKeyName(n), reagents[n]);
        reagents[n] = FitName(reagents[n], false);
    }
}

void LoadProgram(ProgramRecord &program, IniFile &ini, const QByteArray &sectionName)
{
    ini.setSectionName(sectionName);
    ini.ReadString("Name", program.Name);
    if (program.Name.isEmpty()) {
        // Unnamed: none of the section's other keys is read.
        program.Type = 1;
        for (VialStep &step : program.Vials)
            step.Reagent = EmptyVialReagent;
    } else {
        ReadNumber(ini, "Duration", program.Duration);
        QByteArray type;
        ini.ReadString("Type", type);
        program.Type = type == "LM" ? 0 : 1;
        for (int v = 1; v <= VialCount; ++v) {
            const auto fields = StepFields(program.Vials[v]);
            for (std::size_t f = 0; f < StepKeys.size(); ++f)
                ReadNumber(ini, StepKey(v, StepKeys[f]), *fields[f]);
        }
    }
    program.Name = FitName(program.Name, false);
}

void LoadStore(ProgramStore &store, const QString &appFolder,
               const std::function<void(LoadStage)> &onStage)
{
    const auto stage = [&onStage](LoadStage s) {
        if (onStage)
            onStage(s);
    };
    store.AppPath = WithTrailingSeparator(appFolder);
    IniFile ini(StoreFileName(store.AppPath));

    stage(LoadStage::ReagentsNext);
    LoadReagents(store.Reagents, ini);
    stage(LoadStage::ReagentsLoaded);
    for (int p = 1; p <= ProgramCount; ++p)
        LoadProgram(store.Programs[p], ini, ProgramSectionName(p));
    stage(LoadStage::ProgramsLoaded);
}

bool SaveStore(const ProgramStore &store, int number)
{
    if (number != 0)
        return WriteProgramSection(store, number, StoreFileName(store.AppPath), true);

    IniFile ini(StoreFileName(store.AppPath), ReagentsSection);
    for (int n = 1; n <= ReagentCount; ++n)
        ini.WriteString(ReagentKeyName(n), store.Reagents[n]);
    return ini.Flush();
}

bool WriteProgramSection(const ProgramStore &store, int programNumber, const QString &fileName,
                         bool numbered)
{
    const ProgramRecord &program = store.Programs[programNumber];
    IniFile ini(fileName, numbered ? ProgramSectionName(programNumber) : QByteArray("Program"));
    ini.WriteString("Name", program.Name);
    ini.WriteString("Duration", QByteArray::number(program.Duration));
    ini.WriteString("Type", TypeText(program.Type));
    for (int v = 1; v <= VialCount; ++v) {
        const auto values = StepValues(program.Vials[v]);
        for (std::size_t f = 0; f < StepKeys.size(); ++f)
            ini.WriteString(StepKey(v, StepKeys[f]), QByteArray::number(values[f]));
    }
    return ini.Flush();
}
