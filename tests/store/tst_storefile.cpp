#include "store/IniFile.h"
#include "store/StoreFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Builds the text of a Quenor.ini section by section for the fixtures.
static QByteArray Section(const QByteArray &name, const QList<QByteArray> &lines)
{
    QByteArray text = '[' + name + "]\r\n";
    for (const QByteArray &line : lines)
        text += line + "\r\n";
    return text;
}

class TestStoreFile : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void loadStore_missingFile_givesUnnamedPrograms();
    void loadStore_namedProgram_readsEveryField();
    void loadStore_blankName_ignoresStepValues_data();
    void loadStore_blankName_ignoresStepValues();
    void loadStore_reagentNames_fittedToThirteen();
    void loadStore_type_data();
    void loadStore_type();
    void loadStore_badNumber_keepsFieldDefault_data();
    void loadStore_badNumber_keepsFieldDefault();
    void loadStore_reportsStagesInOrder();
    void loadStore_damagedFile_loadsWhatItCan();

    void saveStore_program_writesSectionInOrder();
    void saveStore_reagents_writesAllTwoHundredNames();
    void saveStore_keepsOtherSectionsAndKeys();
    void saveStore_roundTrip_givesTheSameStore();
    void saveStore_unwritable_reportsFailureAndKeepsOldFile();
    void writeProgramSection_unnumbered_writesPlainProgramSection();

private:
    void writeStoreFile(const QByteArray &content);
    QByteArray storeFileContents() const;
    ProgramStore load();

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestStoreFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestStoreFile::writeStoreFile(const QByteArray &content)
{
    QFile file(m_dir->filePath(QStringLiteral("Quenor.ini")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

QByteArray TestStoreFile::storeFileContents() const
{
    QFile file(m_dir->filePath(QStringLiteral("Quenor.ini")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ProgramStore TestStoreFile::load()
{
    ProgramStore store;
    LoadStore(store, m_dir->path());
    return store;
}

void TestStoreFile::loadStore_missingFile_givesUnnamedPrograms()
{
    const ProgramStore store = load();
    QCOMPARE(store.AppPath, m_dir->path() + u'/');
    for (const ProgramRecord &program : store.Programs)
        QCOMPARE(program, ProgramRecord::empty());
    for (const QByteArray &name : store.Reagents)
        QCOMPARE(name, QByteArray(13, ' '));
}

void TestStoreFile::loadStore_namedProgram_readsEveryField()
{
    QList<QByteArray> lines{"Name=Routine 12h  ", "Duration=1234", "Type=LM"};
    for (int v = 1; v <= 24; ++v) {
        const QByteArray vv = PadNumber(v, 2);
        lines += "V" + vv + "Reagent=" + QByteArray::number(v + 1);
        lines += "V" + vv + "Agit=" + QByteArray::number(v % 6);
        lines += "V" + vv + "Pause=" + QByteArray::number(v % 2);
        lines += "V" + vv + "Hrs=" + QByteArray::number(v);
        lines += "V" + vv + "Min=" + QByteArray::number(v + 30);
        lines += "V" + vv + "Temp=" + QByteArray::number(v == 3 ? -1 : 40 + v);
    }
    writeStoreFile(Section("Program07", lines));

    const ProgramStore store = load();
    const ProgramRecord &program = store.Programs[7];
    QCOMPARE(program.Name, QByteArray("Routine 12h  "));
    QCOMPARE(program.Duration, 1234); // taken as stored, not recomputed
    QCOMPARE(program.Type, 0);
    for (int v = 1; v <= 24; ++v) {
        const VialStep expected{v + 1, v % 6, v % 2, v, v + 30, v == 3 ? -1 : 40 + v};
        QCOMPARE(program.Vials[v], expected); // steps 13-24 of an LM program are kept too
    }
    QCOMPARE(store.Programs[6], ProgramRecord::empty());
}

void TestStoreFile::loadStore_blankName_ignoresStepValues_data()
{
    QTest::addColumn<QByteArray>("nameLine");
    QTest::newRow("spaces only") << QByteArray("Name=             ");
    QTest::newRow("empty") << QByteArray("Name=");
    QTest::newRow("quoted spaces") << QByteArray("Name=\"   \"");
    QTest::newRow("missing") << QByteArray("Other=1");
}

void TestStoreFile::loadStore_blankName_ignoresStepValues()
{
    QFETCH(QByteArray, nameLine);
    writeStoreFile(Section("Program02", {nameLine, "Duration=60", "Type=LM", "V01Reagent=9",
                                         "V01Hrs=1", "V01Temp=37"}));
    QCOMPARE(load().Programs[2], ProgramRecord::empty());
}

void TestStoreFile::loadStore_reagentNames_fittedToThirteen()
{
    writeStoreFile(Section("Reagents", {"R001=-- empty --", "R007=Ethanol 70% absolute", "R008=Xyl",
                                        "R200=\"  Paraffin \""}));
    const ProgramStore store = load();
    QCOMPARE(store.Reagents[1], QByteArray("-- empty --  "));
    QCOMPARE(store.Reagents[7], QByteArray("Ethanol 70% a"));
    QCOMPARE(store.Reagents[8], QByteArray("Xyl          "));
    QCOMPARE(store.Reagents[200], QByteArray("  Paraffin   "));
    QCOMPARE(store.Reagents[2], QByteArray(13, ' '));
}

void TestStoreFile::loadStore_type_data()
{
    QTest::addColumn<QByteArray>("typeLine");
    QTest::addColumn<int>("type");
    QTest::newRow("LM") << QByteArray("Type=LM") << 0;
    QTest::newRow("quoted LM") << QByteArray("Type=\"LM\"") << 0;
    QTest::newRow("LM with spaces") << QByteArray("Type =  LM  ") << 0;
    QTest::newRow("EM") << QByteArray("Type=EM") << 1;
    QTest::newRow("lower case lm") << QByteArray("Type=lm") << 1;
    QTest::newRow("number 0") << QByteArray("Type=0") << 1;
    QTest::newRow("other text") << QByteArray("Type=LMX") << 1;
    QTest::newRow("missing") << QByteArray("Comment=none") << 1;
}

void TestStoreFile::loadStore_type()
{
    QFETCH(QByteArray, typeLine);
    QFETCH(int, type);
    writeStoreFile(Section("Program01", {"Name=Test", typeLine}));
    QCOMPARE(load().Programs[1].Type, type);
}

void TestStoreFile::loadStore_badNumber_keepsFieldDefault_data()
{
    QTest::addColumn<QByteArray>("value"); // for V05Hrs; the key is absent when empty
    QTest::addColumn<int>("hours");
    QTest::newRow("missing key") << QByteArray() << 0;
    QTest::newRow("empty value") << QByteArray("V05Hrs=") << 0;
    QTest::newRow("letters") << QByteArray("V05Hrs=abc") << 0;
    QTest::newRow("digits then letters") << QByteArray("V05Hrs=12abc") << 0;
    QTest::newRow("fraction") << QByteArray("V05Hrs=1.5") << 0;
    QTest::newRow("beyond 32 bits") << QByteArray("V05Hrs=99999999999") << 0;
    QTest::newRow("below 32 bits") << QByteArray("V05Hrs=-2147483649") << 0;
    QTest::newRow("binary") << QByteArray("V05Hrs=\x01\xff") << 0;
    QTest::newRow("plain") << QByteArray("V05Hrs=7") << 7;
    QTest::newRow("negative kept") << QByteArray("V05Hrs=-3") << -3;
    QTest::newRow("quoted") << QByteArray("V05Hrs='8'") << 8;
}

void TestStoreFile::loadStore_badNumber_keepsFieldDefault()
{
    QFETCH(QByteArray, value);
    QFETCH(int, hours);
    QList<QByteArray> lines{"Name=Hand made", "Duration=x", "V05Min=20"};
    if (!value.isEmpty())
        lines += value;
    writeStoreFile(Section("Program03", lines));

    const ProgramStore store = load();
    const ProgramRecord &program = store.Programs[3];
    QCOMPARE(program.Vials[5].Hrs, hours);
    QCOMPARE(program.Vials[5].Min, 20); // the rest of the section still loads
    QCOMPARE(program.Duration, 0);
    QCOMPARE(program.Vials[5].Reagent, 0); // a named program's missing key stays at its default
}

void TestStoreFile::loadStore_reportsStagesInOrder()
{
    writeStoreFile(Section("Reagents", {"R001=Water"}) + Section("Program01", {"Name=P"}));
    ProgramStore store;
    QList<LoadStage> stages;
    LoadStore(store, m_dir->path() + u'/', [&](LoadStage stage) {
        stages += stage;
        if (stage == LoadStage::ReagentsLoaded)
            QCOMPARE(store.Reagents[1], QByteArray("Water        "));
        if (stage == LoadStage::ProgramsLoaded)
            QCOMPARE(store.Programs[1].Name, QByteArray("P            "));
    });
    QCOMPARE(stages, (QList<LoadStage>{LoadStage::ReagentsNext, LoadStage::ReagentsLoaded,
                                       LoadStage::ProgramsLoaded}));
    QCOMPARE(store.AppPath, m_dir->path() + u'/'); // no second separator
}

void TestStoreFile::loadStore_damagedFile_loadsWhatItCan()
{
    const QByteArray binary("\x00\x01\x02\r", 4);
    const QByteArray file = "garbage before any section\r\nName=stray\r\n"
                            "[Program01\r\n"
                            "[Program01]\r\nno equals sign here\r\nName=First\r\n"
                            "Name=Second\r\nV01Hrs=2\r\n" +
                            binary +
                            "[program01]\r\nName=Third\r\nV01Min=9\r\n"
                            "[Reagents]\nR001=\xe9tanol\rR002=Eau";
    writeStoreFile(file);
    const ProgramStore store = load();
    QCOMPARE(store.Programs[1].Name, QByteArray("First        "));
    QCOMPARE(store.Programs[1].Vials[1].Hrs, 2);
    QCOMPARE(store.Programs[1].Vials[1].Min, 0); // the duplicate section is never read
    QCOMPARE(store.Reagents[1], QByteArray("\xe9tanol       "));
    QCOMPARE(store.Reagents[2], QByteArray("Eau          "));
}

void TestStoreFile::saveStore_program_writesSectionInOrder()
{
    ProgramStore store = load();
    ProgramRecord &program = store.Programs[5];
    program.Name = FitName("Fixation", false);
    program.Type = 0;
    program.Vials[1] = VialStep{4, 2, 1, 1, 5, 37};
    program.Vials[24].Temp = -1;
    RecomputeDuration(program);
    QVERIFY(SaveStore(store, 5));

    QByteArray expected = "[Program05]\r\nName=Fixation     \r\nDuration=65\r\nType=LM\r\n"
                          "V01Reagent=4\r\nV01Agit=2\r\nV01Pause=1\r\nV01Hrs=1\r\nV01Min=5\r\n"
                          "V01Temp=37\r\n";
    for (int v = 2; v <= 24; ++v) {
        const QByteArray vv = PadNumber(v, 2);
        expected += "V" + vv + "Reagent=1\r\nV" + vv + "Agit=0\r\nV" + vv + "Pause=0\r\nV" + vv +
                    "Hrs=0\r\nV" + vv + "Min=0\r\nV" + vv + "Temp=" + (v == 24 ? "-1" : "0") +
                    "\r\n";
    }
    QCOMPARE(storeFileContents(), expected);
}

void TestStoreFile::saveStore_reagents_writesAllTwoHundredNames()
{
    ProgramStore store = load();
    store.Reagents[3] = FitName("Formalin 4%", false);
    QVERIFY(SaveStore(store, 0));
    const QByteArray text = storeFileContents();
    // A blank name loses its leading white space like any value and reads back as 13 spaces.
    QVERIFY(text.startsWith("[Reagents]\r\nR001=\r\nR002=\r\nR003=Formalin 4%  \r\nR004=\r\n"));
    QVERIFY(text.endsWith("R200=\r\n"));
    QCOMPARE(text.count("\r\n"), 201);
}

void TestStoreFile::saveStore_keepsOtherSectionsAndKeys()
{
    writeStoreFile("; notes\r\n[Program05]\r\nName=Old\r\nExtra=kept\r\n[Mine]\r\nx=1\r\n");
    ProgramStore store = load();
    store.Programs[5].Name = FitName("New", false);
    QVERIFY(SaveStore(store, 5));
    const QByteArray text = storeFileContents();
    QVERIFY(text.startsWith("; notes\r\n[Program05]\r\nName=New          \r\nExtra=kept\r\n"
                            "Duration=0\r\nType=EM\r\nV01Reagent=0\r\n"));
    QVERIFY(text.endsWith("V24Temp=0\r\n[Mine]\r\nx=1\r\n"));
}

void TestStoreFile::saveStore_roundTrip_givesTheSameStore()
{
    ProgramStore store = load();
    for (int p = 1; p <= ProgramCount; ++p) {
        ProgramRecord &program = store.Programs[p];
        program.Name = FitName("Prog \xe4 " + QByteArray::number(p), false);
        program.Type = p % 2;
        for (int v = 1; v <= VialCount; ++v)
            program.Vials[v] = VialStep{(p + v) % 200 + 1, v % 6, v % 2, p % 100, v * 2, v + 36};
        RecomputeDuration(program);
    }
    for (int n = 1; n <= ReagentCount; ++n)
        store.Reagents[n] = FitName("Reagent " + QByteArray::number(n), false);

    for (int p = 1; p <= ProgramCount; ++p)
        QVERIFY(SaveStore(store, p));
    QVERIFY(SaveStore(store, 0));

    const ProgramStore reloaded = load();
    for (int p = 1; p <= ProgramCount; ++p)
        QCOMPARE(reloaded.Programs[p], store.Programs[p]);
    QCOMPARE(reloaded.Reagents, store.Reagents);
}

void TestStoreFile::saveStore_unwritable_reportsFailureAndKeepsOldFile()
{
    ProgramStore store = load();
    store.AppPath = m_dir->filePath(QStringLiteral("gone/"));
    QVERIFY(!SaveStore(store, 1));
    QVERIFY(!SaveStore(store, 0));
}

void TestStoreFile::writeProgramSection_unnumbered_writesPlainProgramSection()
{
    ProgramStore store = load();
    store.Programs[42].Name = FitName("Export me", false);
    const QString path = m_dir->filePath(QStringLiteral("export.txt"));
    QVERIFY(WriteProgramSection(store, 42, path, false));

    IniFile ini(path, "Program");
    QByteArray name;
    QCOMPARE(ini.ReadString("Name", name), 0);
    QCOMPARE(name, QByteArray("Export me"));
    ini.setSectionName("Program42");
    QCOMPARE(ini.ReadString("Name", name), int(IniFile::ReadMissing));
}

QTEST_GUILESS_MAIN(TestStoreFile)
#include "tst_storefile.moc"
