#pragma once

#include <QByteArray>

#include <optional>

namespace dump {

// What one line of a dump file (edited or not) sends back to the unit, without its line
// end: the command letters and value of a parameter row, with the tabs taken out and the
// apostrophe and everything after it (the readable part) left behind. Nothing for a header,
// identity or comment row, a ">" prompt line or a blank line. A trailing CR or LF of the
// line is ignored, so a file read with either line end uploads the same.
std::optional<QByteArray> uploadCommand(QByteArray line);

} // namespace dump
