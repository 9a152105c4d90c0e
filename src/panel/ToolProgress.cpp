#include "ToolProgress.h"

void ToolProgress::setLabel(const QString& label)
{
    if (m_label == label)
        return;
    m_label = label;
    Q_EMIT labelChanged(label);
}

void ToolProgress::setValue(int value)
{
    if (value < 0 || value >= kMaximum || value == m_value)
        return;
    m_value = value;
    Q_EMIT valueChanged(value);
}

void ToolProgress::show()
{
    if (m_shown)
        return;
    m_shown = true;
    Q_EMIT shownChanged(true);
}

void ToolProgress::hide()
{
    if (!m_shown)
        return;
    m_shown = false;
    Q_EMIT shownChanged(false);
}
