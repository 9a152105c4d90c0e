#pragma once

#include "LinkTraceLines.h"

#include <QObject>
#include <QString>

class ByteLink;
class SessionTrace;
class TerminalSession;

// Feeds Quillan's events into the session trace: the link opening and closing, everything
// that goes out through the send path (keys, files, every piece of an upload) and every
// status text shown. Received chunks and message boxes come from the byte links and the
// prompter (SessionTrace, TracingPrompter), which see them first.
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
