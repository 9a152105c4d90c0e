// The same link logic over a real TCP socket on 127.0.0.1, in real time.
#include "KorvexSession.h"
#include "Prompter.h"
#include "QtRuntime.h"
#include "SerialByteLink.h"
#include "SettingsStore.h"
#include "TcpByteLink.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

TEST(TcpLoopback, OpensSendsAndReconnectsAfterTheUnitHangsUp)
{
    // Profiles keep the port as a signed 16-bit number, so the system's ephemeral ports
    // (above 32767) cannot be used: take a free one below.
    QTcpServer server;
    quint16 port = quint16(20000 + QCoreApplication::applicationPid() % 10000);
    for (int tries = 0; tries < 200 && !server.listen(QHostAddress::LocalHost, port); ++tries)
        port = quint16(20000 + (port - 20000 + 37) % 12000);
    ASSERT_TRUE(server.isListening());

    QtRuntime rt;
    MemorySettingsStore store;
    auto put = [&](const char* k, const QString& v) { store.set("multQVRRemote", "Properties", k, v); };
    put("Serial1", "False");
    put("Address1", "127.0.0.1");
    put("Port1", QString::number(server.serverPort()));
    ScriptedPrompter prompter;
    SerialByteLink serial(rt);
    TcpByteLink tcp(rt);
    KorvexSession session(store, prompter, rt, serial, tcp);
    QByteArray received;
    QObject::connect(&session.link(), &DeviceLink::received, [&](const QByteArray& d) { received += d; });

    session.start();
    ASSERT_TRUE(session.link().portOpen()) << tcp.errorString().toStdString();
    ASSERT_TRUE(rt.waitUntil([&] { return server.hasPendingConnections(); }, 2000));
    QPointer<QTcpSocket> unit = server.nextPendingConnection();

    ASSERT_TRUE(session.link().commOut("P"));
    ASSERT_TRUE(rt.waitUntil([&] { return unit->bytesAvailable() > 0; }, 2000));
    EXPECT_EQ(unit->readAll(), "P");
    unit->write("ACK P\r");
    ASSERT_TRUE(rt.waitUntil([&] { return received == "ACK P\r"; }, 2000));

    unit->disconnectFromHost();
    ASSERT_TRUE(rt.waitUntil([&] { return !tcp.isOpen(); }, 2000));
    EXPECT_TRUE(session.link().portOpen());

    ASSERT_TRUE(session.link().commOut("H"));
    ASSERT_TRUE(server.hasPendingConnections() || server.waitForNewConnection(2000));
    QPointer<QTcpSocket> again = server.nextPendingConnection();
    ASSERT_TRUE(rt.waitUntil([&] { return again->bytesAvailable() > 0; }, 2000));
    EXPECT_EQ(again->readAll(), "H");
    EXPECT_TRUE(prompter.messages.isEmpty());
}

} // namespace
