#pragma once

#include <QString>

class Prompter;

// The "About" box: an information message with the program's version.
QString korvexAboutText(const QString& version);
void showKorvexAbout(Prompter& prompter, const QString& version);
