#pragma once

#include <QObject>
#include <QString>

class ModuleUnit;
class SimByteLink;

// Plugs a USB module into a simulated serial link: when the board restarts, its port goes
// (the open link drops, as a vanished device does, and opening fails) until it comes back.
class SimUsbAttachment : public QObject {
    Q_OBJECT
public:
    // The text a serial port gives when its device is not there.
    static constexpr const char* kAbsentText = "No such file or directory";

    SimUsbAttachment(ModuleUnit& unit, SimByteLink& link, QObject* parent = nullptr);

    int departures() const { return m_departures; }
    int returns() const { return m_returns; }

private:
    SimByteLink& m_link;
    int m_departures = 0;
    int m_returns = 0;
};
