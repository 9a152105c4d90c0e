#include "QuillanFindQvrs.h"

#include "DatagramSocket.h"
#include "Discovery.h"
#include "FindQvrWindow.h"
#include "QuillanActions.h"
#include "QuillanWindow.h"
#include "TerminalSession.h"

#include <QAction>

QuillanFindQvrs::QuillanFindQvrs(QuillanWindow& window, TerminalSession& session,
                                 const QString& discoveryAddress)
    : QObject(&window), m_session(session), m_socket(std::make_unique<UdpDatagramSocket>()),
      m_discovery(
          std::make_unique<Discovery>(*m_socket, session.prompter(), discoveryAddress, Discovery::kSendError))
{
    m_window = new FindQvrWindow(
        *m_discovery, session.prompter(), QString(), [&window] { window.openProperties(); }, &window);
    connect(m_window, &FindQvrWindow::closed, this,
            [this] { m_discovery->save(m_session.store(), m_session.profileName()); });
    if (QAction* item = window.actions().findQvrs)
        connect(item, &QAction::triggered, this, &QuillanFindQvrs::open);
}

QuillanFindQvrs::~QuillanFindQvrs() = default;

void QuillanFindQvrs::open()
{
    if (!m_window->isVisible()) {
        m_discovery->load(m_session.store(), m_session.profileName());
        m_window->showFields();
    }
    m_window->show();
    m_window->raise();
}
