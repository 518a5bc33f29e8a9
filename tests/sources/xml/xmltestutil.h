#pragma once

#include "exception.h"
#include "xmlfile.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>

// The declaration most hand-made packets start with.
inline const QByteArray kDeclaration = "<?xml version=\"1.0\" standalone=\"yes\"?>";

// A packet loaded from bytes; the error message of a failed load in error.
struct LoadResult
{
    std::unique_ptr<TXMLFile> file = std::make_unique<TXMLFile>();
    QString error;
};

inline LoadResult loadBytes(const QByteArray &bytes, bool stopAtFields = false)
{
    LoadResult result;
    try {
        result.file->LoadFromBytes(bytes, stopAtFields);
    } catch (const Exception &e) {
        result.error = e.Message();
    }
    return result;
}

// The message of loading bytes, empty when they load.
inline QString loadError(const QByteArray &bytes)
{
    return loadBytes(bytes).error;
}

inline QString fixturePath(const char *name)
{
    return QStringLiteral(MORVEX_TEST_DATA "/xml/") + QLatin1StringView(name);
}

inline QByteArray readFixture(const char *name)
{
    QFile file(fixturePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
