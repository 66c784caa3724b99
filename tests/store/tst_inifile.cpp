#include "store/IniFile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

class TestIniFile : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void readString_followsTheReadingRules_data();
    void readString_followsTheReadingRules();
    void readString_errorCodes_data();
    void readString_errorCodes();
    void readString_failureLeavesValueUnchanged();

    void writeString_newFile_hasNoBlankLinesAndCrLf();
    void writeString_existingKey_replacedInPlaceKeepingItsSpelling();
    void writeString_newKey_goesAfterLastNonBlankLineOfSection();
    void writeString_newSection_goesAtEndAndOtherLinesStay();
    void writeString_duplicateSections_writesIntoFirst();
    void writeString_sameValue_leavesFileUntouched();
    void writeString_valueWhiteSpace_leadingDroppedTrailingKept();
    void writeString_emptyValue_writesKeyWithEmptyValue();
    void writeString_lineBreaksAndNul_cannotBreakTheFile();
    void writeString_errorCodes();

    void flush_replacesWholeFileAndLeavesNoTemporaries();
    void flush_missingFolder_reportsFailure();
    void flush_existingButUnreadable_isNeverOverwritten();
    void destructor_flushesPendingWrites();
    void fileOk_data();
    void fileOk();

    void damagedFile_binaryGarbage_loadsWithoutCrash();
    void largeFile_parsesOnceAndFindsLastKey();

private:
    QString writeFixture(const QByteArray &content, const QString &name = QStringLiteral("t.ini"));
    QByteArray contents(const QString &path);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestIniFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QString TestIniFile::writeFixture(const QByteArray &content, const QString &name)
{
    const QString path = m_dir->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write fixture");
    return path;
}

QByteArray TestIniFile::contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void TestIniFile::readString_followsTheReadingRules_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("value");

    const QByteArray basic = "[Program01]\r\nName=Routine 12h  \r\nDuration=95\r\n";
    QTest::newRow("plain value") << basic << QByteArray("Program01") << QByteArray("Duration") << 0
                                 << QByteArray("95");
    QTest::newRow("trailing spaces removed")
        << basic << QByteArray("Program01") << QByteArray("Name") << 0 << QByteArray("Routine 12h");
    QTest::newRow("names without regard to case")
        << basic << QByteArray("pROGRAM01") << QByteArray("dURATION") << 0 << QByteArray("95");
    QTest::newRow("missing key") << basic << QByteArray("Program01") << QByteArray("Type") << 4
                                 << QByteArray("<old>");
    QTest::newRow("missing section")
        << basic << QByteArray("Program02") << QByteArray("Name") << 4 << QByteArray("<old>");
    QTest::newRow("white space around key and value")
        << QByteArray("[s]\r\n \t key \t=\t value \x1a\r\n") << QByteArray("s") << QByteArray("key")
        << 0 << QByteArray("value");
    QTest::newRow("header with spaces")
        << QByteArray("[ a ]\nk=1\n") << QByteArray("a") << QByteArray("k") << 0 << QByteArray("1");
    QTest::newRow("header up to last bracket") << QByteArray("[a]b]\nk=2\n") << QByteArray("a]b")
                                               << QByteArray("k") << 0 << QByteArray("2");
    QTest::newRow("text after header ignored") << QByteArray("[a] ; note\nk=3\n") << QByteArray("a")
                                               << QByteArray("k") << 0 << QByteArray("3");
    QTest::newRow("bracket without close is an ordinary line")
        << QByteArray("[a]\n[b\nk=4\n") << QByteArray("a") << QByteArray("k") << 0
        << QByteArray("4");
    QTest::newRow("split at first equals") << QByteArray("[a]\neq=a=b\n") << QByteArray("a")
                                           << QByteArray("eq") << 0 << QByteArray("a=b");
    QTest::newRow("line without equals has no value")
        << QByteArray("[a]\nlonely\n") << QByteArray("a") << QByteArray("lonely") << 4
        << QByteArray("<old>");
    QTest::newRow("no inline comments") << QByteArray("[a]\nk=v ; x\n") << QByteArray("a")
                                        << QByteArray("k") << 0 << QByteArray("v ; x");
    QTest::newRow("double quotes stripped, inner spaces kept")
        << QByteArray("[a]\nk=\"  x y\"\n") << QByteArray("a") << QByteArray("k") << 0
        << QByteArray("  x y");
    QTest::newRow("single quotes stripped") << QByteArray("[a]\nk='LM'\n") << QByteArray("a")
                                            << QByteArray("k") << 0 << QByteArray("LM");
    QTest::newRow("mismatched quotes kept") << QByteArray("[a]\nk=\"abc'\n") << QByteArray("a")
                                            << QByteArray("k") << 0 << QByteArray("\"abc'");
    QTest::newRow("lone quote kept")
        << QByteArray("[a]\nk=\"\n") << QByteArray("a") << QByteArray("k") << 0 << QByteArray("\"");
    QTest::newRow("key before any section is never found")
        << QByteArray("k=0\n[a]\nj=1\n") << QByteArray("a") << QByteArray("k") << 4
        << QByteArray("<old>");
    QTest::newRow("first duplicate section wins")
        << QByteArray("[a]\nk=first\n[b]\n[A]\nk=second\nonly=x\n") << QByteArray("a")
        << QByteArray("k") << 0 << QByteArray("first");
    QTest::newRow("later duplicate section is never read")
        << QByteArray("[a]\nk=first\n[A]\nonly=x\n") << QByteArray("a") << QByteArray("only") << 4
        << QByteArray("<old>");
    QTest::newRow("first duplicate key wins") << QByteArray("[a]\nk=1\nK=2\n") << QByteArray("a")
                                              << QByteArray("k") << 0 << QByteArray("1");
    QTest::newRow("CR line ends") << QByteArray("[a]\rk=cr\r[b]\rk=x") << QByteArray("a")
                                  << QByteArray("k") << 0 << QByteArray("cr");
    QTest::newRow("LF line ends, no final end")
        << QByteArray("[a]\nk=lf") << QByteArray("a") << QByteArray("k") << 0 << QByteArray("lf");
    QTest::newRow("mixed line ends")
        << QByteArray("[a]\r\nx=1\ry=2\nk=mixed\r\n") << QByteArray("a") << QByteArray("k") << 0
        << QByteArray("mixed");
    QTest::newRow("NUL ends the value") << QByteArray("[a]\nk=ab\0cd\n", 13) << QByteArray("a")
                                        << QByteArray("k") << 0 << QByteArray("ab");
    QTest::newRow("high and control bytes returned")
        << QByteArray("[a]\nk=\x80\xe9\x01z\n") << QByteArray("a") << QByteArray("k") << 0
        << QByteArray("\x80\xe9\x01z");
    QTest::newRow("254 bytes at most")
        << QByteArray("[a]\nk=" + QByteArray(300, 'v') + "\n") << QByteArray("a") << QByteArray("k")
        << 0 << QByteArray(254, 'v');
    QTest::newRow("empty value is a value")
        << QByteArray("[a]\nk =   \n") << QByteArray("a") << QByteArray("k") << 0 << QByteArray();
    QTest::newRow("value starting with DefaultValue reads as missing")
        << QByteArray("[a]\nk=DefaultValue and more\n") << QByteArray("a") << QByteArray("k") << 4
        << QByteArray("<old>");
    QTest::newRow("DefaultValue is case-sensitive")
        << QByteArray("[a]\nk=defaultvalue\n") << QByteArray("a") << QByteArray("k") << 0
        << QByteArray("defaultvalue");
}

void TestIniFile::readString_followsTheReadingRules()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(int, code);
    QFETCH(QByteArray, value);

    IniFile ini(writeFixture(file), section);
    QByteArray read = "<old>";
    QCOMPARE(ini.ReadString(key, read), code);
    QCOMPARE(read, value);
}

void TestIniFile::readString_errorCodes_data()
{
    QTest::addColumn<bool>("fileExists");
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<int>("code");

    QTest::newRow("missing file") << false << QByteArray("a") << QByteArray("k") << 1;
    QTest::newRow("missing file, no section") << false << QByteArray() << QByteArray("k") << 1;
    QTest::newRow("missing file, no key") << false << QByteArray("a") << QByteArray() << 1;
    QTest::newRow("no section") << true << QByteArray() << QByteArray("k") << 2;
    QTest::newRow("no section, no key") << true << QByteArray() << QByteArray() << 2;
    QTest::newRow("no key") << true << QByteArray("a") << QByteArray() << 3;
}

void TestIniFile::readString_errorCodes()
{
    QFETCH(bool, fileExists);
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(int, code);

    const QString path =
        fileExists ? writeFixture("[a]\r\nk=1\r\n") : m_dir->filePath(QStringLiteral("none.ini"));
    IniFile ini(path, section);
    QByteArray value;
    QCOMPARE(ini.ReadString(key, value), code);

    IniFile unnamed;
    unnamed.setSectionName("a");
    QCOMPARE(unnamed.ReadString("k", value), int(IniFile::ReadNoFile));
}

void TestIniFile::readString_failureLeavesValueUnchanged()
{
    IniFile ini(writeFixture("[a]\r\nk=1\r\n"), "a");
    QByteArray value = "kept";
    QCOMPARE(ini.ReadString("other", value), int(IniFile::ReadMissing));
    QCOMPARE(value, QByteArray("kept"));
}

void TestIniFile::writeString_newFile_hasNoBlankLinesAndCrLf()
{
    const QString path = m_dir->filePath(QStringLiteral("new.ini"));
    {
        IniFile ini(path, "A");
        QCOMPARE(ini.WriteString("k1", "v1"), 0);
        QCOMPARE(ini.WriteString("k2", "v2"), 0);
        ini.setSectionName("B");
        QCOMPARE(ini.WriteString("k", "v"), 0);
        QVERIFY(ini.Flush());
    }
    QCOMPARE(contents(path), QByteArray("[A]\r\nk1=v1\r\nk2=v2\r\n[B]\r\nk=v\r\n"));
}

void TestIniFile::writeString_existingKey_replacedInPlaceKeepingItsSpelling()
{
    const QString path = writeFixture("[S]\nName = old \nother=1\n");
    IniFile ini(path, "s");
    QCOMPARE(ini.WriteString("NAME", "new"), 0);
    QVERIFY(ini.Flush());
    QCOMPARE(contents(path), QByteArray("[S]\r\nName=new\r\nother=1\r\n"));
}

void TestIniFile::writeString_newKey_goesAfterLastNonBlankLineOfSection()
{
    const QString path = writeFixture("[a]\r\nx=1\r\n; note\r\n\r\n\r\n[b]\r\ny=2\r\n");
    IniFile ini(path, "a");
    ini.WriteString("z", "3");
    ini.WriteString("w", "4");
    QVERIFY(ini.Flush());
    QCOMPARE(contents(path),
             QByteArray("[a]\r\nx=1\r\n; note\r\nz=3\r\nw=4\r\n\r\n\r\n[b]\r\ny=2\r\n"));

    QByteArray value;
    QCOMPARE(ini.ReadString("w", value), 0); // the index follows the inserted lines
    QCOMPARE(value, QByteArray("4"));
}

void TestIniFile::writeString_newSection_goesAtEndAndOtherLinesStay()
{
    const QString path = writeFixture("; made by hand\n\n[Keep]\nUnknown = kept as is  \n");
    IniFile ini(path, "Program05");
    ini.WriteString("Name", "Fixation     ");
    QVERIFY(ini.Flush());
    QCOMPARE(contents(path), QByteArray("; made by hand\r\n\r\n[Keep]\r\nUnknown = kept as is  \r\n"
                                        "[Program05]\r\nName=Fixation     \r\n"));
}

void TestIniFile::writeString_duplicateSections_writesIntoFirst()
{
    const QString path = writeFixture("[a]\nk=1\n[A]\nk=2\n");
    IniFile ini(path, "A");
    ini.WriteString("k", "9");
    ini.WriteString("n", "new");
    QVERIFY(ini.Flush());
    QCOMPARE(contents(path), QByteArray("[a]\r\nk=9\r\nn=new\r\n[A]\r\nk=2\r\n"));
}

void TestIniFile::writeString_sameValue_leavesFileUntouched()
{
    const QByteArray original = "[a]\nk=1\nname=Water   \n"; // LF only: a rewrite would show
    const QString path = writeFixture(original);
    IniFile ini(path, "a");
    ini.WriteString("K", "1");
    ini.WriteString("name", "Water   ");
    QVERIFY(!ini.hasPendingWrites());
    QVERIFY(ini.Flush());
    QCOMPARE(contents(path), original);
}

void TestIniFile::writeString_valueWhiteSpace_leadingDroppedTrailingKept()
{
    const QString path = m_dir->filePath(QStringLiteral("ws.ini"));
    IniFile ini(path, "a");
    ini.WriteString("k", "  \tabc  ");
    QVERIFY(ini.Flush());
    QCOMPARE(contents(path), QByteArray("[a]\r\nk=abc  \r\n"));

    IniFile reread(path, "a");
    QByteArray value;
    QCOMPARE(reread.ReadString("k", value), 0);
    QCOMPARE(value, QByteArray("abc"));
}

void TestIniFile::writeString_emptyValue_writesKeyWithEmptyValue()
{
    const QString path = m_dir->filePath(QStringLiteral("empty.ini"));
    IniFile ini(path, "a");
    QCOMPARE(ini.WriteString("k", ""), 0);
    QVERIFY(ini.Flush());
    QCOMPARE(contents(path), QByteArray("[a]\r\nk=\r\n"));
}

void TestIniFile::writeString_lineBreaksAndNul_cannotBreakTheFile()
{
    // A name read from the instrument may hold any byte; it must stay one line.
    const QString path = m_dir->filePath(QStringLiteral("breaks.ini"));
    IniFile ini(path, "a");
    ini.WriteString("Name", QByteArray("ab\r\n[x]\rc"));
    ini.WriteString("Zero", QByteArray("ok\0rest", 7));
    QVERIFY(ini.Flush());
    QCOMPARE(contents(path), QByteArray("[a]\r\nName=ab  [x] c\r\nZero=ok\r\n"));
}

void TestIniFile::writeString_errorCodes()
{
    IniFile noFile;
    noFile.setSectionName("a");
    QCOMPARE(noFile.WriteString("k", "v"), int(IniFile::WriteNoFile));

    IniFile ini(m_dir->filePath(QStringLiteral("codes.ini")));
    QCOMPARE(ini.WriteString("k", "v"), int(IniFile::WriteNoSection));
    ini.setSectionName("a");
    QCOMPARE(ini.WriteString("", "v"), int(IniFile::WriteNoKey));
    QVERIFY(!ini.hasPendingWrites());
}

void TestIniFile::flush_replacesWholeFileAndLeavesNoTemporaries()
{
    const QString path = writeFixture("[a]\r\nk=1\r\n", QStringLiteral("Quenor.ini"));
    IniFile ini(path, "a");
    ini.WriteString("k", "2");
    QVERIFY(ini.Flush());
    QVERIFY(!ini.hasPendingWrites());
    QCOMPARE(contents(path), QByteArray("[a]\r\nk=2\r\n"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("Quenor.ini")});
}

void TestIniFile::flush_missingFolder_reportsFailure()
{
    IniFile ini(m_dir->filePath(QStringLiteral("no/such/folder/Quenor.ini")), "a");
    QCOMPARE(ini.WriteString("k", "v"), 0); // the code says nothing about the disk...
    QVERIFY(!ini.Flush());                  // ...the flush does
    QVERIFY(ini.hasPendingWrites());
}

void TestIniFile::flush_existingButUnreadable_isNeverOverwritten()
{
    // A path that exists but cannot be read as a file (here a folder, which
    // even root cannot open as one) must not be replaced by the few keys written.
    const QString path = m_dir->filePath(QStringLiteral("Quenor.ini"));
    QVERIFY(QDir().mkdir(path));
    IniFile ini(path, "a");
    QVERIFY(!ini.FileOk());
    ini.WriteString("k", "v");
    QVERIFY(!ini.Flush());
    QVERIFY(QFileInfo(path).isDir());
}

void TestIniFile::destructor_flushesPendingWrites()
{
    const QString path = m_dir->filePath(QStringLiteral("late.ini"));
    {
        IniFile ini(path, "a");
        ini.WriteString("k", "v");
        QVERIFY(!QFile::exists(path)); // nothing reaches the disk before the flush
    }
    QCOMPARE(contents(path), QByteArray("[a]\r\nk=v\r\n"));
}

void TestIniFile::fileOk_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("no name") << QStringLiteral("no name");
    QTest::newRow("missing") << QStringLiteral("missing");
    QTest::newRow("present") << QStringLiteral("present");
    QTest::newRow("written") << QStringLiteral("written");
}

void TestIniFile::fileOk()
{
    QFETCH(QString, kind);
    IniFile ini;
    bool expected = false;
    if (kind == QLatin1StringView("missing")) {
        ini.setFileName(m_dir->filePath(QStringLiteral("missing.ini")));
    } else if (kind == QLatin1StringView("present")) {
        ini.setFileName(writeFixture("[a]\n"));
        expected = true;
    } else if (kind == QLatin1StringView("written")) {
        ini.setFileName(m_dir->filePath(QStringLiteral("written.ini")));
        ini.setSectionName("a");
        ini.WriteString("k", "v");
        expected = true; // reads see what this object wrote
    }
    QCOMPARE(ini.FileOk(), expected);
}

void TestIniFile::damagedFile_binaryGarbage_loadsWithoutCrash()
{
    QByteArray garbage(64 * 1024, Qt::Uninitialized);
    QRandomGenerator random(1234);
    for (char &c : garbage)
        c = char(random.bounded(256));
    const QByteArray file = garbage + "\r\n[Reagents]\r\nR001=Water\r\n" + garbage + "\n=\n[\n]\n";

    IniFile ini(writeFixture(file), "Reagents");
    QByteArray value;
    QCOMPARE(ini.ReadString("R001", value), 0);
    QCOMPARE(value, QByteArray("Water"));
    QCOMPARE(ini.WriteString("R002", "Xylene"), 0);
    QVERIFY(ini.Flush());

    IniFile reread(ini.FileName(), "Reagents");
    QCOMPARE(reread.ReadString("R002", value), 0);
    QCOMPARE(value, QByteArray("Xylene"));
}

void TestIniFile::largeFile_parsesOnceAndFindsLastKey()
{
    QByteArray file;
    for (int s = 0; s < 3000; ++s) {
        file += "[Section" + QByteArray::number(s) + "]\r\n";
        for (int k = 0; k < 100; ++k)
            file += "Key" + QByteArray::number(k) + '=' + QByteArray::number(s * k) + "\r\n";
    }
    QVERIFY(file.size() > 3 * 1024 * 1024);
    IniFile ini(writeFixture(file), "section2999");
    QByteArray value;
    QCOMPARE(ini.ReadString("key99", value), 0);
    QCOMPARE(value, QByteArray::number(2999 * 99));
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
