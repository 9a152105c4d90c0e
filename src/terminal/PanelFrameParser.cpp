#include "PanelFrameParser.h"

namespace {
constexpr int kFrameCodeLimit = 7; // codes below this introduce a frame
}

void PanelFrameParser::reset()
{
    m_state = 0;
    m_acc.clear();
}

QString PanelFrameParser::feed(const QString& text)
{
    QString plain;
    int pos = 0;
    const int n = text.size();
    while (pos < n) {
        switch (m_state) {
        case 0: {
            int i = pos;
            while (i < n && text[i].unicode() >= kFrameCodeLimit)
                ++i;
            plain += QStringView(text).mid(pos, i - pos);
            if (i == n) {
                pos = n;
                break;
            }
            m_state = text[i].unicode();
            m_acc.clear();
            pos = i + 1;
            break;
        }
        case 1:
        case 2: {
            const int cr = text.indexOf(QLatin1Char('\r'), pos);
            const int room = kMaxLine - int(m_acc.size());
            if ((cr < 0 ? n : cr) - pos > room) {
                plain += QChar(m_state);
                plain += m_acc;
                m_acc.clear();
                m_state = 0;
                break;
            }
            if (cr < 0) {
                m_acc += QStringView(text).mid(pos);
                pos = n;
                break;
            }
            m_acc += QStringView(text).mid(pos, cr - pos);
            // The CR and the character after it (the line feed) end the line.
            pos = qMin(n, cr + 2);
            const int line = m_state;
            m_state = 0;
            if (onLine)
                onLine(line, m_acc);
            break;
        }
        case 3:
        case 4: {
            const int want = m_state == 3 ? 2 : 4;
            while (pos < n && m_acc.size() < want)
                m_acc += text[pos++];
            if (m_acc.size() == want) {
                const int line = m_state;
                m_state = 0;
                if (onLine)
                    onLine(line, m_acc);
            }
            break;
        }
        case 6: {
            const int flags = text[pos++].unicode();
            m_state = 0;
            if (onFlags)
                onFlags(flags);
            break;
        }
        default: // 5 (and anything unexpected): back to plain text
            m_state = 0;
            break;
        }
    }
    return plain;
}
