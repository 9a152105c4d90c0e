#pragma once

#include <QString>

#include <optional>

// TCP port numbers as the settings and the dialogs hold them. Any port from 1 to 65535 is
// taken as written; anything else is refused with a message that names the key, rather
// than quietly becoming some other port where another service may answer.
namespace tcpport {

// A whole decimal number from 1 to 65535 (blanks around it allowed).
std::optional<int> parse(const QString& text);

// A stored value that is not a port: "Error," CR "<key>=<text> in <file> is not a TCP port
// (1 to 65535)." CR "Using <fallback>."
QString storedValueText(const QString& key, const QString& text, const QString& file, int fallback);

// A value typed into a dialog: "Error," CR "<key>=<text> is not a TCP port (1 to 65535)." CR
// "Enter a port number from 1 to 65535."
QString enteredValueText(const QString& key, const QString& text);

} // namespace tcpport
