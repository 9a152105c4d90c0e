#pragma once

#include <QByteArray>

#include <optional>

// Turns the replies of a parameter dump into the rows of its file, one reply at a time.
// Two-byte parameters arrive as two replies (the high byte in a "*" row, then the low byte),
// so the formatter keeps the high part between calls; one formatter serves one dump.
class DumpRowFormatter {
public:
    // The remote panel and the terminal write the same rows with two small differences: the
    // terminal separates the two numbers of a word-and-sixteenths row with " / " instead of
    // "/", and skips a halves row when its reply is empty.
    enum class Style { Panel, Terminal };

    explicit DumpRowFormatter(Style style = Style::Panel) : m_style(style) {}

    // The remote panel's row for reply `index` (0 to 90) of its dump, ending in CR LF, from
    // the reply and the query it answers. Empty for an index that has no row (the end).
    QByteArray panelRow(int index, const QByteArray& reply, const QByteArray& query);

    // The terminal's row for ACU entry 0 to 73, ending in CR LF; the reply still carries the
    // unit's two-character echo of the command. Nothing when no row is written (an empty
    // halves reply, or an entry beyond the table).
    std::optional<QByteArray> terminalAcuRow(int entry, const QByteArray& reply);

    // The row of one parameter: command letters, value text and the format code decide
    // it. Also what the two calls above come down to.
    QByteArray row(const QByteArray& command, const QByteArray& value, int code,
                   const QByteArray& description);

    // The high part carried into the next row (the value of a "*" row, or the word built so
    // far).
    qint32 accumulator() const { return m_accumulator; }
    void reset() { m_accumulator = 0; }

private:
    Style m_style;
    qint32 m_accumulator = 0;
};
