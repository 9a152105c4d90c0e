#include "DumpUpload.h"

namespace dump {

std::optional<QByteArray> uploadCommand(QByteArray line)
{
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    // A ">" line is the unit's prompt captured into a file; it is no command.
    if (line.startsWith('>'))
        return std::nullopt;
    const qsizetype apostrophe = line.indexOf('\'');
    if (apostrophe >= 0)
        line.truncate(apostrophe);
    line.replace("\t", "");
    // Nothing left to send; an empty line would only earn a sync error from the unit.
    if (line.trimmed().isEmpty())
        return std::nullopt;
    return line;
}

} // namespace dump
