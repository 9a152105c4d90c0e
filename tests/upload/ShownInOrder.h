#pragma once

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <vector>

// Each text found in what the terminal showed, after the previous one.
template <typename Texts>
::testing::AssertionResult shownInOrderOf(const QString& text, const Texts& expected)
{
    qsizetype at = 0;
    for (const QString& e : expected) {
        const qsizetype found = text.indexOf(e, at);
        if (found < 0)
            return ::testing::AssertionFailure() << "\"" << e.toStdString() << "\" missing (in order) in:\n"
                                                 << text.toStdString();
        at = found + e.size();
    }
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult shownInOrder(const QString& text, const QStringList& expected)
{
    return shownInOrderOf(text, expected);
}

inline ::testing::AssertionResult inOrder(const QString& text, const std::vector<QString>& expected)
{
    return shownInOrderOf(text, expected);
}
