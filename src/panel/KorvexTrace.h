#pragma once

#include "LinkTraceLines.h"

#include <QObject>
#include <QString>

class ByteLink;
class KorvexSession;
class SessionTrace;

// Feeds Korvex's events into the session trace: the link opening and closing, every sync
// error with its code and every status text shown. The bytes sent and received and the
// message boxes come from the byte links and the prompter (SessionTrace, TracingPrompter),
// which see them first.
class KorvexTrace : public QObject {
    Q_OBJECT
public:
    KorvexTrace(KorvexSession& session, ByteLink& serial, ByteLink& tcp, SessionTrace& trace,
                QObject* parent = nullptr);

private:
    QString linkDescription() const;

    KorvexSession& m_session;
    ByteLink& m_serial;
    SessionTrace& m_trace;
    LinkTraceLines m_link;
};
