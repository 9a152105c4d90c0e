#pragma once

#include <QString>
#include <QStringList>

#include <array>

// The pedestal's packed parameter "n7": Nutara phase and the drive limits of the three
// axes, each an option index 0..3, packed as Phase x 64 + CL x 16 + AZ x 4 + EL.
class N7Tool {
public:
    enum Group { Phase = 0, ClDrive = 1, AzDrive = 2, ElDrive = 3 };
    static constexpr std::array<int, 4> kWeights{64, 16, 4, 1};

    // Frame caption and the four option captions of a group (the AZ group lists its
    // captions in the opposite order to the other drive groups).
    static QString groupCaption(int group);
    static QStringList optionCaptions(int group);

    // Opening: the phase group as for index 3.
    N7Tool();

    // Selecting an option stores index x weight as the group's value.
    void select(int group, int index);
    int index(int group) const { return m_index[group]; }
    int groupValue(int group) const { return m_index[group] * kWeights[group]; }
    int value() const;
    // Text1, as the sum of the four values.
    QString valueText() const { return QString::number(value()); }

    // Enter in Text1: the number's low eight bits pick the four options.
    void decode(const QString& text);

private:
    std::array<int, 4> m_index{};
};
