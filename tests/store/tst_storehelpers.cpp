#include "store/ProgramStore.h"
#include "store/Win1252.h"

#include <QTest>

#include <limits>

class TestStoreHelpers : public QObject
{
    Q_OBJECT

private slots:
    void fitName_data();
    void fitName();
    void clampText_data();
    void clampText();
    void currentProgramNumber_data();
    void currentProgramNumber();
    void typeText_data();
    void typeText();
    void padNumber_data();
    void padNumber();
    void parseWholeNumber_data();
    void parseWholeNumber();
    void recomputeDuration_countsOnlyVialsInUse();
    void recomputeDuration_hugeStoredValuesWrapInsteadOfOverflowing();
    void emptyProgram_isBlankEmWithEmptyVials();
    void win1252_everyByteSurvivesARoundTrip();
    void win1252_charactersOutsideBecomeQuestionMarks_data();
    void win1252_charactersOutsideBecomeQuestionMarks();
};

void TestStoreHelpers::fitName_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("trim");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("empty padded") << QByteArray() << false << QByteArray(13, ' ');
    QTest::newRow("long cut") << QByteArray("Ethanol 70% absolute") << false
                              << QByteArray("Ethanol 70% a");
    QTest::newRow("exact width kept")
        << QByteArray("Paraffin wax1") << false << QByteArray("Paraffin wax1");
    QTest::newRow("short padded") << QByteArray("Xylene") << false << QByteArray("Xylene       ");
    QTest::newRow("spaces only trim") << QByteArray(13, ' ') << true << QByteArray();
    QTest::newRow("inner spaces kept")
        << QByteArray("A  B c       ") << true << QByteArray("A  B c");
    QTest::newRow("leading spaces kept")
        << QByteArray("  Water      ") << true << QByteArray("  Water");
    QTest::newRow("only space is trimmed") << QByteArray("Tab\t ") << true << QByteArray("Tab\t");
    QTest::newRow("high bytes kept")
        << QByteArray("\x80\xff") << false << QByteArray("\x80\xff           ");
}

void TestStoreHelpers::fitName()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, trim);
    QFETCH(QByteArray, expected);
    QCOMPARE(FitName(text, trim), expected);
}

void TestStoreHelpers::clampText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QTest::addColumn<int>("expected");

    QTest::newRow("empty gives low") << QByteArray() << 1 << 99 << 1;
    QTest::newRow("above high") << QByteArray("150") << 1 << 99 << 99;
    QTest::newRow("digits then letters") << QByteArray("12ab") << 1 << 99 << 12;
    QTest::newRow("letters count as 0") << QByteArray("ab12") << 0 << 99 << 0;
    QTest::newRow("two and a half to even") << QByteArray("2.5") << 0 << 99 << 2;
    QTest::newRow("three and a half to even") << QByteArray("3.5") << 0 << 99 << 4;
    QTest::newRow("just above half rounds up") << QByteArray("2.5000001") << 0 << 99 << 3;
    QTest::newRow("below half rounds down") << QByteArray("2.49999") << 0 << 99 << 2;
    QTest::newRow("half to zero") << QByteArray("0.5") << 0 << 99 << 0;
    QTest::newRow("fraction only") << QByteArray(".6") << 0 << 99 << 1;
    QTest::newRow("trailing point") << QByteArray("7.") << 0 << 99 << 7;
    QTest::newRow("negative half to even") << QByteArray("-2.5") << -10 << 10 << -2;
    QTest::newRow("negative three and a half") << QByteArray("-3.5") << -10 << 10 << -4;
    QTest::newRow("negative below low") << QByteArray("-5") << 0 << 99 << 0;
    QTest::newRow("plus sign") << QByteArray("+42") << 0 << 99 << 42;
    QTest::newRow("sign alone") << QByteArray("-") << 4 << 60 << 4;
    QTest::newRow("dashes of an empty temperature") << QByteArray("--") << 4 << 60 << 4;
    QTest::newRow("leading zeros") << QByteArray("05") << 1 << 99 << 5;
    QTest::newRow("leading space is not a number") << QByteArray(" 5") << 0 << 99 << 0;
    QTest::newRow("beyond 32 bits clamps high")
        << QByteArray("99999999999999999999999") << 1 << 99 << 99;
    QTest::newRow("beyond 32 bits negative clamps low")
        << QByteArray("-99999999999999999999999") << 1 << 99 << 1;
    QTest::newRow("beyond 32 bits within full range")
        << QByteArray("4294967296") << std::numeric_limits<int>::min()
        << std::numeric_limits<int>::max() << std::numeric_limits<int>::max();
    QTest::newRow("32-bit minimum") << QByteArray("-2147483648") << std::numeric_limits<int>::min()
                                    << 0 << std::numeric_limits<int>::min();
}

void TestStoreHelpers::clampText()
{
    QFETCH(QByteArray, text);
    QFETCH(int, low);
    QFETCH(int, high);
    QFETCH(int, expected);
    QCOMPARE(ClampText(text, low, high), expected);
}

void TestStoreHelpers::currentProgramNumber_data()
{
    QTest::addColumn<QByteArray>("box");
    QTest::addColumn<int>("expected");
    QTest::newRow("empty") << QByteArray() << 1;
    QTest::newRow("zero") << QByteArray("0") << 1;
    QTest::newRow("99") << QByteArray("99") << 99;
    QTest::newRow("pasted words") << QByteArray("abc") << 1;
}

void TestStoreHelpers::currentProgramNumber()
{
    QFETCH(QByteArray, box);
    QFETCH(int, expected);
    QCOMPARE(CurrentProgramNumber(box), expected);
}

void TestStoreHelpers::typeText_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("0 is LM") << 0 << QByteArray("LM");
    QTest::newRow("1 is EM") << 1 << QByteArray("EM");
    QTest::newRow("other is EM") << 7 << QByteArray("EM");
    QTest::newRow("negative is EM") << -1 << QByteArray("EM");
}

void TestStoreHelpers::typeText()
{
    QFETCH(int, code);
    QFETCH(QByteArray, expected);
    QCOMPARE(TypeText(code), expected);
}

void TestStoreHelpers::padNumber_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<int>("width");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("5 in two digits") << qint64(5) << 2 << QByteArray("05");
    QTest::newRow("123 stays") << qint64(123) << 2 << QByteArray("123");
    QTest::newRow("7 in three digits") << qint64(7) << 3 << QByteArray("007");
    QTest::newRow("negative") << qint64(-5) << 2 << QByteArray("-05");
    QTest::newRow("zero") << qint64(0) << 2 << QByteArray("00");
}

void TestStoreHelpers::padNumber()
{
    QFETCH(qint64, value);
    QFETCH(int, width);
    QFETCH(QByteArray, expected);
    QCOMPARE(PadNumber(value, width), expected);
}

void TestStoreHelpers::parseWholeNumber_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << QByteArray("95") << true << 95;
    QTest::newRow("negative") << QByteArray("-1") << true << -1;
    QTest::newRow("plus") << QByteArray("+5") << true << 5;
    QTest::newRow("largest") << QByteArray("2147483647") << true << 2147483647;
    QTest::newRow("smallest") << QByteArray("-2147483648") << true << int(-2147483647 - 1);
    QTest::newRow("beyond 32 bits") << QByteArray("2147483648") << false << 0;
    QTest::newRow("far beyond") << QByteArray("99999999999999999999") << false << 0;
    QTest::newRow("empty") << QByteArray() << false << 0;
    QTest::newRow("sign only") << QByteArray("-") << false << 0;
    QTest::newRow("letters") << QByteArray("abc") << false << 0;
    QTest::newRow("digits then letters") << QByteArray("12abc") << false << 0;
    QTest::newRow("fraction") << QByteArray("1.5") << false << 0;
    QTest::newRow("inner space") << QByteArray("1 2") << false << 0;
}

void TestStoreHelpers::parseWholeNumber()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    qint32 parsed = 0;
    QCOMPARE(ParseWholeNumber(text, parsed), ok);
    QCOMPARE(parsed, value); // a failed parse leaves the field alone
}

void TestStoreHelpers::recomputeDuration_countsOnlyVialsInUse()
{
    ProgramRecord program = ProgramRecord::empty();
    program.Vials[1].Hrs = 1;
    program.Vials[1].Min = 30;
    program.Vials[12].Min = 5;
    program.Vials[13].Hrs = 5;
    program.Vials[24].Min = 1;

    program.Type = 0;
    RecomputeDuration(program);
    QCOMPARE(program.Duration, 95);

    program.Type = 1;
    RecomputeDuration(program);
    QCOMPARE(program.Duration, 95 + 300 + 1);

    for (VialStep &step : program.Vials) {
        step.Hrs = 99;
        step.Min = 59;
    }
    RecomputeDuration(program);
    QCOMPARE(program.Duration, 24 * (99 * 60 + 59));
}

void TestStoreHelpers::recomputeDuration_hugeStoredValuesWrapInsteadOfOverflowing()
{
    ProgramRecord program = ProgramRecord::empty();
    program.Vials[1].Hrs = std::numeric_limits<qint32>::max();
    program.Vials[2].Min = std::numeric_limits<qint32>::min();
    RecomputeDuration(program); // must not be undefined behaviour (UBSan runs this)
    const quint32 expected = quint32(std::numeric_limits<qint32>::max()) * 60u +
                             quint32(std::numeric_limits<qint32>::min());
    QCOMPARE(program.Duration, qint32(expected));
}

void TestStoreHelpers::emptyProgram_isBlankEmWithEmptyVials()
{
    const ProgramRecord program = ProgramRecord::empty();
    QCOMPARE(program.Name, QByteArray(13, ' '));
    QCOMPARE(program.Duration, 0);
    QCOMPARE(program.Type, 1);
    for (const VialStep &step : program.Vials)
        QCOMPARE(step, (VialStep{1, 0, 0, 0, 0, 0}));
}

void TestStoreHelpers::win1252_everyByteSurvivesARoundTrip()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = FromWin1252(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(text.at(0x80), QChar(0x20AC));
    QCOMPARE(text.at(0x9F), QChar(0x0178));
    QCOMPARE(text.at(0xB0), QChar(0x00B0));
    QCOMPARE(ToWin1252(text), all);
}

void TestStoreHelpers::win1252_charactersOutsideBecomeQuestionMarks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("euro") << QStringLiteral("5\u20AC") << QByteArray("5\x80");
    QTest::newRow("degree") << QStringLiteral("37\u00B0C")
                            << QByteArray("37\xB0"
                                          "C");
    QTest::newRow("cyrillic") << QStringLiteral("a\u0416b") << QByteArray("a?b");
    QTest::newRow("emoji is one character")
        << QString::fromUtf8("x\xF0\x9F\x98\x80y") << QByteArray("x?y");
}

void TestStoreHelpers::win1252_charactersOutsideBecomeQuestionMarks()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(ToWin1252(text), expected);
}

QTEST_GUILESS_MAIN(TestStoreHelpers)
#include "tst_storehelpers.moc"
