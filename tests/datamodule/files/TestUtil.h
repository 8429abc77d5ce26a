#pragma once
// Small helpers of the file-format tests.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <string>

namespace testutil {

inline QByteArray fromHex(const char* hex)
{
    return QByteArray::fromHex(QByteArray(hex));
}

inline std::string toHex(const QByteArray& bytes)
{
    return bytes.toHex(' ').toStdString();
}

inline QByteArray readFile(const QString& name)
{
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

inline bool writeFile(const QString& name, const QByteArray& data)
{
    QFile f(name);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

} // namespace testutil
