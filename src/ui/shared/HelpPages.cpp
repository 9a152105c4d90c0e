#include "HelpPages.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace helppages {

bool isNetworkAddress(const QString& address)
{
    static const QRegularExpression scheme(QStringLiteral("^(https?|ftp|mailto):"),
                                           QRegularExpression::CaseInsensitiveOption);
    return scheme.match(address).hasMatch();
}

QString guideFileName(const QString& request)
{
    QString name = request;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    name = name.section(QLatin1Char('/'), -1).toLower();
    if (name == QLatin1String("acu-pcu_update.pdf"))
        return QStringLiteral("quillan.html");
    return name;
}

QStringList searchFolders(const QString& programFolder)
{
    QStringList folders;
    const QString fromEnvironment = qEnvironmentVariable("QVR_GUIDE_DIR");
    if (!fromEnvironment.isEmpty())
        folders << fromEnvironment;
    folders << QDir(programFolder).absoluteFilePath(QStringLiteral("../share/korvex-quillan/guide"));
#ifdef QVR_BUILD_GUIDE_DIR
    folders << QStringLiteral(QVR_BUILD_GUIDE_DIR);
#endif
    for (QString& folder : folders)
        folder = QDir::cleanPath(folder);
    folders.removeDuplicates();
    return folders;
}

std::optional<QString> locate(const QString& request, const QStringList& folders)
{
    const QString name = guideFileName(request);
    if (name.isEmpty())
        return std::nullopt;
    for (const QString& folder : folders) {
        const QFileInfo file(QDir(folder).filePath(name));
        if (file.isFile() && file.isReadable())
            return file.absoluteFilePath();
    }
    return std::nullopt;
}

QString missingText(const QString& request, const QStringList& folders)
{
    return QStringLiteral("The help page \"%1\" is not installed.\rLooked for %2 in:\r%3")
        .arg(request, guideFileName(request), folders.join(QLatin1Char('\r')));
}

} // namespace helppages
