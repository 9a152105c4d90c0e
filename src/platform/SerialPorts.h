#pragma once

#include <QString>
#include <QStringList>

class SettingsStore;

// Which platform device a COM number means. Profiles and dialogs speak of "Com1".."Com20";
// the store may map a number to any device (section "Ports", key "COM<n>"), otherwise
// COM<n> is the n-th built-in port, /dev/ttyS<n-1>.
QString comDevice(const SettingsStore& store, const QString& app, int comNumber);
void setComDevice(SettingsStore& store, const QString& app, int comNumber, const QString& device);

// The serial devices the system lists now ("/dev/ttyUSB0", ...), for the device pickers.
QStringList systemSerialPorts();
