#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

// Reads and writes one INI file by the rules of the Windows private-profile
// functions (section and key names without regard to ASCII case, the first of
// duplicate sections and keys wins, values trimmed and unquoted, 254 bytes at
// most, unknown lines kept as they stand). Text is Windows-1252 bytes.
//
// The file is parsed once when FileName is set; reads come from memory and
// writes change memory. Flush() writes the whole file once, atomically (a
// temporary file renamed over the old one), so the file on disk is always
// either the old or the new complete file. The destructor flushes what is
// still pending; callers that must know whether the file was written call
// Flush() themselves.
class IniFile
{
public:
    // Results of ReadString.
    enum ReadCode {
        ReadOk = 0,
        ReadNoFile = 1,    // no file name, or the file could not be read
        ReadNoSection = 2, // SectionName is empty
        ReadNoKey = 3,     // the key name is empty
        ReadMissing = 4,   // no such section or key, or a value starting with "DefaultValue"
    };
    // Results of WriteString.
    enum WriteCode {
        WriteOk = 0,
        WriteNoFile = 1,
        WriteNoSection = 2,
        WriteNoKey = 3,
    };

    IniFile() = default;
    explicit IniFile(const QString &fileName, const QByteArray &sectionName = {});
    ~IniFile();
    IniFile(const IniFile &) = delete;
    IniFile &operator=(const IniFile &) = delete;

    QString FileName() const { return m_fileName; }
    void setFileName(const QString &fileName);
    QByteArray SectionName() const { return m_sectionName; }
    void setSectionName(const QByteArray &sectionName);

    // On ReadOk, keyValue becomes the value without trailing spaces and NULs;
    // on any other code it is left unchanged.
    int ReadString(QByteArrayView keyName, QByteArray &keyValue) const;
    // Sets the key in the current section, creating section and key as needed.
    // A value is written without its leading white space, cut at a NUL byte, and
    // with line breaks turned into spaces so that it stays one line.
    int WriteString(QByteArrayView keyName, QByteArrayView keyValue);

    // Whether there is a file to read: it could be read when FileName was set,
    // or this object has written to it since.
    bool FileOk() const;

    // Writes pending changes atomically. True when nothing was pending or the
    // file was replaced; false when it could not be written, and also when the
    // file exists but could not be read (writing would lose its other content).
    bool Flush();
    bool hasPendingWrites() const { return m_dirty; }

private:
    struct Section
    {
        QByteArray header;                 // the "[name]" line as it stands
        QList<QByteArray> lines;           // the lines below the header, as they stand
        QHash<QByteArray, qsizetype> keys; // lower-case key -> first line of that key
    };

    void load();
    void indexLine(Section &section, qsizetype lineIndex);
    QByteArray serialize() const;

    QString m_fileName;
    QByteArray m_sectionName;
    qsizetype m_currentSection = -1; // index into m_sections, -1 when absent

    Section m_preamble; // lines before the first section header; never read by name
    QList<Section> m_sections;
    QHash<QByteArray, qsizetype> m_sectionIndex; // lower-case name -> first section

    bool m_readable = false;   // the file existed and was read
    bool m_unreadable = false; // the file exists but could not be read
    bool m_written = false;
    bool m_dirty = false;
};
