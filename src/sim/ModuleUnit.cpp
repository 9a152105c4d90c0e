#include "ModuleUnit.h"

#include "LinePace.h"

#include <Runtime.h>

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcSimModule, "qvrsim.module", QtWarningMsg)

ModuleUnit::ModuleUnit(Runtime& runtime, BootTarget target, quint64 seed, QObject* parent)
    : UnitLine(runtime, seed, parent), m_target(target), m_main(std::make_unique<BootModule>(target)),
      m_statusTimer(runtime.createTimer())
{
    // A module's console ends its lines the way a terminal shows them.
    output().setLineEnd("\r\n");
    if (target == BootTarget::Kvmp) {
        m_nmea = std::make_unique<BootModule>(BootTarget::Nmea);
        m_vt = std::make_unique<BootModule>(BootTarget::VtPcu);
        m_slcd = std::make_unique<BootModule>(BootTarget::Slcd);
        m_slcd->setAnnounce(false);
        // These three speak for themselves: their texts are what the terminal looks for.
        m_main->setAnnounce(false);
        m_nmea->setAnnounce(false);
        m_vt->setAnnounce(false);
        connect(m_nmea.get(), &BootModule::erased, this,
                [this](bool ok) { say(ok ? "ERASED" : "ERASE FAILED"); });
        connect(m_main.get(), &BootModule::erased, this,
                [this](bool ok) { say(ok ? "ERASED" : "ERASE FAILED"); });
    }
    for (BootModule* m : modules()) {
        connect(m, &BootModule::said, this, [this](const QByteArray& line) { say(line); });
        connect(m, &BootModule::programmed, this, [this, m] { onProgrammed(m); });
    }
    // The Shorvel PCU takes its records as bare bytes and writes each before it reads on.
    if (target == BootTarget::ShorvelPcu)
        m_main->setRecordPauseNs(LinePace::kShorvelRecordNs);
    m_statusTimer->setInterval(kStatusIntervalMs);
    m_statusTimer->setCallback([this] { statusTick(); });
}

ModuleUnit::~ModuleUnit() = default;

QList<BootModule*> ModuleUnit::modules() const
{
    QList<BootModule*> out{m_main.get()};
    if (m_nmea)
        out << m_nmea.get() << m_vt.get() << m_slcd.get();
    return out;
}

void ModuleUnit::setBootFaults(const BootFaults& faults)
{
    for (BootModule* m : modules())
        m->setFaults(faults);
    m_neverReturn = faults.neverReturn;
}

bool ModuleUnit::LineReader::take(char c, QByteArray* done)
{
    if (c == '\n' && lastCr) {
        lastCr = false;
        return false;
    }
    lastCr = c == '\r';
    if (c == '\r' || c == '\n') {
        *done = std::exchange(line, {});
        return true;
    }
    // A line that never ends is noise; its start is kept, the rest dropped.
    if (line.size() < 1024)
        line += c;
    return false;
}

void ModuleUnit::received(const QByteArray& bytes)
{
    if (!m_present)
        return;
    switch (m_target) {
    case BootTarget::ShorvelPcu:
    case BootTarget::ShorvelPanel:
        m_main->feed(bytes);
        return;
    case BootTarget::Kvmp:
        kvmpReceived(bytes);
        return;
    default:
        break;
    }
    QByteArray line;
    for (const char c : bytes) {
        if (!m_reader.take(c, &line))
            continue;
        if (m_target == BootTarget::ServicePortPcu)
            output().sendChunk(line + "\r\n");
        usbLine(line);
        if (hasHungUp() || !m_present)
            return;
    }
}

void ModuleUnit::receivedOnWire(const QByteArray& bytes, const WireTiming& timing)
{
    if (m_present && m_target == BootTarget::ShorvelPcu)
        m_main->feedOnWire(bytes, timing);
    else
        received(bytes);
}

void ModuleUnit::usbLine(const QByteArray& line)
{
    const char prefix = m_target == BootTarget::UsbMdb ? ']' : '^';
    if (line.size() == 5 && line[0] == prefix) {
        const QByteArray code = line.mid(1);
        if (code == "0080")
            return m_main->start();
        if (code == "0578" || code == "0577") {
            m_main->erase(code == "0577");
            return;
        }
        if (code == "0090")
            return m_main->reboot();
    }
    // The applications' version answers: "?V" for a PCU, "*" for a motor driver board.
    if (!m_main->inBootloader()) {
        if (m_target == BootTarget::UsbMdb && line == "*")
            say("USB MDB V1.30 SIM");
        else if (m_target != BootTarget::UsbMdb && line == "?V")
            say(m_main->name() + " VER 2.07 SIM");
        return;
    }
    if (m_main->inBootloader())
        m_main->feed(line + '\r');
}

void ModuleUnit::onProgrammed(BootModule* module)
{
    qCInfo(lcSimModule) << module->name() << module->summary();
    if (module == m_vt.get()) {
        say(module->flash().badRecords() == 0
                ? QByteArray("CRC is GOOD")
                : "CRC is BAD, " + QByteArray::number(module->flash().badRecords()) + " BAD RECORDS");
        // The VT PCU starts its application; the KVMP keeps passing bytes until "%".
        runtime().post(this, [this] { m_vt->reboot(); });
        return;
    }
    if (module == m_nmea.get()) {
        // The NMEA board starts its application and the KVMP takes its line back.
        runtime().post(this, [this] {
            m_nmea->reboot();
            m_route = KvmpRoute::Own;
            updateStream();
        });
        return;
    }
    // A USB board jumps to its application, which enumerates afresh.
    if (m_target == BootTarget::UsbPcu || m_target == BootTarget::UsbMdb || m_target == BootTarget::Kvmp)
        restart([this] { m_main->reboot(); });
    else if (m_main->inBootloader())
        runtime().post(this, [this] { m_main->reboot(); });
}

void ModuleUnit::restart(std::function<void()> back)
{
    if (m_restarting)
        return;
    m_restarting = true;
    runtime().singleShot(m_restartDelayMs, this, [this, back = std::move(back)] {
        m_present = false;
        m_reader.reset();
        m_vtReader.reset();
        output().clear();
        updateStream();
        qCInfo(lcSimModule) << BootModule::name(m_target) << "port gone";
        Q_EMIT portGone();
        if (m_returnAfterMs < 0 || m_neverReturn)
            return;
        runtime().singleShot(m_returnAfterMs, this, [this, back] {
            m_restarting = false;
            back();
            m_present = true;
            updateStream();
            qCInfo(lcSimModule) << BootModule::name(m_target) << "port back";
            Q_EMIT portBack();
        });
    });
}

void ModuleUnit::connected()
{
    m_reader.reset();
    m_vtReader.reset();
    updateStream();
}

void ModuleUnit::disconnected()
{
    updateStream();
}
