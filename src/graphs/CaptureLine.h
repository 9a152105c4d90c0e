#pragma once

#include "GraphMode.h"

#include <QString>
#include <QTime>

struct PanelSample;

// The text line each sample leaves in the capture buffer, the data log and a screen
// capture: comma-separated fields, without its line end.
namespace capture {

// Every line of a data file ends with CR LF, whatever system writes it.
inline constexpr char kLineEnd[] = "\r\n";

// The time-of-day field: 24-hour "HH:mm:ss", so that logs sort and read the same on
// every machine.
QString timeText(const QTime& timeOfDay);

// The capture line of one sample in the given graph mode. Numbers from 16-bit values
// carry a leading space when not negative; text fields are written as they stand.
QString composeLine(GraphMode mode, const PanelSample& sample, const QTime& timeOfDay);

// The ADMC status field: the first three ACU status bytes as characters, a space, then
// the two extended bytes with bit 6 set so that they are printable.
QString statusField(const PanelSample& sample);

} // namespace capture
