#include "SequenceSteps.h"

#include "ModuleSelection.h"
#include "Prompter.h"
#include "TerminalScreen.h"
#include "TerminalSession.h"

SequenceSteps::SequenceSteps(TerminalSession& session, ModuleSelection& selection)
    : m_session(session), m_selection(selection)
{
}

SequenceSteps::Sequence::Sequence(SequenceSteps& steps) : m_steps(steps)
{
    if (m_steps.m_depth++ == 0)
        m_steps.m_halted = m_steps.m_stalled = false;
}

SequenceSteps::Sequence::~Sequence()
{
    if (--m_steps.m_depth > 0 || !m_steps.m_halted)
        return;
    m_steps.m_session.screen().showLine(QString::fromLatin1(m_steps.m_stalled ? kStalledLine : kStoppedLine));
    m_steps.setCancelRequested(true);
}

bool SequenceSteps::out(const QByteArray& bytes)
{
    if (m_halted)
        return false;
    if (!m_session.commOut(bytes))
        m_halted = true;
    return !m_halted;
}

bool SequenceSteps::send(const QByteArray& text)
{
    return out(text + TerminalSession::kLineTerminator);
}

bool SequenceSteps::sendBare(const QByteArray& text)
{
    return out(text);
}

bool SequenceSteps::sendCr(const QByteArray& text)
{
    return out(text + '\r');
}

void SequenceSteps::show(const QString& line)
{
    if (!m_halted)
        m_session.screen().showLine(line);
}

void SequenceSteps::showText(const QString& text)
{
    if (!m_halted)
        m_session.screen().showText(text);
}

void SequenceSteps::wait(int ms)
{
    if (!m_halted)
        m_session.modalWait(ms);
}

void SequenceSteps::pause(int ms)
{
    if (m_halted || m_session.flushAndPause(ms))
        return;
    m_halted = m_stalled = true;
    m_session.prompter().error(QString::fromLatin1(kStalledText));
}

QString SequenceSteps::haltReason() const
{
    return m_stalled ? QStringLiteral("the port stopped sending") : QStringLiteral("the port closed");
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
