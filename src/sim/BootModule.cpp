#include "BootModule.h"

#include "LinePace.h"

#include <algorithm>

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcSimBoot, "qvrsim.boot", QtWarningMsg)

namespace {

// Where a corrupted record gets its changed digit: inside the address, so that the record
// keeps its length and only its checksum tells.
constexpr int kCorruptAt = 5;

BootModule::Words wordsFor(BootTarget target)
{
    using A = BootModule::Action;
    switch (target) {
    case BootTarget::Pcu:
    case BootTarget::BdeModem:
    case BootTarget::AdeModem:
    case BootTarget::MotorDriver:
        // Behind the ACU the routing character has been taken off already.
        return {{"0080", A::Start}, {"0578", A::Erase}, {"0577", A::BulkErase}, {"0090", A::Reboot}};
    case BootTarget::Dvb:
        return {{"P", A::Start},
                {"^0578", A::Erase},
                {"^578", A::Erase},
                {"^0577", A::BulkErase},
                {"^0090", A::Reboot}};
    case BootTarget::ShorvelPcu:
        return {{"^0080", A::Start}, {"^0578", A::Erase}, {"^0577", A::BulkErase}, {"^0090", A::Reboot}};
    case BootTarget::ShorvelPanel:
        return {
            {"\x05\x07\x08", A::Start}, {"S119", A::Erase}, {"^0577", A::BulkErase}, {"^0090", A::Reboot}};
    default:
        return {};
    }
}

} // namespace

BootModule::BootModule(BootTarget target, QObject* parent)
    : QObject(parent), m_target(target), m_words(wordsFor(target))
{
}

QByteArray BootModule::name(BootTarget target)
{
    switch (target) {
    case BootTarget::Acu:
        return "ACU";
    case BootTarget::Pcu:
        return "PCU";
    case BootTarget::Dvb:
        return "DVB";
    case BootTarget::BdeModem:
        return "BDE MODEM";
    case BootTarget::AdeModem:
        return "ADE MODEM";
    case BootTarget::MotorDriver:
        return "MOTOR DRIVER";
    case BootTarget::UsbPcu:
        return "USB PCU";
    case BootTarget::ServicePortPcu:
        return "PCU";
    case BootTarget::UsbMdb:
        return "USB MDB";
    case BootTarget::ShorvelPcu:
        return "SPCU";
    case BootTarget::ShorvelPanel:
        return "PANEL";
    case BootTarget::Kvmp:
        return "KVMP";
    case BootTarget::Nmea:
        return "NMEA";
    case BootTarget::VtPcu:
        return "VT PCU";
    case BootTarget::Slcd:
        return "SLCD";
    }
    return "MODULE";
}

QString BootModule::key(BootTarget target)
{
    switch (target) {
    case BootTarget::Acu:
        return QStringLiteral("acu");
    case BootTarget::Pcu:
        return QStringLiteral("pcu");
    case BootTarget::Dvb:
        return QStringLiteral("dvb");
    case BootTarget::BdeModem:
        return QStringLiteral("bde-modem");
    case BootTarget::AdeModem:
        return QStringLiteral("ade-modem");
    case BootTarget::MotorDriver:
        return QStringLiteral("motor-driver");
    case BootTarget::UsbPcu:
        return QStringLiteral("usb-pcu");
    case BootTarget::ServicePortPcu:
        return QStringLiteral("sp-pcu");
    case BootTarget::UsbMdb:
        return QStringLiteral("usb-mdb");
    case BootTarget::ShorvelPcu:
        return QStringLiteral("shorvel-pcu");
    case BootTarget::ShorvelPanel:
        return QStringLiteral("shorvel-panel");
    case BootTarget::Kvmp:
        return QStringLiteral("kvmp");
    case BootTarget::Nmea:
        return QStringLiteral("nmea");
    case BootTarget::VtPcu:
        return QStringLiteral("vt-pcu");
    case BootTarget::Slcd:
        return QStringLiteral("slcd");
    }
    return QStringLiteral("module");
}

QByteArray BootModule::badRecordMarker(BootTarget target)
{
    switch (target) {
    case BootTarget::Acu:
        return "-";
    case BootTarget::Pcu:
        return "_";
    case BootTarget::MotorDriver:
        return "#";
    default:
        return {};
    }
}

namespace {

// What each bootloader prints when it starts. The automatic sequences count the ACU's
// answer (11 to 13 characters on the screen) and look for a "V" or "^" from a PCU behind
// the ACU, "D" from a motor driver, "USB" or "Service" from a board on its own port.
QByteArray startText(BootTarget target, const QByteArray& name)
{
    switch (target) {
    case BootTarget::Acu:
        return "ACU BOOT V1";
    case BootTarget::Pcu:
        return "PCU BOOTLOADER V1.0 READY";
    case BootTarget::ServicePortPcu:
        return "Service PCU BOOTLOADER READY";
    default:
        return name + " BOOTLOADER READY";
    }
}

// Boards on their own port close a transfer with a word: "Ok" when every record was good.
bool closesWithWord(BootTarget target)
{
    return target == BootTarget::UsbPcu || target == BootTarget::ServicePortPcu || target == BootTarget::UsbMdb;
}

} // namespace

void BootModule::say(const QByteArray& line)
{
    if (m_faults.silent)
        return;
    qCDebug(lcSimBoot) << name() << line;
    Q_EMIT said(line);
}

void BootModule::start()
{
    m_boot = true;
    m_erasedSinceStart = false;
    m_word.clear();
    m_decoder.reset();
    m_recordEndNs = -1;
    if (m_announce)
        say(startText(m_target, name()));
    Q_EMIT started();
}

bool BootModule::erase(bool bulk)
{
    if (!m_boot)
        return false;
    const bool ok = !m_faults.refuseErase;
    if (ok) {
        m_flash.erase();
        m_erasedSinceStart = true;
        m_inError = false;
        m_unreported = false;
        // Overruns are told with the image they spoiled.
        m_overruns = 0;
        m_recordEndNs = -1;
    }
    if (m_announce)
        say(ok ? QByteArray(bulk ? "BULK ERASED *" : "ERASED *") : QByteArray("ERASE FAILED"));
    Q_EMIT erased(ok);
    return ok;
}

void BootModule::reboot()
{
    if (!m_boot)
        return;
    m_boot = false;
    m_decoder.reset();
    m_word.clear();
    if (m_unreported)
        report();
}

QByteArray BootModule::summary() const
{
    return QByteArray("PROGRAMMED ") + QByteArray::number(m_flash.byteCount()) + " BYTES, " +
           QByteArray::number(m_flash.badRecords()) + " BAD RECORDS";
}

void BootModule::report()
{
    m_unreported = false;
    say(summary());
    if (closesWithWord(m_target))
        say(m_flash.badRecords() == 0 ? QByteArray("Ok") : QByteArray("ERR"));
    Q_EMIT programmed();
}

void BootModule::feed(const QByteArray& text, bool damaged)
{
    if (!damaged) {
        for (const char c : text)
            feedChar(c);
        return;
    }
    // The record under way loses characters, and so does one this text starts.
    for (const char c : text) {
        if (m_decoder.inRecord())
            m_decoder.spoilCurrentRecord();
        feedChar(c);
    }
    if (m_decoder.inRecord())
        m_decoder.spoilCurrentRecord();
}

void BootModule::feedOnWire(const QByteArray& text, const WireTiming& timing)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        // While the module writes a record it does not read its line. A record stamped late
        // may have ended earlier, by as much as its host allows.
        const bool late =
            m_recordEndNs >= 0 &&
            LinePace::tooShort(timing.byteStartNs(i, n) - m_recordEndNs + m_recordEarlyNs, m_recordPauseNs);
        if (late && !std::exchange(m_overrunNoted, true))
            countOverrun();
        const int ended = recordsEnded();
        feed(text.mid(i, 1), late);
        if (recordsEnded() != ended) {
            m_recordEndNs = timing.byteEndNs(i, n);
            m_recordEarlyNs = timing.earlyNs;
            m_overrunNoted = false;
        }
    }
}

void BootModule::feedChar(char c)
{
    if (m_decoder.inRecord()) {
        recordChar(c);
        return;
    }
    // The Shorvel panel's erase word begins like a record: until it has been erased, an 'S'
    // is read as the start of a word.
    const bool sIsWord = m_target == BootTarget::ShorvelPanel && !(m_boot && m_erasedSinceStart);
    if (c == 'S' && !sIsWord) {
        m_word.clear();
        m_garbage = false;
        ++m_records;
        m_recordChars = 0;
        m_corruptThis = m_records == m_faults.corruptRecord;
        recordChar(c);
        // The application does not program: the record is read past and forgotten.
        if (!m_boot || m_records == m_faults.dropRecord)
            m_decoder.loseCurrentRecord();
        return;
    }
    takeWord(c);
}

void BootModule::recordChar(char c)
{
    if (m_corruptThis && m_recordChars == kCorruptAt && c != 'S')
        c = c == '0' ? '1' : '0';
    ++m_recordChars;
    const bool wasComplete = m_flash.complete();
    const qsizetype before = m_flash.byteCount();
    const int reprogrammedBefore = m_flash.reprogrammedBytes();
    const int badBefore = m_flash.badRecords();
    const int endedBefore = m_decoder.recordsEnded();
    m_decoder.feed(c);
    // Once a record went bad the bootloader stays in error and answers every later record
    // with its marker too, so one marker lost on the way back does not hide the fault.
    m_inError = m_inError || m_flash.badRecords() != badBefore;
    if (m_inError && m_decoder.recordsEnded() != endedBefore && m_boot && !badRecordMarker(m_target).isEmpty())
        say(badRecordMarker(m_target));
    if (m_flash.byteCount() != before || m_flash.reprogrammedBytes() != reprogrammedBefore)
        m_unreported = true;
    if (!wasComplete && m_flash.complete())
        report();
}

void BootModule::takeWord(char c)
{
    // Between records only control bytes, blanks and the "0" filling of pass-through pieces
    // belong; anything else is what is left of a record whose "S" was lost on the way. The
    // bootloader counts it as a bad record, once for each such stretch.
    const bool filler = quint8(c) <= ' ' || c == '0';
    const bool wordStart = std::any_of(m_words.begin(), m_words.end(), [&](const auto& w) {
        return w.first.startsWith(m_word + c);
    });
    if (m_boot && m_erasedSinceStart && !filler && !wordStart && !m_garbage) {
        m_garbage = true;
        m_inError = true;
        m_flash.countRecord(false);
        if (!badRecordMarker(m_target).isEmpty())
            say(badRecordMarker(m_target));
    }
    if (m_words.empty())
        return;
    m_word += c;
    while (!m_word.isEmpty()) {
        bool prefix = false;
        for (const auto& [word, action] : m_words) {
            if (word == m_word) {
                m_word.clear();
                act(action);
                return;
            }
            prefix = prefix || word.startsWith(m_word);
        }
        if (prefix)
            return;
        m_word.remove(0, 1);
    }
}

void BootModule::act(Action action)
{
    switch (action) {
    case Action::Start:
        start();
        break;
    case Action::Erase:
        erase(false);
        break;
    case Action::BulkErase:
        erase(true);
        break;
    case Action::Reboot:
        reboot();
        break;
    }
}
