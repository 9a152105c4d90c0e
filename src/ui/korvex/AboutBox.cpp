#include "AboutBox.h"

#include "Prompter.h"

QString korvexAboutText(const QString& version)
{
    return QStringLiteral("QVR Remote Panel Interface    \r\rVersion ") + version +
           QStringLiteral("\rBuild 25.Jun.2013 ");
}

void showKorvexAbout(Prompter& prompter, const QString& version)
{
    prompter.message({korvexAboutText(version),
                      QStringLiteral("About"),
                      Prompter::Icon::Information,
                      Prompter::Buttons::Ok,
                      {}});
}
