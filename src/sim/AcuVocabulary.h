#pragma once

#include <QByteArray>

#include <array>
#include <functional>
#include <optional>
#include <vector>

class AcuUnit;

// What the unit understands, as a table from command to responder, so that a further
// command is one more row rather than one more branch. A responder returns the reply line
// without its end, or nothing for a command the unit takes silently ("C", "D").
class AcuVocabulary {
public:
    using Reply = std::optional<QByteArray>;
    using Responder = std::function<Reply(const QByteArray& command, AcuUnit& unit)>;
    enum class Match { Exact, Prefix };

    // A one-character command, answered the moment it arrives.
    void addSingle(char command, Responder respond);
    // A command line (sent with CR LF), matched whole or by its beginning; the longest
    // matching beginning wins, an exact row beats them all.
    void addLine(const QByteArray& command, Match match, Responder respond);
    // What the unit says to a line it does not know.
    void setFallback(Responder respond) { m_fallback = std::move(respond); }

    bool isSingle(quint8 byte) const { return m_single[byte]; }
    Reply respond(const QByteArray& command, AcuUnit& unit) const;

    // The ACU as the panel knows it.
    static AcuVocabulary standard();

private:
    struct Row {
        QByteArray command;
        Match match;
        Responder respond;
    };
    std::array<bool, 256> m_single{};
    std::vector<Row> m_rows;
    Responder m_fallback;
};
