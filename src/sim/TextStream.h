#pragma once

#include <QByteArray>
#include <QtGlobal>

// Endless printable text for load tests: numbered lines of a fixed length, ended by CR LF,
// so a reader can tell from the numbers whether anything was lost or doubled.
//     00000001 !"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\]^<CR><LF>
class TextStream {
public:
    static constexpr int kLineLength = 72; // with its CR LF

    // The next n bytes of the text.
    QByteArray take(qint64 n);
    qint64 bytesTaken() const { return m_taken; }
    void reset();

    // Line number `number` (from 1), with its CR LF.
    static QByteArray line(qint64 number);

private:
    qint64 m_taken = 0;
    qint64 m_lineNumber = 0;
    QByteArray m_current;
    qsizetype m_offset = 0;
};
