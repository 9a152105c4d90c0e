#include "ScreenFiles.h"

#include "Prompter.h"

#include <QFile>
#include <QFileInfo>

QString ScreenFiles::headerLine(const QString& versionText)
{
    return QStringLiteral("Programming Terminal ") + versionText +
           QStringLiteral(".  Save Screen text capture:");
}

bool ScreenFiles::saveScreen(const QString& screenText, const QString& versionText)
{
    const Prompter::FileRequest request{QString::fromLatin1(kDialogTitle), QString::fromLatin1(kFilter),
                                        QString(), QString()};
    QString path;
    for (;;) {
        path = m_prompter.saveFileName(request);
        if (path.isEmpty())
            return false;
        if (!QFileInfo::exists(path))
            break;
        const Prompter::Answer a =
            m_prompter.ask(QStringLiteral("Overwrite existing file - ") + path + QLatin1Char('?'),
                           Prompter::Buttons::YesNo, QString(), Prompter::Icon::Question);
        if (a == Prompter::Answer::Yes)
            break;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_prompter.error(file.errorString());
        return false;
    }
    const QByteArray bytes = (headerLine(versionText) + QStringLiteral("\r\n") + screenText).toLatin1();
    if (file.write(bytes) != bytes.size()) {
        m_prompter.error(file.errorString());
        return false;
    }
    return true;
}
