#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

class Runtime;

// A record of every byte a simulated unit received and sent, one line per chunk:
//     <time ms> <endpoint> <in|out> <bytes>
// with the unit's monotonic time in milliseconds and control bytes written as <0D>. Each
// line is flushed at once, so the record survives the process being killed.
class TranscriptWriter {
public:
    enum class Direction { In, Out };

    explicit TranscriptWriter(Runtime& runtime) : m_rt(runtime) {}

    bool open(const QString& path);
    bool isOpen() const { return m_file.isOpen(); }
    QString errorString() const { return m_file.errorString(); }

    void record(const QString& endpoint, Direction direction, const QByteArray& bytes);
    // An event on an endpoint (connected, closed), written with "--" for its direction.
    void note(const QString& endpoint, const QString& text);

    // Printable ASCII as it is; "<" and every other byte as <HH> (two upper-case hex digits).
    static QByteArray printable(const QByteArray& bytes);

private:
    void writeLine(const QString& endpoint, const char* direction, const QByteArray& text);

    Runtime& m_rt;
    QFile m_file;
};
