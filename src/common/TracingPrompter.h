#pragma once

#include "Prompter.h"

class SessionTrace;

// Puts every question to the user into the session trace: a message box's text and the
// answer, a file dialog's title and the chosen path (empty when cancelled), the colour
// dialog and the pages opened. Everything else is the prompter it wraps.
class TracingPrompter : public Prompter {
public:
    TracingPrompter(Prompter& inner, SessionTrace& trace) : m_inner(inner), m_trace(trace) {}

    Answer message(const Message& message) override;
    QString openFileName(const FileRequest& request) override;
    QString saveFileName(const FileRequest& request) override;
    std::optional<quint32> chooseColor(quint32 initialBgr) override;
    void openUrl(const QString& url) override;

    // "Ok", "Cancel", "Yes", "No", "Retry", "Abort", "Ignore".
    static QString answerName(Answer answer);

private:
    Prompter& m_inner;
    SessionTrace& m_trace;
};
