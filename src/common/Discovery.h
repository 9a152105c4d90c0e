#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class DatagramSocket;
class Prompter;
class SettingsStore;

// Finds antenna control units with one UDP datagram: the request goes to port P of one
// address (or of the broadcast address) from local port P + 3, and every datagram that
// comes back adds its sender's address to the list, as often as it comes. Both programs
// carry the window; they differ only in the text of a receive error.
class Discovery : public QObject {
    Q_OBJECT
public:
    static const QString kBroadcastAddress;   // "255.255.255.255"
    static const QString kDefaultPort;        // "3000"
    static const QString kDefaultAddress;     // the unit address shown at first
    static const QString kSendError;          // "Error, incorrect IP address / Port. "
    static const QString kKorvexReceiveError; // "Error-Rcv, incorrect IP address / Port. "
    static const QByteArray kRequest;         // 0x01 and seven 0x00
    static constexpr int kLocalPortOffset = 3;

    // The broadcast address is the program's; tests and demos give 127.0.0.1.
    Discovery(DatagramSocket& socket, Prompter& prompter, QString broadcastAddress, QString receiveError,
              QObject* parent = nullptr);

    // The window's two boxes.
    QString addressText = kDefaultAddress;
    QString portText = kDefaultPort;

    // "Find All local QVRs" and "Find Specific QVR". False (and the send error shown) when
    // the port or address is not usable or the datagram could not go.
    bool findAll();
    bool findSpecific();

    const QStringList& found() const { return m_found; }
    // Double-click on an entry: its web page through the prompter's URL opener.
    void openEntry(int index);

    // Quillan keeps the two boxes in its settings (section "FindQvrs").
    void load(const SettingsStore& store, const QString& app);
    void save(SettingsStore& store, const QString& app) const;

    // Port text to P; none when it is not a number from 1 to 65532 (P + 3 must be a port).
    static std::optional<quint16> parsePort(const QString& text);

Q_SIGNALS:
    void foundChanged();

private:
    bool find(const QString& host);
    void showError(const QString& text);

    DatagramSocket& m_socket;
    Prompter& m_prompter;
    QString m_broadcast;
    QString m_receiveError;
    QStringList m_found;
};
