#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <string>
#include <vector>

// What a session trace file holds, for tests: all of it, or one string per line (which
// reads well in a failure message).
inline QByteArray traceFileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline std::vector<std::string> traceFileLines(const QString& path)
{
    std::vector<std::string> lines;
    for (const QByteArray& line : traceFileBytes(path).split('\n'))
        lines.push_back(line.toStdString());
    if (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return lines;
}
