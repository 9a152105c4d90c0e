#pragma once

#include <QString>

class Prompter;

// "Save Screen (text to file)". Printing is the window's job (it prints its own image).
class ScreenFiles {
public:
    static constexpr const char* kFilter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*";
    static constexpr const char* kDialogTitle = "Save Screen";

    explicit ScreenFiles(Prompter& prompter) : m_prompter(prompter) {}

    // Dialog, overwrite prompt, header line and the screen text. True when written.
    bool saveScreen(const QString& screenText, const QString& versionText);
    static QString headerLine(const QString& versionText);

private:
    Prompter& m_prompter;
};
