#include "CommandVocabulary.h"

namespace vocab {

QByteArray wireForm(QByteArrayView command)
{
    QByteArray out = command.toByteArray();
    if (command.size() > 1)
        out += kCrLf;
    return out;
}

QByteArray pcuQuery(char letter)
{
    return kPcuPrefix.toByteArray() + letter;
}

QByteArray parameterRead(quint8 letter)
{
    return QByteArray(1, kParameter) + char(letter) + kReadValue.toByteArray();
}

QByteArray parameterWrite(quint8 letter, int value)
{
    return QByteArray(1, kParameter) + char(letter) +
           QByteArray::number(qBound(0, value, 999)).rightJustified(3, '0');
}

bool expectsNoReply(QByteArrayView sent)
{
    if (sent.endsWith(kCrLf))
        sent.chop(kCrLf.size());
    if (sent.size() == 1 && (sent[0] == kTrackingOn || sent[0] == kTrackingOff))
        return true;
    return sent.startsWith(kNoReplyPrefix);
}

bool isSingleCommand(char c)
{
    switch (c) {
    case kStatus:
    case kPosition:
    case kHeading:
    case kGps:
    case kAuxiliary:
    case kReceiver:
    case kLevel:
    case kVersion:
    case kTrackingOn:
    case kTrackingOff:
        return true;
    default:
        return false;
    }
}

int locateKey(QByteArrayView line, const KeyWindow& window)
{
    const qsizetype at = line.indexOf(window.key);
    if (at < 0)
        return 0;
    const int k = int(at) + 1;
    if (k < window.first || (window.last > 0 && k > window.last))
        return 0;
    return k;
}

QByteArrayView fieldAt(QByteArrayView line, int k, const Field& field)
{
    qint64 start = qint64(k) + field.offset - 1; // 0-based
    qint64 end = start + field.width;
    start = qMax<qint64>(start, 0);
    end = qMin<qint64>(end, line.size());
    if (k <= 0 || start >= end)
        return {};
    return line.sliced(start, end - start);
}

int charAt(QByteArrayView line, int pos)
{
    if (pos < 1 || pos > line.size())
        return -1;
    return quint8(line[pos - 1]);
}

} // namespace vocab
