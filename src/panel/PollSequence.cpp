#include "PollSequence.h"

#include "CommandVocabulary.h"

PollSequence::Step PollSequence::next()
{
    Step step;
    const int n = int(m_text.size());
    if (n == 0)
        return step;
    if (m_position < 1 || m_position > n)
        m_position = 1;
    step.atStart = m_position == 1;
    const char c = m_text[m_position - 1];
    ++m_position;
    if (c == '!') {
        step.command = m_text.mid(m_position - 1, 5) + vocab::kCrLf.toByteArray();
        m_position += 5;
    } else {
        step.command = QByteArray(1, c);
    }
    if (m_position > n) {
        m_position = 1;
        step.wrapped = true;
    }
    return step;
}
