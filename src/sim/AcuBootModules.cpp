#include "AcuBootModules.h"

#include "LinePace.h"

namespace {

constexpr BootTarget kTargets[] = {BootTarget::Acu,      BootTarget::Pcu,      BootTarget::Dvb,
                                   BootTarget::BdeModem, BootTarget::AdeModem, BootTarget::MotorDriver};

int indexOf(BootTarget target)
{
    for (int i = 0; i < 6; ++i)
        if (kTargets[i] == target)
            return i;
    return -1;
}

bool selector(char c, BootTarget* target)
{
    switch (c) {
    case '<':
        *target = BootTarget::BdeModem;
        return true;
    case '>':
        *target = BootTarget::AdeModem;
        return true;
    case ']':
        *target = BootTarget::MotorDriver;
        return true;
    case '^':
        *target = BootTarget::Pcu;
        return true;
    default:
        return false;
    }
}

bool blanks(const QByteArray& text)
{
    for (const char c : text)
        if (c != ' ')
            return false;
    return true;
}

} // namespace

AcuBootModules::AcuBootModules()
{
    for (int i = 0; i < 6; ++i) {
        m_modules[size_t(i)] = std::make_unique<BootModule>(kTargets[i]);
        QObject::connect(m_modules[size_t(i)].get(), &BootModule::said,
                         [this](const QByteArray& line) { m_lines.append(line); });
    }
}

AcuBootModules::~AcuBootModules() = default;

BootModule& AcuBootModules::module(BootTarget target)
{
    const int i = indexOf(target);
    Q_ASSERT(i >= 0);
    return *m_modules[size_t(qMax(i, 0))];
}

QList<BootModule*> AcuBootModules::all() const
{
    QList<BootModule*> out;
    for (const auto& m : m_modules)
        out.append(m.get());
    return out;
}

void AcuBootModules::setFaults(const BootFaults& faults)
{
    for (const auto& m : m_modules)
        m->setFaults(faults);
}

AcuBootModules::Outcome AcuBootModules::handle(const QByteArray& command, qint64 quietNs, qint64 earlyNs)
{
    m_lines.clear();
    if (quietNs >= 0)
        quietNs += m_creditNs;
    const bool late = m_streaming && LinePace::tooShort(quietNs, m_requiredQuietNs);
    // Only a pause longer than its need by more than the tolerance tells of a late read; the
    // sender's own small overshoots are not saved up.
    const qint64 excessNs = quietNs - m_requiredQuietNs;
    m_creditNs = late || quietNs < 0 || excessNs <= LinePace::kToleranceNs ? 0 : qMin(excessNs, earlyNs);
    if (late) {
        m_streaming->countOverrun();
        qCDebug(lcSimBoot) << "overrun:" << command << "after" << quietNs / 1000 << "us, needed"
                           << m_requiredQuietNs / 1000 << "us; it may have come" << earlyNs / 1000
                           << "us before it was read";
    }
    m_keepStream = false;
    Outcome out;
    out.taken = route(command, late);
    if (!m_keepStream) {
        m_streaming = nullptr;
        m_requiredQuietNs = 0;
    }
    out.lines = std::exchange(m_lines, {});
    return out;
}

void AcuBootModules::keepStream(qint64 requiredQuietNs)
{
    if (!m_streaming)
        return;
    m_keepStream = true;
    m_requiredQuietNs = requiredQuietNs;
}

void AcuBootModules::feedPiece(BootModule& target, const QByteArray& text, bool late)
{
    const int ended = target.recordsEnded();
    target.feed(text, late);
    const bool underWay = target.recordUnderWay();
    if (!underWay && target.recordsEnded() == ended)
        return;
    m_streaming = &target;
    // A record that ended with this piece is written before the module reads on.
    keepStream(underWay ? LinePace::kPieceNs : LinePace::kPieceNs + LinePace::kRecordNs);
}

bool AcuBootModules::route(const QByteArray& command, bool late)
{
    if (command.isEmpty())
        return false;
    BootModule& acu = module(BootTarget::Acu);
    const char lead = command[0];
    const QByteArray payload = command.mid(1);

    if (command == "\\0080") {
        acu.start();
        return true;
    }
    if (command == "\\0090") {
        // The ACU restarts: its reply comes from the vocabulary as for any reboot.
        acu.reboot();
        return false;
    }
    if (acu.inBootloader()) {
        // The bootloader's answer to ESC "S": nine characters on the screen with its line end.
        if (command == "S") {
            acu.answer("BOOT OK");
            return true;
        }
        if (command == "^0578" || command == "^0577") {
            acu.erase(command == "^0577");
            return true;
        }
        if (lead == '#' && command.size() <= 5) {
            feedPiece(acu, payload, late);
            return true;
        }
    }
    if (command == "[Z") {
        // The comms interface restarts and forgets any route; the reply is the vocabulary's.
        m_route = BootTarget::Pcu;
        m_messageStart = true;
        m_messageTarget = nullptr;
        return false;
    }
    if (lead == '?' && command.size() == 5 && blanks(payload)) {
        keepStream(LinePace::kRouteClearNs);
        if (late)
            return true;
        if (m_messageTarget)
            m_messageTarget->endOfMessage();
        m_messageTarget = nullptr;
        m_messageStart = true;
        return true;
    }
    BootTarget picked;
    if (lead == '?' && command.size() >= 2 && selector(command[1], &picked) && blanks(command.mid(2))) {
        m_route = picked;
        m_messageTarget = &module(picked);
        m_messageStart = false;
        return true;
    }
    // The end of an upload may close the burst with one blank more ("#!    ").
    if (lead == '#' && command.size() >= 2 && (command.size() <= 5 || (command.size() == 6 && command[1] == '!'))) {
        piece(payload, late);
        return true;
    }
    // "wV..." and "w!123" read the receiver's version: those stay with the vocabulary.
    if (lead == 'w' && command.size() >= 2 && command.size() <= 5 && !command.startsWith("wV") &&
        command != "w!123") {
        dvbPiece(payload, late);
        return true;
    }
    return false;
}

void AcuBootModules::piece(const QByteArray& payload, bool late)
{
    if (payload.startsWith('!')) {
        keepStream(LinePace::kBurstEndNs);
        if (late)
            return;
        if (m_messageTarget)
            m_messageTarget->endOfMessage();
        m_messageTarget = nullptr;
        m_messageStart = true;
        return;
    }
    QByteArray text = payload;
    BootTarget picked;
    if (m_messageStart && selector(text[0], &picked)) {
        m_messageTarget = &module(picked);
        text.remove(0, 1);
    } else if (!m_messageTarget) {
        m_messageTarget = &module(m_route);
    }
    m_messageStart = false;
    feedPiece(*m_messageTarget, text, late);
}

void AcuBootModules::dvbPiece(const QByteArray& payload, bool late)
{
    BootModule& dvb = module(BootTarget::Dvb);
    if (payload.startsWith('!')) {
        keepStream(LinePace::kBurstEndNs);
        if (!late)
            dvb.endOfMessage();
        return;
    }
    feedPiece(dvb, payload, late);
}
