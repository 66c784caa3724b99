#include "IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

constexpr qsizetype ValueBufferSize = 255; // the readers' buffer: 254 bytes and a NUL
const QByteArray DefaultValue = QByteArrayLiteral("DefaultValue");

// White space of the INI format: 0x09 to 0x0D, the space and 0x1A.
bool IsIniSpace(char c)
{
    return (c >= 0x09 && c <= 0x0D) || c == ' ' || c == 0x1A;
}

QByteArrayView TrimLeft(QByteArrayView text)
{
    qsizetype begin = 0;
    while (begin < text.size() && IsIniSpace(text[begin]))
        ++begin;
    return text.sliced(begin);
}

QByteArrayView Trim(QByteArrayView text)
{
    text = TrimLeft(text);
    qsizetype end = text.size();
    while (end > 0 && IsIniSpace(text[end - 1]))
        --end;
    return text.first(end);
}

QByteArray LowerAscii(QByteArrayView text)
{
    QByteArray lower = text.toByteArray();
    for (char &c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return lower;
}

// The section name of a header line, or a null view when the line is no header.
QByteArrayView HeaderName(QByteArrayView trimmedLine)
{
    if (!trimmedLine.startsWith('['))
        return {};
    const qsizetype close = trimmedLine.lastIndexOf(']');
    if (close < 0)
        return {};
    const QByteArrayView name = Trim(trimmedLine.sliced(1, close - 1));
    return name.isNull() ? QByteArrayView("", 0) : name;
}

// Key of a non-blank line: the part before the first "=", or the whole line.
QByteArrayView KeyOf(QByteArrayView trimmedLine)
{
    const qsizetype eq = trimmedLine.indexOf('=');
    return Trim(eq < 0 ? trimmedLine : trimmedLine.first(eq));
}

} // namespace

IniFile::IniFile(const QString &fileName, const QByteArray &sectionName)
{
    setFileName(fileName);
    setSectionName(sectionName);
}

IniFile::~IniFile()
{
    if (m_dirty)
        Flush();
}

void IniFile::setFileName(const QString &fileName)
{
    if (m_dirty)
        Flush();
    m_fileName = fileName;
    load();
    setSectionName(m_sectionName);
}

void IniFile::setSectionName(const QByteArray &sectionName)
{
    m_sectionName = sectionName;
    m_currentSection = m_sectionIndex.value(LowerAscii(sectionName), -1);
}

void IniFile::load()
{
    m_preamble = {};
    m_sections.clear();
    m_sectionIndex.clear();
    m_readable = m_unreadable = m_written = m_dirty = false;
    if (m_fileName.isEmpty())
        return;

    QFile file(m_fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        m_unreadable = file.exists();
        return;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_unreadable = true;
        return;
    }
    m_readable = true;

    Section *current = &m_preamble;
    qsizetype pos = 0;
    while (pos < data.size()) {
        qsizetype end = pos;
        while (end < data.size() && data[end] != '\r' && data[end] != '\n')
            ++end;
        const QByteArray line = data.sliced(pos, end - pos);
        if (end < data.size() && data[end] == '\r' && end + 1 < data.size() &&
            data[end + 1] == '\n')
            ++end;
        pos = end + 1;

        const QByteArrayView name = HeaderName(Trim(line));
        if (!name.isNull()) {
            m_sections.append(Section{line, {}, {}});
            const QByteArray lower = LowerAscii(name);
            if (!m_sectionIndex.contains(lower)) // the first one of a name wins
                m_sectionIndex.insert(lower, m_sections.size() - 1);
            current = &m_sections.last();
            continue;
        }
        current->lines.append(line);
        indexLine(*current, current->lines.size() - 1);
    }
}

void IniFile::indexLine(Section &section, qsizetype lineIndex)
{
    const QByteArrayView trimmed = Trim(section.lines[lineIndex]);
    if (trimmed.isEmpty())
        return;
    const QByteArray lower = LowerAscii(KeyOf(trimmed));
    if (!section.keys.contains(lower)) // the first one of a name wins
        section.keys.insert(lower, lineIndex);
}

bool IniFile::FileOk() const
{
    return !m_fileName.isEmpty() && (m_readable || m_written);
}

int IniFile::ReadString(QByteArrayView keyName, QByteArray &keyValue) const
{
    if (!FileOk())
        return ReadNoFile;
    if (m_sectionName.isEmpty())
        return ReadNoSection;
    if (keyName.isEmpty())
        return ReadNoKey;
    if (m_currentSection < 0)
        return ReadMissing;

    const Section &section = m_sections[m_currentSection];
    const qsizetype lineIndex = section.keys.value(LowerAscii(keyName), -1);
    if (lineIndex < 0)
        return ReadMissing;
    const QByteArrayView line = Trim(section.lines[lineIndex]);
    const qsizetype eq = line.indexOf('=');
    if (eq < 0)
        return ReadMissing; // a line without "=" has no value

    QByteArrayView value = Trim(line.sliced(eq + 1));
    const qsizetype nul = value.indexOf('\0');
    if (nul >= 0)
        value = value.first(nul);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.sliced(1, value.size() - 2);
    value = value.first(qMin(value.size(), ValueBufferSize - 1));
    if (value.startsWith(DefaultValue))
        return ReadMissing;

    qsizetype end = value.size();
    while (end > 0 && (value[end - 1] == ' ' || value[end - 1] == '\0'))
        --end;
    keyValue = value.first(end).toByteArray();
    return ReadOk;
}

int IniFile::WriteString(QByteArrayView keyName, QByteArrayView keyValue)
{
    if (m_fileName.isEmpty())
        return WriteNoFile;
    if (m_sectionName.isEmpty())
        return WriteNoSection;
    if (keyName.isEmpty())
        return WriteNoKey;

    const qsizetype nul = keyValue.indexOf('\0');
    QByteArray value = TrimLeft(nul < 0 ? keyValue : keyValue.first(nul)).toByteArray();
    value.replace('\r', ' ').replace('\n', ' ');

    if (m_currentSection < 0) {
        m_sections.append(Section{'[' + m_sectionName + ']', {}, {}});
        m_currentSection = m_sections.size() - 1;
        m_sectionIndex.insert(LowerAscii(m_sectionName), m_currentSection);
    }
    Section &section = m_sections[m_currentSection];
    const qsizetype existing = section.keys.value(LowerAscii(keyName), -1);
    if (existing >= 0) {
        QByteArray &line = section.lines[existing];
        const QByteArrayView trimmed = Trim(line);
        const qsizetype eq = trimmed.indexOf('=');
        if (eq >= 0 && TrimLeft(QByteArrayView(line).sliced(line.indexOf('=') + 1)) == value)
            return WriteOk; // the same value: the file stays untouched
        line = KeyOf(trimmed).toByteArray() + '=' + value; // keeps the key's spelling
    } else {
        // A new key goes after the last non-blank line of its section.
        qsizetype at = section.lines.size();
        while (at > 0 && Trim(section.lines[at - 1]).isEmpty())
            --at;
        section.lines.insert(at, keyName.toByteArray() + '=' + value);
        section.keys.insert(LowerAscii(keyName), at); // only blank lines moved down
    }
    m_written = m_dirty = true;
    return WriteOk;
}

QByteArray IniFile::serialize() const
{
    QByteArray data;
    const auto appendLine = [&data](const QByteArray &line) {
        data.append(line);
        data.append("\r\n");
    };
    for (const QByteArray &line : m_preamble.lines)
        appendLine(line);
    for (const Section &section : m_sections) {
        appendLine(section.header);
        for (const QByteArray &line : section.lines)
            appendLine(line);
    }
    return data;
}

bool IniFile::Flush()
{
    if (!m_dirty)
        return true;
    if (m_unreadable)
        return false;
    QSaveFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray data = serialize();
    if (file.write(data) != data.size() || !file.commit())
        return false;
    m_dirty = false;
    m_readable = true;
    return true;
}
