#include "emulator/InstrumentModel.h"
#include "store/ProgramStore.h"
#include "store/StoreFile.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString DataFolder = QStringLiteral(QUENOR_EMULATOR_TEST_DATA);
const QString DemoFolder = QStringLiteral(QUENOR_EMULATOR_DEMO);

// Memory with a few known bytes for the read cases.
void Prepare(InstrumentModel &model)
{
    model.setByteAt(0x0000, 0x00);
    model.setByteAt(0x2000, 0x41);
    model.setByteAt(0x1ABC, 0xE9);
    model.setByteAt(0xFFFF, 0xFF);
}

} // namespace

// The instrument model on its own: framing, commands, faults and seeding.
class InstrumentModelTest : public QObject
{
    Q_OBJECT

private slots:
    void receive_answersRequest_data();
    void receive_answersRequest();
    void receive_malformedOrUnknown_answersNothingAndChangesNothing_data();
    void receive_malformedOrUnknown_answersNothingAndChangesNothing();
    void receive_write_storesByteAndEchoesIt();
    void receive_splitIntoSingleBytes_answersOnlyAtTheCr();
    void receive_overlongRequest_isDroppedAndTheNextOneAnswered();
    void receive_randomBytes_neverCrashOrAnswerWithoutARequest();
    void requests_recordEveryCompleteLineWithoutCr();

    void fault_silent_answersNothingButRecords();
    void fault_echoRequest_sendsLineBackBeforeReply();
    void fault_answerFromArrival_holdsBackEarlierArrivals();
    void fault_answerFromArrival_heldBackWriteIsNotCarriedOut();
    void fault_wrongAddressReplies_thenNormalAgain();
    void fault_wrongValueReplies_onlyWritesAffected();
    void fault_garbageBeforeReply_hasCrLfAndNoFalseReply();
    void fault_identity_isReportedAfterTheSeparator();

    void seedFromIni_placesProgramsAndReagents();
    void seedFromIni_lmProgramHoldsEmptyTail();
    void seedFromIni_absentProgramIsUnnamedEm();
    void seedFromIni_unreadableFile_returnsFalseAndKeepsMemory();
    void setProgram_programAt_roundTrip();
    void addresses_ofFirstAndLastProgramAndReagent();
    void demoSeed_isAConsistentStoreFile();
};

void InstrumentModelTest::receive_answersRequest_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("identify") << "!1F1\r"_ba
                              << "?1F1,4173-528\r"_ba;
    QTest::newRow("read") << "!125,2000\r"_ba
                          << "?125,2000,41\r"_ba;
    QTest::newRow("read, letters in address and value") << "!125,1ABC\r"_ba
                                                        << "?125,1ABC,E9\r"_ba;
    QTest::newRow("read address 0") << "!125,0000\r"_ba
                                    << "?125,0000,00\r"_ba;
    QTest::newRow("read last address") << "!125,FFFF\r"_ba
                                       << "?125,FFFF,FF\r"_ba;
    QTest::newRow("LF ignored anywhere") << "\n!1\n25,20\n00\n\r\n"_ba
                                         << "?125,2000,41\r"_ba;
    QTest::newRow("noise before the request") << "xx\r\n?1F1,\xff\r!125,2000\r"_ba
                                              << "?125,2000,41\r"_ba;
    QTest::newRow("second ! restarts the request") << "!125,1A!125,2000\r"_ba
                                                   << "?125,2000,41\r"_ba;
    QTest::newRow("two requests in one piece") << "!1F1\r!125,2000\r"_ba
                                               << "?1F1,4173-528\r?125,2000,41\r"_ba;
    QTest::newRow("CR outside a request ignored") << "\r\r!1F1\r\r"_ba
                                                  << "?1F1,4173-528\r"_ba;
}

void InstrumentModelTest::receive_answersRequest()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    InstrumentModel model;
    Prepare(model);
    QCOMPARE(model.receive(input), expected);
}

void InstrumentModelTest::receive_malformedOrUnknown_answersNothingAndChangesNothing_data()
{
    QTest::addColumn<QByteArray>("input");

    QTest::newRow("lower-case address") << "!125,1abc\r"_ba;
    QTest::newRow("lower-case write value") << "!126,2000,e9\r"_ba;
    QTest::newRow("address too short") << "!125,200\r"_ba;
    QTest::newRow("address too long") << "!125,20000\r"_ba;
    QTest::newRow("non-hex address") << "!125,20G0\r"_ba;
    QTest::newRow("address with sign") << "!125,+200\r"_ba;
    QTest::newRow("read without comma") << "!1252000\r"_ba;
    QTest::newRow("write value one digit") << "!126,2000,7\r"_ba;
    QTest::newRow("write value three digits") << "!126,2000,7FF\r"_ba;
    QTest::newRow("write with semicolon") << "!126,2000;7F\r"_ba;
    QTest::newRow("write without value") << "!126,2000\r"_ba;
    QTest::newRow("identify with more") << "!1F1X\r"_ba;
    QTest::newRow("identify lower case") << "!1f1\r"_ba;
    QTest::newRow("unknown command") << "!1ZZ\r"_ba;
    QTest::newRow("another unit") << "!2F1\r"_ba;
    QTest::newRow("another unit write") << "!226,2000,7F\r"_ba;
    QTest::newRow("bare !") << "!\r"_ba;
    QTest::newRow("no unit") << "!F1\r"_ba;
    QTest::newRow("no CR") << "!1F1"_ba;
    QTest::newRow("LF is no line end") << "!1F1\n"_ba;
    QTest::newRow("NUL inside") << QByteArray("!1F\0"
                                              "1\r",
                                              6);
    QTest::newRow("request without !") << "126,2000,7F\r"_ba;
}

void InstrumentModelTest::receive_malformedOrUnknown_answersNothingAndChangesNothing()
{
    QFETCH(QByteArray, input);
    InstrumentModel model;
    Prepare(model);
    QCOMPARE(model.receive(input), QByteArray());
    QCOMPARE(model.byteAt(0x2000), quint8(0x41));
    // The next request is understood as usual.
    QCOMPARE(model.receive("!125,2000\r"), "?125,2000,41\r"_ba);
}

void InstrumentModelTest::receive_write_storesByteAndEchoesIt()
{
    InstrumentModel model;
    QCOMPARE(model.receive("!126,1000,7F\r"), "?126,1000,7F\r"_ba);
    QCOMPARE(model.byteAt(0x1000), quint8(0x7F));
    QCOMPARE(model.receive("!126,FFFF,00\r"), "?126,FFFF,00\r"_ba);
    QCOMPARE(model.receive("!126,1001,C4\r"), "?126,1001,C4\r"_ba);
    QCOMPARE(model.byteAt(0x1001), quint8(0xC4));
    QCOMPARE(model.receive("!125,1000\r"), "?125,1000,7F\r"_ba);
    // Neighbours untouched.
    QCOMPARE(model.byteAt(0x0FFF), quint8(0));
    QCOMPARE(model.byteAt(0x1002), quint8(0));
}

void InstrumentModelTest::receive_splitIntoSingleBytes_answersOnlyAtTheCr()
{
    InstrumentModel model;
    Prepare(model);
    const QByteArray request = "!125,2000\r";
    for (qsizetype i = 0; i + 1 < request.size(); ++i)
        QCOMPARE(model.receive(request.sliced(i, 1)), QByteArray());
    QCOMPARE(model.receive("\r"), "?125,2000,41\r"_ba);
}

void InstrumentModelTest::receive_overlongRequest_isDroppedAndTheNextOneAnswered()
{
    InstrumentModel model;
    Prepare(model);
    const QByteArray longLine = "!1F1" + QByteArray(100'000, 'A') + '\r';
    QCOMPARE(model.receive(longLine), QByteArray());
    QVERIFY(model.requests().isEmpty());
    QCOMPARE(model.receive("!1F1\r"), "?1F1,4173-528\r"_ba);
}

void InstrumentModelTest::receive_randomBytes_neverCrashOrAnswerWithoutARequest()
{
    InstrumentModel model;
    Prepare(model);
    QRandomGenerator random(4173);
    // Random bytes with no "!" never make a request, however they are cut.
    for (int round = 0; round < 200; ++round) {
        QByteArray noise(int(random.bounded(1, 300)), '\0');
        for (char &c : noise) {
            c = char(random.bounded(256));
            if (c == '!')
                c = '?';
        }
        QCOMPARE(model.receive(noise), QByteArray());
    }
    QVERIFY(model.requests().isEmpty());
    // Random bytes with "!" may complete requests; the model must simply survive them.
    for (int round = 0; round < 200; ++round) {
        QByteArray noise(int(random.bounded(1, 300)), '\0');
        for (char &c : noise)
            c = "!1256F,0123456789ABCDEF\r\n\x00\xff"[random.bounded(27)];
        model.receive(noise);
    }
    model.receive("\r");
    QCOMPARE(model.receive("!1F1\r"), "?1F1,4173-528\r"_ba);
}

void InstrumentModelTest::requests_recordEveryCompleteLineWithoutCr()
{
    InstrumentModel model;
    model.receive("junk!1F1\r!1ZZ\r\n!125,20");
    QCOMPARE(model.requests(), (QByteArrayList{"!1F1", "!1ZZ"}));
    model.receive("00\r");
    QCOMPARE(model.requests(), (QByteArrayList{"!1F1", "!1ZZ", "!125,2000"}));
    model.clearRequests();
    QVERIFY(model.requests().isEmpty());
    model.receive("!126,0001,02\r");
    QCOMPARE(model.requests(), QByteArrayList{"!126,0001,02"});
}

void InstrumentModelTest::fault_silent_answersNothingButRecords()
{
    InstrumentModel model;
    model.faults.silent = true;
    model.faults.echoRequest = true;
    QCOMPARE(model.receive("!1F1\r!125,2000\r"), QByteArray());
    QCOMPARE(model.requests(), (QByteArrayList{"!1F1", "!125,2000"}));
    model.faults.silent = false;
    QCOMPARE(model.receive("!1F1\r"), "!1F1\r?1F1,4173-528\r"_ba);
}

void InstrumentModelTest::fault_echoRequest_sendsLineBackBeforeReply()
{
    InstrumentModel model;
    Prepare(model);
    model.faults.echoRequest = true;
    QCOMPARE(model.receive("!125,2000\r"), "!125,2000\r?125,2000,41\r"_ba);
    // A line the instrument does not understand is still echoed, and only echoed.
    QCOMPARE(model.receive("!1ZZ\r"), "!1ZZ\r"_ba);
}

void InstrumentModelTest::fault_answerFromArrival_holdsBackEarlierArrivals()
{
    InstrumentModel model;
    Prepare(model);
    model.faults.answerFromArrival = 3;
    QCOMPARE(model.receive("!125,2000\r"), QByteArray());
    QCOMPARE(model.receive("!125,2000\r"), QByteArray());
    QCOMPARE(model.receive("!125,2000\r"), "?125,2000,41\r"_ba);
    QCOMPARE(model.receive("!125,2000\r"), "?125,2000,41\r"_ba);
    // Another line starts counting again.
    QCOMPARE(model.receive("!1F1\r"), QByteArray());
    QCOMPARE(model.receive("!125,2000\r"), QByteArray());
    QCOMPARE(model.receive("!125,2000\r"), QByteArray());
    QCOMPARE(model.receive("!125,2000\r"), "?125,2000,41\r"_ba);
    QCOMPARE(model.requests().size(), 8);
}

void InstrumentModelTest::fault_answerFromArrival_heldBackWriteIsNotCarriedOut()
{
    InstrumentModel model;
    model.faults.answerFromArrival = 2;
    QCOMPARE(model.receive("!126,3000,55\r"), QByteArray());
    QCOMPARE(model.byteAt(0x3000), quint8(0));
    QCOMPARE(model.receive("!126,3000,55\r"), "?126,3000,55\r"_ba);
    QCOMPARE(model.byteAt(0x3000), quint8(0x55));
}

void InstrumentModelTest::fault_wrongAddressReplies_thenNormalAgain()
{
    InstrumentModel model;
    Prepare(model);
    model.faults.wrongAddressReplies = 2;
    // Identify is no memory reply and uses up nothing.
    QCOMPARE(model.receive("!1F1\r"), "?1F1,4173-528\r"_ba);
    QCOMPARE(model.receive("!125,2000\r"), "?125,2001,41\r"_ba);
    QCOMPARE(model.receive("!126,FFFF,12\r"), "?126,0000,12\r"_ba);
    QCOMPARE(model.byteAt(0xFFFF), quint8(0x12));
    QCOMPARE(model.receive("!125,2000\r"), "?125,2000,41\r"_ba);
    QCOMPARE(model.faults.wrongAddressReplies, 0);
}

void InstrumentModelTest::fault_wrongValueReplies_onlyWritesAffected()
{
    InstrumentModel model;
    Prepare(model);
    model.faults.wrongValueReplies = 1;
    QCOMPARE(model.receive("!125,2000\r"), "?125,2000,41\r"_ba);
    QCOMPARE(model.receive("!126,2000,FF\r"), "?126,2000,00\r"_ba);
    QCOMPARE(model.byteAt(0x2000), quint8(0xFF));
    QCOMPARE(model.receive("!126,2000,FF\r"), "?126,2000,FF\r"_ba);
}

void InstrumentModelTest::fault_garbageBeforeReply_hasCrLfAndNoFalseReply()
{
    InstrumentModel model;
    Prepare(model);
    model.faults.garbageBeforeReply = true;
    const QByteArray out = model.receive("!125,2000\r");
    const QByteArray reply = "?125,2000,41\r";
    QVERIFY(out.endsWith(reply));
    const QByteArray noise = out.first(out.size() - reply.size());
    QVERIFY(noise.contains('\r'));
    QVERIFY(noise.contains('\n'));
    // No piece of the noise up to a CR reads as a reply to any command.
    for (const QByteArray &piece : noise.split('\r')) {
        const qsizetype start = piece.lastIndexOf('?');
        if (start >= 0)
            QVERIFY2(!piece.sliced(start).startsWith("?1"), piece.constData());
    }
    // Nothing before a request that is not answered.
    QCOMPARE(model.receive("!1ZZ\r"), QByteArray());
}

void InstrumentModelTest::fault_identity_isReportedAfterTheSeparator()
{
    InstrumentModel model;
    model.faults.identity = "9999-000";
    const QByteArray reply = model.receive("!1F1\r");
    QCOMPARE(reply, "?1F1,9999-000\r"_ba);
    QCOMPARE(reply.sliced(5, reply.size() - 6), "9999-000"_ba);
}

void InstrumentModelTest::seedFromIni_placesProgramsAndReagents()
{
    InstrumentModel model;
    QVERIFY(model.seedFromIni(DataFolder + u"/Seed.ini"_s));

    QCOMPARE(model.bytesAt(4096, 13), "-- empty --  "_ba);
    QCOMPARE(model.bytesAt(4096 + 6 * 13, 13), "Ethanol 96%  "_ba);
    QCOMPARE(model.bytesAt(4096 + 199 * 13, 13), "Paraffin C   "_ba);
    // A reagent without a key is 13 spaces.
    QCOMPARE(model.bytesAt(4096 + 2 * 13, 13), QByteArray(13, ' '));

    const int p3 = 8192 + 2 * 150;
    QCOMPARE(model.bytesAt(p3, 13), "Biopsy fast  "_ba);
    // Duration 70000 = 0x00011170, most significant byte first.
    QCOMPARE(model.bytesAt(p3 + 13, 4), QByteArray("\x00\x01\x11\x70", 4));
    QCOMPARE(model.byteAt(p3 + 149), quint8(0)); // LM
    // Step 1: reagent 2, agitation 5, no pause, 1 h 30 min, 37 degrees.
    QCOMPARE(model.bytesAt(p3 + 17, 5), QByteArray("\x02\x05\x01\x1e\x25", 5));
    // Step 3: reagent 7, Pause * 128 + Agit = 131, 0 h 45 min, off.
    QCOMPARE(model.byteAt(p3 + 17 + 10), quint8(7));
    QCOMPARE(model.byteAt(p3 + 18 + 10), quint8(131));
    QCOMPARE(model.byteAt(p3 + 20 + 10), quint8(45));

    const int p99 = 8192 + 98 * 150;
    QCOMPARE(model.bytesAt(p99, 13), "Fatty tissue "_ba);
    QCOMPARE(model.bytesAt(p99 + 13, 4), QByteArray("\x00\x00\x04\xd2", 4)); // 1234
    QCOMPARE(model.byteAt(p99 + 149), quint8(1)); // EM, the last byte of the 150
    QCOMPARE(model.bytesAt(p99 + 17 + 23 * 5, 5), QByteArray("\xc8\x81\x02\x0f\x3c", 5));
    // Past program 99 nothing was written.
    QCOMPARE(model.byteAt(8192 + 99 * 150), quint8(0));
}

void InstrumentModelTest::seedFromIni_lmProgramHoldsEmptyTail()
{
    InstrumentModel model;
    QVERIFY(model.seedFromIni(DataFolder + u"/Seed.ini"_s));
    // Program 3 is LM: its section has a step 13, the instrument holds the empty step.
    const int p3 = 8192 + 2 * 150;
    for (int v = 13; v <= 24; ++v)
        QCOMPARE(model.bytesAt(p3 + 17 + (v - 1) * 5, 5), QByteArray("\x01\0\0\0\0", 5));
    QCOMPARE(model.programAt(3).Vials[13], VialStep::empty());
}

void InstrumentModelTest::seedFromIni_absentProgramIsUnnamedEm()
{
    InstrumentModel model;
    QVERIFY(model.seedFromIni(DataFolder + u"/Seed.ini"_s));
    const int p1 = 8192;
    QCOMPARE(model.bytesAt(p1, 13), QByteArray(13, ' '));
    QCOMPARE(model.bytesAt(p1 + 13, 4), QByteArray(4, '\0'));
    QCOMPARE(model.byteAt(p1 + 149), quint8(1));
    for (int v = 1; v <= 24; ++v)
        QCOMPARE(model.bytesAt(p1 + 17 + (v - 1) * 5, 5), QByteArray("\x01\0\0\0\0", 5));
}

void InstrumentModelTest::seedFromIni_unreadableFile_returnsFalseAndKeepsMemory()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    InstrumentModel model;
    model.setByteAt(4096, 0x5A);
    QVERIFY(!model.seedFromIni(folder.filePath(u"Missing.ini"_s)));
    QVERIFY(!model.seedFromIni(folder.path())); // a folder is no file
    QVERIFY(!model.seedFromIni(QString()));
    QCOMPARE(model.byteAt(4096), quint8(0x5A));
}

void InstrumentModelTest::setProgram_programAt_roundTrip()
{
    ProgramRecord program;
    program.Name = "Routine 12h  ";
    program.Duration = 720;
    program.Type = 1;
    for (int v = 1; v <= 24; ++v)
        program.Vials[v] = VialStep{v + 1, v % 6, v % 2, v % 3, v * 2, v == 24 ? 60 : 0};
    InstrumentModel model;
    model.setProgram(42, program);
    QCOMPARE(model.programAt(42), program);
    // Out-of-range numbers are stored as their low byte, as byte writes leave them.
    program.Vials[1].Hrs = 300;
    program.Duration = -1;
    model.setProgram(42, program);
    QCOMPARE(model.programAt(42).Vials[1].Hrs, 300 & 0xFF);
    QCOMPARE(model.bytesAt(InstrumentModel::programAddress(42) + 13, 4), "\xff\xff\xff\xff"_ba);
}

void InstrumentModelTest::addresses_ofFirstAndLastProgramAndReagent()
{
    QCOMPARE(InstrumentModel::reagentAddress(1), 4096);
    QCOMPARE(InstrumentModel::reagentAddress(200), 4096 + 199 * 13);
    QCOMPARE(InstrumentModel::programAddress(1), 8192);
    QCOMPARE(InstrumentModel::programAddress(99), 8192 + 98 * 150);
    QVERIFY(InstrumentModel::programAddress(99) + 150 <= InstrumentModel::MemorySize);
}

void InstrumentModelTest::demoSeed_isAConsistentStoreFile()
{
    QFile file(DemoFolder + u"/Quenor.ini"_s);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.endsWith("\r\n"));
    QCOMPARE(text.count('\r'), text.count("\r\n"));
    QCOMPARE(text.count('\n'), text.count("\r\n"));

    ProgramStore store;
    LoadStore(store, DemoFolder);
    QCOMPARE(FitName(store.Reagents[1], true), "-- empty --"_ba);
    int named = 0;
    for (int p = 1; p <= ProgramCount; ++p) {
        const ProgramRecord &program = store.Programs[p];
        if (FitName(program.Name, true).isEmpty())
            continue;
        ++named;
        ProgramRecord recomputed = program;
        RecomputeDuration(recomputed);
        QCOMPARE(program.Duration, recomputed.Duration);
        for (int v = 1; v <= VialCount; ++v) {
            const VialStep &step = program.Vials[v];
            QVERIFY(step.Reagent >= 1 && step.Reagent <= ReagentCount);
            QVERIFY(!FitName(store.Reagents[step.Reagent], true).isEmpty());
            QVERIFY(step.Agit >= 0 && step.Agit <= 5);
            QVERIFY(step.Pause == 0 || step.Pause == 1);
            QVERIFY(step.Hrs >= 0 && step.Hrs <= 99);
            QVERIFY(step.Min >= 0 && step.Min <= 59);
            QVERIFY(step.Temp == 0 || (step.Temp >= 4 && step.Temp <= 60));
        }
    }
    QVERIFY(named >= 3 && named <= 5);

    InstrumentModel model;
    QVERIFY(model.seedFromIni(DemoFolder + u"/Quenor.ini"_s));
    QCOMPARE(model.programAt(1).Name, store.Programs[1].Name);
    QCOMPARE(model.reagentNameAt(2), store.Reagents[2]);
}

QTEST_GUILESS_MAIN(InstrumentModelTest)
#include "tst_instrumentmodel.moc"
