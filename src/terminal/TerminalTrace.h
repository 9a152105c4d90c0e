#pragma once

#include "LinkTraceLines.h"

#include <QObject>
#include <QString>

class ByteLink;
class SessionTrace;
class TerminalSession;

// Feeds Quillan's events into the session trace: the link opening and closing and every
// status text shown. The bytes sent (keys, files, every piece of an upload) and received
// and the message boxes come from the byte links and the prompter (SessionTrace,
// TracingPrompter), which see them first.
class TerminalTrace : public QObject {
    Q_OBJECT
public:
    TerminalTrace(TerminalSession& session, ByteLink& serial, ByteLink& tcp, SessionTrace& trace,
                  QObject* parent = nullptr);

private:
    QString linkDescription() const;

    TerminalSession& m_session;
    SessionTrace& m_trace;
    LinkTraceLines m_link;
};
