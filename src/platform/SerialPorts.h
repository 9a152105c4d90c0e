#pragma once

#include <QString>
#include <QList>
#include <QStringList>

class SettingsStore;

// Which platform device a COM number means. Profiles and dialogs speak of "Com1".."Com20";
// the store may map a number to any device (section "Ports", key "COM<n>"), otherwise
// COM<n> is the n-th built-in port, /dev/ttyS<n-1>.
QString comDevice(const SettingsStore& store, const QString& app, int comNumber);
void setComDevice(SettingsStore& store, const QString& app, int comNumber, const QString& device);

// The serial devices the system lists now ("/dev/ttyUSB0", ...), for the device pickers.
QStringList systemSerialPorts();

// A serial device the system lists, with what it says about it.
struct SerialPortEntry {
    QString device;      // "/dev/ttyUSB0"
    QString description; // "FT232R USB UART (FTDI)", or empty
    // "/dev/ttyUSB0 - FT232R USB UART (FTDI)", or the device alone.
    QString label() const;
};
QList<SerialPortEntry> systemSerialPortEntries();

// The processes that hold the device open ("minicom (pid 4711)"), as far as this user
// may see them.
QStringList processesUsing(const QString& device);

// Words a technician can act on when a port would not open: a missing device, one this
// user may not open, or one another program holds. `permissionError` is the port's own
// verdict (a refused open or a lock held elsewhere). Empty when there is nothing to add.
QString serialOpenAdvice(const QString& device, bool permissionError);
