#include "SequenceSteps.h"

#include "ModuleSelection.h"
#include "TerminalScreen.h"
#include "TerminalSession.h"

SequenceSteps::SequenceSteps(TerminalSession& session, ModuleSelection& selection)
    : m_session(session), m_selection(selection)
{
}

bool SequenceSteps::send(const QByteArray& text)
{
    return m_session.commOut(text + TerminalSession::kLineTerminator);
}

bool SequenceSteps::sendBare(const QByteArray& text)
{
    return m_session.commOut(text);
}

bool SequenceSteps::sendCr(const QByteArray& text)
{
    return m_session.commOut(text + '\r');
}

void SequenceSteps::show(const QString& line)
{
    m_session.screen().showLine(line);
}

void SequenceSteps::showText(const QString& text)
{
    m_session.screen().showText(text);
}

void SequenceSteps::wait(int ms)
{
    m_session.modalWait(ms);
}

void SequenceSteps::pause(int ms)
{
    m_session.flushAndPause(ms);
}

void SequenceSteps::captureOn()
{
    m_session.setReplyCapture(true);
}

void SequenceSteps::captureOff()
{
    m_session.setReplyCapture(false);
}

void SequenceSteps::clearReply()
{
    m_session.clearReplyText();
}

bool SequenceSteps::replyContains(const QString& text) const
{
    return m_session.replyText().contains(text);
}

int SequenceSteps::replyLength() const
{
    return int(m_session.replyText().size());
}

bool SequenceSteps::checked(Module module) const
{
    return m_selection.isChecked(module);
}

bool SequenceSteps::anyChecked(std::initializer_list<Module> modules) const
{
    for (Module m : modules)
        if (m_selection.isChecked(m))
            return true;
    return false;
}

bool SequenceSteps::cancelRequested() const
{
    return m_session.cancelRequested();
}

void SequenceSteps::setCancelRequested(bool on)
{
    m_session.setCancelRequested(on);
}
