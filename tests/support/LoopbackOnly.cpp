#include "LoopbackOnly.h"

#include <QHostAddress>
#include <QNetworkProxyFactory>

#include <gtest/gtest.h>

namespace {

// Nothing listens on the discard port here; a refused connection is all a guarded socket sees.
constexpr quint16 kClosedLocalPort = 9;

class LoopbackOnlyFactory : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override
    {
        const QString host = query.peerHostName();
        if (host.isEmpty() || loopbackonly::allowed(host))
            return {QNetworkProxy(QNetworkProxy::NoProxy)};
        ADD_FAILURE() << "a test tried to reach " << host.toStdString() << ":" << query.peerPort()
                      << "; tests may reach 127.0.0.1 only";
        return {QNetworkProxy(QNetworkProxy::Socks5Proxy, QStringLiteral("127.0.0.1"), kClosedLocalPort)};
    }
};

} // namespace

bool loopbackonly::allowed(const QString& host)
{
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

void loopbackonly::install()
{
    QNetworkProxyFactory::setApplicationProxyFactory(new LoopbackOnlyFactory);
}
