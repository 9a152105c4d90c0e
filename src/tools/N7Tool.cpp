#include "N7Tool.h"

#include "NumberFormat.h"

#include <cmath>

QString N7Tool::groupCaption(int group)
{
    static const char* const kCaptions[] = {"Phase", "CL Drive", "AZ Drive", "EL Drive"};
    return QString::fromLatin1(kCaptions[group & 3]);
}

QStringList N7Tool::optionCaptions(int group)
{
    switch (group) {
    case Phase:
        return {QStringLiteral("+90 Deg"), QStringLiteral("+45 Deg"), QStringLiteral("  0 Deg"),
                QStringLiteral("-45 Deg")};
    case AzDrive:
        return {QStringLiteral("1/8"), QStringLiteral("1/4"), QStringLiteral("1/2"), QStringLiteral("Max")};
    default:
        return {QStringLiteral("Max"), QStringLiteral("1/2"), QStringLiteral("1/4"), QStringLiteral("1/8")};
    }
}

N7Tool::N7Tool()
{
    select(Phase, 3);
}

void N7Tool::select(int group, int index)
{
    if (group < 0 || group > 3 || index < 0 || index > 3)
        return;
    m_index[group] = index;
}

int N7Tool::value() const
{
    int sum = 0;
    for (int g = 0; g < 4; ++g)
        sum += groupValue(g);
    return sum;
}

void N7Tool::decode(const QString& text)
{
    // The low byte, its sign kept: -1 reads as -1 and gives no option, 300 reads as 44.
    const qint64 whole = qint64(std::trunc(numfmt::leadingNumber(text)));
    const int v = int(whole < 0 ? -((-whole) & 0xFF) : (whole & 0xFF));
    if (v < 0)
        return;
    const int phase = v / 64;
    int r = v - phase * 64;
    const int cl = r / 16;
    r -= cl * 16;
    const int az = r / 4;
    const int el = r - az * 4;
    select(Phase, phase);
    select(ClDrive, cl);
    select(AzDrive, az);
    select(ElDrive, el);
}
