#pragma once

#include <QObject>
#include <QString>

#include <memory>

class DatagramSocket;
class Discovery;
class FindQvrWindow;
class QuillanWindow;
class TerminalSession;

// Quillan's copy of the discovery window, on its "Find Local and Remote QVRs" menu item.
// Its two boxes live in this instance's settings (section "FindQvrs"): restored when the
// window loads, stored when it closes. A receive error reads as a send error here, and
// there is no help page.
class QuillanFindQvrs : public QObject {
    Q_OBJECT
public:
    // discoveryAddress: the broadcast address in the program, 127.0.0.1 in a demo.
    QuillanFindQvrs(QuillanWindow& window, TerminalSession& session, const QString& discoveryAddress);
    ~QuillanFindQvrs() override;

    FindQvrWindow* window() const { return m_window; }
    Discovery& discovery() { return *m_discovery; }
    void open();

private:
    TerminalSession& m_session;
    std::unique_ptr<DatagramSocket> m_socket;
    std::unique_ptr<Discovery> m_discovery;
    FindQvrWindow* m_window;
};
