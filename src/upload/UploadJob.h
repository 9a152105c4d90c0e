#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <vector>

// What one programming job did, for the technician's record and for scripts: which module
// and file, the versions the module reported before, each step with its retries, and how
// it ended.
struct UploadJob {
    // How a job ended. The numbers are the headless flasher's exit codes.
    enum class Verdict {
        Programmed = 0,   // the transfer ran to its end with no refused send and no error marker
        FileRefused = 1,  // no file, a file that failed its checks, or a version the module cannot take
        NoAnswer = 2,     // the module (or the unit in front of it) did not answer as it should
        ModuleErrors = 3, // the module reported errors (erase or transfer), or the port was lost
        Cancelled = 4,
    };

    struct Step {
        QString name;     // "Verify", "Lock ports", "Probe", "Bootloader start", "Erase", "Transfer", "Verdict"
        int attempts = 0; // 1 when it went through at once
        bool ok = false;
    };

    QString when;   // ISO 8601, UTC
    QString module; // the module's identifier ("QVR2a")
    QString file;   // the file's path
    QString sha256; // hex, of the file's bytes
    QStringList versionsBefore;
    std::vector<Step> steps;
    Verdict verdict = Verdict::NoAnswer;
    QString verdictText; // the last progress line that says why
    qint64 durationMs = 0;
    qint64 bytesSent = 0;

    int retries() const
    {
        int n = 0;
        for (const Step& s : steps)
            n += qMax(0, s.attempts - 1);
        return n;
    }
    static QString verdictName(Verdict v)
    {
        switch (v) {
        case Verdict::Programmed:
            return QStringLiteral("programmed");
        case Verdict::FileRefused:
            return QStringLiteral("file refused");
        case Verdict::NoAnswer:
            return QStringLiteral("no answer");
        case Verdict::ModuleErrors:
            return QStringLiteral("errors");
        case Verdict::Cancelled:
            return QStringLiteral("cancelled");
        }
        return QString();
    }
};
