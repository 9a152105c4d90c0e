#include "AcuVocabulary.h"

#include "AcuRows.h"

void AcuVocabulary::addSingle(char command, Responder respond)
{
    m_single[quint8(command)] = true;
    addLine(QByteArray(1, command), Match::Exact, std::move(respond));
}

void AcuVocabulary::addLine(const QByteArray& command, Match match, Responder respond)
{
    m_rows.push_back({command, match, std::move(respond)});
}

AcuVocabulary::Reply AcuVocabulary::respond(const QByteArray& command, AcuUnit& unit) const
{
    const Row* best = nullptr;
    for (const Row& row : m_rows) {
        if (row.match == Match::Exact) {
            if (row.command == command)
                return row.respond(command, unit);
        } else if (command.startsWith(row.command) && (!best || row.command.size() > best->command.size())) {
            best = &row;
        }
    }
    if (best)
        return best->respond(command, unit);
    if (m_fallback)
        return m_fallback(command, unit);
    return std::nullopt;
}

AcuVocabulary AcuVocabulary::standard()
{
    AcuVocabulary v;
    acurows::addPanelRows(v);
    acurows::addPcuRows(v);
    acurows::addSetRows(v);
    acurows::addToolRows(v);
    acurows::addDumpRows(v);
    // Every line gets one answer, so the program's reply matching stays in step even for
    // commands this unit does not act on.
    v.setFallback([](const QByteArray& command, AcuUnit&) -> Reply { return command; });
    return v;
}
