#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class TStringList;

// An INI file held in memory. Sections and keys keep the order of the file,
// names are compared case-insensitively, names and values are trimmed on
// read. Writes stay in memory until UpdateFile() or destruction.
class TIniFile
{
public:
    // Loads the file when it exists; a missing file is an empty INI file.
    explicit TIniFile(const QString &fileName);
    // Flushes pending writes; an error is logged, never thrown.
    ~TIniFile();

    TIniFile(const TIniFile &) = delete;
    TIniFile &operator=(const TIniFile &) = delete;

    // An INI file parsed from bytes, without a file behind it: nothing is
    // written on destruction.
    static TIniFile FromBytes(const QByteArray &content);
    // Replaces everything held with the parsed content.
    void LoadFromBytes(const QByteArray &content);
    // The whole content as UpdateFile() writes it.
    QByteArray ToBytes() const;

    const QString &FileName() const { return m_fileName; }

    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    int ReadInteger(const QString &section, const QString &key, int defaultValue) const;
    bool ReadBool(const QString &section, const QString &key, bool defaultValue) const;
    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);
    void WriteBool(const QString &section, const QString &key, bool value);

    void ReadSection(const QString &section, TStringList &keys) const;
    void ReadSections(TStringList &sections) const;
    void ReadSectionValues(const QString &section, TStringList &values) const;
    void EraseSection(const QString &section);
    void DeleteKey(const QString &section, const QString &key);
    bool SectionExists(const QString &section) const;
    bool ValueExists(const QString &section, const QString &key) const;

    // Writes the whole file atomically: a failed write leaves the previous
    // file as it was. Raises Exception naming the file on failure.
    void UpdateFile();

    TIniFile(TIniFile &&other) noexcept;

private:
    struct Entry
    {
        QString key;
        QString value;
    };
    struct Section
    {
        QString name;
        QList<Entry> entries;
    };

    TIniFile() = default;
    const Section *findSection(const QString &name) const;
    Section *findSection(const QString &name);
    const Entry *findEntry(const QString &section, const QString &key) const;

    QString m_fileName;
    QList<Section> m_sections;
    bool m_dirty = false;
};
