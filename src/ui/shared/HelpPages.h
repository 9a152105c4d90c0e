#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

// Where the programs' help documents are on this machine. The programs ask for their pages
// by the names they have always used ("index.html", "html\capture.html", a Windows path to
// a manual); the user guides installed with the programs answer to those names by file
// name, so a request finds its page whatever folder it was written with.
namespace helppages {

// Network addresses (a unit's web page) are opened as they are; everything else is a
// document looked up in the guide folders.
bool isNetworkAddress(const QString& address);

// The guide file that answers a request, by its last path component (either separator),
// without regard to case; a few requests have an alias (the terminal's update manual is
// part of its guide).
QString guideFileName(const QString& request);

// The folders searched, first match wins: QVR_GUIDE_DIR when set, the installed folder
// beside the program (../share/korvex-quillan/guide), and the build tree's copy.
QStringList searchFolders(const QString& programFolder);

// The page's local file, or nothing when no folder has it.
std::optional<QString> locate(const QString& request, const QStringList& folders);

// The message shown when a page is missing: what was asked for and where it was looked for.
QString missingText(const QString& request, const QStringList& folders);

} // namespace helppages
