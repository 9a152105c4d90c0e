// The KVMP board and the two boards behind it: the NMEA board (reached with "^NM") and the
// VT PCU (reached once "$" has silenced the KVMP's status text).
#include "ModuleUnit.h"

#include <Runtime.h>

#include <utility>

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
        if (m_slcdBinary) {
            slcdByte(c);
            continue;
        }
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
        if (slcdLine(line))
            return;
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

bool ModuleUnit::slcdLine(const QByteArray& line)
{
    const bool silent = m_slcd->faults().silent;
    if (line == "^478") {
        if (!silent)
            say("SLCD LINK ACTIVE");
        return true;
    }
    if (line.startsWith("^479")) {
        m_slcdSize = line.mid(4).trimmed().toLongLong();
        if (!silent)
            say("SLCD SIZE " + QByteArray::number(m_slcdSize));
        return true;
    }
    if (line != "^378")
        return false;
    if (m_slcdSize <= 0)
        return true;
    m_slcd->start();
    m_slcdReceived = 0;
    m_slcdRecord.clear();
    m_slcdBinary = true;
    m_slcdSkipLf = true;
    runtime().singleShot(kSlcdEraseMs, this, [this] {
        const bool ok = m_slcd->erase();
        if (m_present && !m_slcd->faults().silent)
            say(ok ? "SLCD ERASED *" : "SLCD ERASE FAILED");
    });
    return true;
}

// Image bytes, 128 to a record; each record is written and answered with a dot. After the
// last one the panel programs itself and says "*" when it is done.
void ModuleUnit::slcdByte(char c)
{
    if (std::exchange(m_slcdSkipLf, false) && c == '\n')
        return;
    m_slcdRecord += c;
    ++m_slcdReceived;
    if (m_slcdRecord.size() < kSlcdRecord && m_slcdReceived < m_slcdSize)
        return;
    // Bytes that came before the erase finished land in flash that is not ready for them.
    if (m_slcd->flash().erased())
        m_slcd->flash().program(quint32(m_slcdReceived - m_slcdRecord.size()), m_slcdRecord);
    m_slcdRecord.clear();
    const bool silent = m_slcd->faults().silent;
    if (!silent)
        output().sendChunk(".");
    if (m_slcdReceived < m_slcdSize)
        return;
    m_slcdBinary = false;
    m_slcdSize = 0;
    runtime().singleShot(kSlcdUpdateMs, this, [this, silent] {
        m_slcd->flash().markComplete();
        m_slcd->reboot();
        if (m_present && !silent)
            say("SLCD UPDATED *");
    });
}
