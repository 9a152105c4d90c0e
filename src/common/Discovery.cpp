#include "Discovery.h"

#include "DatagramSocket.h"
#include "Prompter.h"
#include "SettingsStore.h"

const QString Discovery::kBroadcastAddress = QStringLiteral("255.255.255.255");
const QString Discovery::kDefaultPort = QStringLiteral("3000");
const QString Discovery::kDefaultAddress = QStringLiteral("192.168.0.195");
const QString Discovery::kSendError = QStringLiteral("Error, incorrect IP address / Port. ");
const QString Discovery::kKorvexReceiveError = QStringLiteral("Error-Rcv, incorrect IP address / Port. ");
const QByteArray Discovery::kRequest("\x01\x00\x00\x00\x00\x00\x00\x00", 8);

namespace {
const QString kSection = QStringLiteral("FindQvrs");
const QString kAddressKey = QStringLiteral("IPAddress");
const QString kPortKey = QStringLiteral("PortNumber");
} // namespace

Discovery::Discovery(DatagramSocket& socket, Prompter& prompter, QString broadcastAddress,
                     QString receiveError, QObject* parent)
    : QObject(parent), m_socket(socket), m_prompter(prompter), m_broadcast(std::move(broadcastAddress)),
      m_receiveError(std::move(receiveError))
{
    connect(&m_socket, &DatagramSocket::datagramReceived, this,
            [this](const QString& sender, const QByteArray&) {
                m_found << sender;
                Q_EMIT foundChanged();
            });
    connect(&m_socket, &DatagramSocket::receiveFailed, this, [this] { showError(m_receiveError); });
}

std::optional<quint16> Discovery::parsePort(const QString& text)
{
    bool ok = false;
    const int port = text.trimmed().toInt(&ok);
    if (!ok || port < 1 || port > 65535 - kLocalPortOffset)
        return std::nullopt;
    return quint16(port);
}

bool Discovery::findAll()
{
    return find(m_broadcast);
}

bool Discovery::findSpecific()
{
    return find(addressText.trimmed());
}

bool Discovery::find(const QString& host)
{
    m_found.clear();
    Q_EMIT foundChanged();
    m_socket.close();
    const std::optional<quint16> port = parsePort(portText);
    if (!port || !m_socket.bind(quint16(*port + kLocalPortOffset)) || !m_socket.send(host, *port, kRequest)) {
        showError(kSendError);
        return false;
    }
    return true;
}

void Discovery::openEntry(int index)
{
    if (index < 0 || index >= m_found.size())
        return;
    m_prompter.openUrl(QStringLiteral("http://") + m_found[index] + QLatin1Char('/'));
}

void Discovery::showError(const QString& text)
{
    m_prompter.message({text, QString(), Prompter::Icon::None, Prompter::Buttons::Ok, {}});
}

void Discovery::load(const SettingsStore& store, const QString& app)
{
    addressText = store.get(app, kSection, kAddressKey, kDefaultAddress);
    portText = store.get(app, kSection, kPortKey, kDefaultPort);
}

void Discovery::save(SettingsStore& store, const QString& app) const
{
    store.set(app, kSection, kAddressKey, addressText);
    store.set(app, kSection, kPortKey, portText);
}
