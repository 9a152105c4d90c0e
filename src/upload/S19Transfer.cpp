#include "S19Transfer.h"

#include "ModuleSelection.h"
#include "Prompter.h"
#include "Runtime.h"
#include "SRecordFile.h"
#include "TerminalScreen.h"
#include "TerminalSession.h"

#include <QScopeGuard>

namespace {

using M = Module;

// The panel's files are made of 42-character records; a shorter one is the end of the data
// unless it carries data itself.
constexpr qsizetype kPanelRecordLength = 42;

// A short data record is part of the image; only the short lines around the data (the
// termination record) end a panel transfer.
bool isDataRecord(const SRecord& record)
{
    return record.type == '1' || record.type == '2' || record.type == '3';
}

} // namespace

S19Transfer::S19Transfer(TerminalSession& session, ModuleSelection& selection, QObject* parent)
    : QObject(parent), m_steps(session, selection)
{
    // The Cancel button hides the window at once; the loop notices the flag before its next line.
    connect(&session, &TerminalSession::cancelPressed, this, [this] {
        if (m_running)
            Q_EMIT cancelWindowHidden();
    });
}

std::vector<QByteArray> S19Transfer::acuPieces(const QByteArray& line, char prefix)
{
    std::vector<QByteArray> pieces;
    qsizetype at = 0;
    for (; line.size() - at >= 4; at += 4)
        pieces.push_back(prefix + line.mid(at, 4));
    if (at < line.size())
        pieces.push_back((prefix + line.mid(at) + "00").left(5));
    return pieces;
}

S19Transfer::Outcome S19Transfer::sendS19File(const QString& path, const AutoChecks& checks)
{
    m_auto = &checks;
    const auto clear = qScopeGuard([this] { m_auto = nullptr; });
    return sendS19File(path);
}

bool S19Transfer::markerCheck() const
{
    return m_auto && m_auto->markerSeen && m_linesSent % 20 == 0 && m_auto->markerSeen();
}

S19Transfer::Outcome S19Transfer::sendS19File(const QString& path)
{
    TerminalSession& session = m_steps.session();
    // Every record is checked before the first byte goes out: a module programmed from a
    // damaged file may never start again.
    const SRecordFile file = SRecordFile::load(path);
    if (!file.isValid()) {
        session.prompter().message(
            {file.errorText(), QString(), Prompter::Icon::Exclamation, Prompter::Buttons::Ok, {}});
        return Outcome::Refused;
    }
    const std::vector<SRecord>& records = file.records();

    BusyScope busy(session);
    m_running = true;
    session.startConnectTimer();
    m_steps.setCancelRequested(false);
    m_steps.resume();
    m_startNs = session.runtime().nowNs();
    m_linesSent = 0;
    m_bytesSent = 0;
    m_lastLineMark = session.screen().shownCount();
    Q_EMIT cancelWindowShown(QString::fromLatin1(kWindowCaption),
                             QString::fromLatin1(kWindowTextPrefix) + path);
    auto end = qScopeGuard([&] {
        Q_EMIT cancelWindowHidden();
        session.stopConnectTimer();
        m_running = false;
    });

    const Route route = chooseRoute();
    Lines lines;
    lines.reserve(records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        const SRecord& r = records[i];
        if (route.take == Take::PanelLines && r.text.size() < kPanelRecordLength && !isDataRecord(r))
            break;
        if ((route.take == Take::AllButFirst && i == 0) ||
            (route.take == Take::NoHeader && r.text.startsWith("S0")))
            continue;
        lines.push_back(r.text);
    }
    m_linesTotal = qint64(lines.size());
    return (this->*route.path)(lines);
}

S19Transfer::Route S19Transfer::chooseRoute() const
{
    if (m_steps.anyChecked({M::QVRa, M::QVRp, M::QVRd, M::QVR2a, M::QVR2p, M::QVR2d, M::QVR2m1, M::QVR2m2,
                            M::SPdvb, M::QVR2mdb}))
        return {Take::NoHeader, &S19Transfer::acuRouted};
    if (m_steps.checked(M::Spanel))
        return {Take::PanelLines, &S19Transfer::shorvelPanel};
    if (m_steps.checked(M::SPCU))
        return {Take::All, &S19Transfer::shorvelPcu};
    if (m_steps.checked(M::SPG2pcu))
        return {Take::AllButFirst, &S19Transfer::servicePortPcu};
    if (m_steps.checked(M::VTPCU))
        return {Take::AllButFirst, &S19Transfer::vtPcu};
    if (m_steps.anyChecked({M::USBpcu, M::USBmdb, M::KVMP, M::NMEA}))
        return {Take::All, &S19Transfer::wholeLines};
    return {Take::All, &S19Transfer::pacedText};
}

void S19Transfer::lineSent(const QByteArray& line)
{
    ++m_linesSent;
    m_bytesSent += line.size();
    Q_EMIT progress(m_linesSent, m_linesTotal, (m_steps.session().runtime().nowNs() - m_startNs) / 1000000);
}

S19Transfer::Outcome S19Transfer::portClosed()
{
    // The refused send's box was the message; this line is the verdict that stays on the
    // screen. The line in hand counts as not sent.
    const qint64 line = qMin(m_linesSent + 1, m_linesTotal);
    m_steps.session().screen().showLine(QStringLiteral("PT:  Upload stopped: %1 at line %2 of %3")
                                            .arg(m_steps.haltReason())
                                            .arg(line)
                                            .arg(m_linesTotal));
    m_steps.setCancelRequested(true);
    return Outcome::PortClosed;
}

bool S19Transfer::awaitEcho(qint64 mark, qint64 moreThan)
{
    TerminalSession& session = m_steps.session();
    const auto grown = [&] { return session.screen().shownCount() - mark > moreThan; };
    // A port that closed meanwhile will bring no echo; waiting out the limit would only
    // delay the verdict.
    session.runtime().waitUntil([&] { return grown() || session.cancelRequested() || !session.isPortOpen(); },
                                kEchoLimitMs);
    if (grown())
        return true;
    if (session.cancelRequested() || !session.isPortOpen())
        return false;
    m_steps.show(
        QStringLiteral("PT:  No echo from module for %1 s, upload stopped").arg(kEchoLimitMs / 1000));
    m_steps.setCancelRequested(true);
    return false;
}
