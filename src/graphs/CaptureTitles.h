#pragma once

#include "GraphMode.h"

#include <QString>

#include <optional>

// The first line of a data log or a screen capture: the column header, the operator's
// notes and the title that tells a loader which graph mode the file replays in. Without
// the line end.
namespace capture {

// Empty in the spectrum mode: its data log starts with the first sample.
std::optional<QString> dataLogTitleLine(GraphMode mode, const QString& notes);

QString screenCaptureTitleLine(GraphMode mode, const QString& notes);

} // namespace capture
