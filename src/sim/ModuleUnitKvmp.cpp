// The KVMP board and the two boards behind it: the NMEA board (reached with "^NM") and the
// VT PCU (reached once "$" has silenced the KVMP's status text).
#include "ModuleUnit.h"

#include <Runtime.h>

namespace {

const QByteArray kNmeaMenu[] = {"NMEA BOOTLOADER V1.02 SIM", "ERASE: ^0578", "PROGRAM: SEND S19 FILE"};

} // namespace

void ModuleUnit::setStatusStream(bool on)
{
    m_streamOn = on;
    updateStream();
}

void ModuleUnit::updateStream()
{
    const bool run = m_target == BootTarget::Kvmp && m_streamOn && m_present && isConnected() &&
                     m_route == KvmpRoute::Own && !m_main->inBootloader();
    if (run && !m_statusTimer->isActive())
        m_statusTimer->start();
    else if (!run)
        m_statusTimer->stop();
}

// One status line per tick, longer than the 25 characters the terminal takes for a KVMP
// that is still talking.
void ModuleUnit::statusTick()
{
    if (hasHungUp())
        return;
    ++m_statusCount;
    output().sendChunk(QByteArray("KVMP STATUS ") + QByteArray::number(m_statusCount).rightJustified(6, '0') +
                       " AZ 123.4 EL 045.6 LINK OK\r\n");
}

void ModuleUnit::kvmpReceived(const QByteArray& bytes)
{
    QByteArray line;
    for (const char c : bytes) {
        if (!m_present || hasHungUp())
            return;
        if (m_route == KvmpRoute::VtPcu) {
            if (c == '%') {
                m_route = KvmpRoute::Own;
                m_vtReader.reset();
                updateStream();
                continue;
            }
            vtChar(c);
            continue;
        }
        if (m_route == KvmpRoute::Own && !m_main->inBootloader() && c == '$' && m_reader.line.isEmpty()) {
            m_route = KvmpRoute::VtPcu;
            m_reader.reset();
            updateStream();
            continue;
        }
        if (!m_reader.take(c, &line))
            continue;
        if (m_route == KvmpRoute::Nmea)
            nmeaLine(line);
        else
            kvmpLine(line);
    }
}

void ModuleUnit::kvmpLine(const QByteArray& line)
{
    if (m_restarting)
        return;
    if (!m_main->inBootloader()) {
        if (line == "verA") {
            say(kKvmpVersion);
        } else if (line == "^BL") {
            say("KVMP RESTARTING INTO BOOTLOADER");
            restart([this] { m_main->start(); });
        } else if (line == "^NM") {
            m_route = KvmpRoute::Nmea;
            updateStream();
            say("NMEA PASS THROUGH");
        }
        return;
    }
    if (line == "verB")
        say(kKvmpBootVersion);
    else if (line == "^0578" || line == "^0577")
        m_main->erase(line == "^0577");
    else
        m_main->feed(line + '\r');
}

void ModuleUnit::nmeaMenu()
{
    for (const QByteArray& text : kNmeaMenu)
        say(text);
}

void ModuleUnit::nmeaLine(const QByteArray& line)
{
    if (line == "bootloader") {
        if (!m_nmea->inBootloader())
            m_nmea->start();
        nmeaMenu();
        return;
    }
    if (!m_nmea->inBootloader())
        return;
    if (line.isEmpty())
        nmeaMenu();
    else if (line == "^0578" || line == "^0577")
        m_nmea->erase(line == "^0577");
    else
        m_nmea->feed(line + '\r');
}

void ModuleUnit::vtChar(char c)
{
    // The VT PCU's bootloader answers a bare "$" with its menu at once. The menu is shorter
    // than the 25 characters that tell the terminal a KVMP is still talking.
    if (c == '$' && m_vtReader.line.isEmpty()) {
        if (m_vt->inBootloader())
            say("ERASE, PROGRAM");
        return;
    }
    QByteArray line;
    if (m_vtReader.take(c, &line))
        vtLine(line);
}

void ModuleUnit::vtLine(const QByteArray& line)
{
    if (line == "^B") {
        if (!m_vt->inBootloader())
            m_vt->start();
        say("BootLoader V1.30 SIM");
        return;
    }
    if (!m_vt->inBootloader() || line.isEmpty())
        return;
    if (line == "^0578") {
        say("Erasing");
        runtime().singleShot(kVtEraseMs, this, [this] {
            const bool ok = m_vt->erase();
            if (m_present && m_route == KvmpRoute::VtPcu)
                say(ok ? "OK" : "Erase FAILED");
        });
        return;
    }
    // Every record line comes back as it was received, before it is programmed.
    output().sendChunk(line + "\r\n");
    m_vt->feed(line + '\r');
}
