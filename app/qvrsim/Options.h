#pragma once

#include <AcuUnit.h>
#include <BootModule.h>
#include <SimFaults.h>

#include <QByteArray>
#include <QString>

class QCoreApplication;

// What qvrsim was asked to do, from its command line.
struct Options {
    enum class Unit { Acu, Terminal, UsbPcu, SpPcu, UsbMdb, Spcu, Spanel, Kvmp };

    Unit unit = Unit::Acu;
    bool tcp = true;
    quint16 port = 2000;
    bool pty = false;
    QString ptyLink;
    QByteArray greeting;
    QString transcript;
    quint64 seed = 1;
    SimFaults faults;
    bool hangUpOnce = false;
    bool babble = false; // TCP clients also get reply lines without pause
    bool quiet = false;
    // UDP port on 127.0.0.1 where the discovery request is answered (0: not served).
    quint16 discoveryPort = 0;
    int discoveryAnswers = 1;

    // ACU
    AcuUnit::ReferenceForm referenceForm = AcuUnit::ReferenceForm::Scaled;
    bool liveMotion = true; // jitter, course changes, the Nutara circle
    // Terminal unit
    bool echo = true;
    int panelIntervalMs = 0;
    int streamBytesPerSecond = 0;
    int statusIntervalMs = 0;
    // Bootloaders
    BootFaults bootFaults;
    int returnAfterMs = 3000; // -1: a restarting USB board never comes back
    bool statusStream = true; // kvmp: the application's status text
    QString imageOut;
    // Bits per second the pseudo-terminal is read at (0: as fast as bytes come).
    int lineSpeed = 0;

    // A module attached straight to the terminal (served on the pseudo-terminal only).
    bool isModule() const { return unit != Unit::Acu && unit != Unit::Terminal; }
    BootTarget moduleTarget() const;
    // The speed of the unit's own serial line; 0 for a USB board, which has none.
    static int ownLineSpeed(Unit unit);
};

// Parses the command line; --help and --version print and exit, a bad value exits with 2.
Options parseOptions(const QCoreApplication& app);
