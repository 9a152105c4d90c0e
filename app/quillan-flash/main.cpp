// quillan-flash: the Auto Upload job without a window, for production lines and scripts.
//
//   quillan-flash --module IDENT --file PATH (--serial DEVICE | --tcp HOST:PORT) [--yes|--no] [--json]
//
// The same engine as the window's Auto Upload button. The questions the window would ask
// (a file of another family, a model change) are answered by --yes or --no; without one of
// them the flasher answers nothing and refuses the job rather than guess. Progress goes to
// standard error; with --json, one JSON object with the job's record goes to standard
// output. Every job is also added to the user's upload history.
#include "AutoUpload.h"
#include "ManualUpload.h"
#include "ModuleSelection.h"
#include "Prompter.h"
#include "QtRuntime.h"
#include "SerialByteLink.h"
#include "SerialPorts.h"
#include "SettingsStore.h"
#include "TcpByteLink.h"
#include "TerminalScreen.h"
#include "TerminalSession.h"
#include "UploadHistory.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kExitUsage = 5;
constexpr int kExitCancelled = 4;

const char* kHelpTail = R"(
Exit codes:
  0  programmed: the file went out to its end and the module reported no error
  1  file refused: missing, failing its checks, or a version the module cannot take
  2  no answer from the unit (or not the answer expected)
  3  errors reported by the module, or the port was lost
  4  cancelled (SIGINT stops the job as the Cancel button does)
  5  usage

Module identifiers: QVRa QVR2a (ACU), QVRp QVR2p (PCU behind the ACU), QVR2mdb (motor driver
behind the ACU), USBpcu SPG2pcu (PCU on USB or the service port), USBmdb (motor driver on USB),
KVMP NMEA VTPCU (boards on and behind a KVMP), SLCD (the KVMP auto update: give up to three
files, the KVMP and NMEA S-record files named 771204... and 771205..., the SLCD image .bin).
)";

QTextStream& err()
{
    static QTextStream s(stderr);
    return s;
}

// The window's questions, answered from the command line.
class FlashPrompter : public Prompter {
public:
    std::optional<bool> yes; // --yes / --no
    QStringList files;
    bool refusedQuestion = false;

    Answer message(const Message& m) override
    {
        QString text = m.text;
        text.replace(QLatin1Char('\r'), QLatin1String("\n  "));
        err() << "quillan-flash: " << text << '\n';
        const bool question = m.buttons == Buttons::YesNo || m.buttons == Buttons::YesNoCancel ||
                              m.buttons == Buttons::OkCancel;
        if (!question)
            return Answer::Ok;
        if (!yes) {
            refusedQuestion = true;
            err() << "quillan-flash: this needs an answer: give --yes or --no; the job is refused\n";
            // "No" to a warning refuses the file; the second box ("Quit now?") is never reached.
            return m.buttons == Buttons::OkCancel ? Answer::Cancel : Answer::No;
        }
        // The second box of the warning pair asks "Quit now, Yes or No ?": going on is "No".
        const bool quitQuestion = m.title == QLatin1String("Are You Sure?");
        if (m.buttons == Buttons::OkCancel)
            return *yes ? Answer::Ok : Answer::Cancel;
        return (*yes != quitQuestion) ? Answer::Yes : Answer::No;
    }
    // Each chooser gets the file meant for it, once (a second ask is the "not found" loop).
    QString openFileName(const FileRequest& r) override
    {
        const auto take = [this](const std::function<bool(const QString&)>& fits) {
            for (qsizetype i = 0; i < files.size(); ++i)
                if (fits(QFileInfo(files[i]).fileName()))
                    return files.takeAt(i);
            return QString();
        };
        if (r.title.contains(QLatin1String("KVMP S19")))
            return take([](const QString& n) { return n.startsWith("771204") || n.contains("KVMP", Qt::CaseInsensitive); });
        if (r.title.contains(QLatin1String("NMEA S19")))
            return take([](const QString& n) { return n.startsWith("771205") || n.contains("NMEA", Qt::CaseInsensitive); });
        if (r.title.contains(QLatin1String("SLCD")))
            return take([](const QString& n) { return n.endsWith(".bin", Qt::CaseInsensitive); });
        return take([](const QString&) { return true; });
    }
    QString saveFileName(const FileRequest&) override { return QString(); }
    std::optional<quint32> chooseColor(quint32) override { return std::nullopt; }
    void openUrl(const QString&) override {}
};

int sigintPipe[2] = {-1, -1};

void onSigint(int)
{
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(sigintPipe[1], &c, 1);
}

QJsonObject toJson(const UploadJob& job, int exitCode)
{
    QJsonArray steps;
    for (const UploadJob::Step& s : job.steps)
        steps.append(QJsonObject{{"name", s.name}, {"attempts", s.attempts}, {"retries", qMax(0, s.attempts - 1)},
                                 {"ok", s.ok}});
    return QJsonObject{{"module", job.module},
                       {"file", job.file},
                       {"sha256", job.sha256},
                       {"versionsBefore", QJsonArray::fromStringList(job.versionsBefore)},
                       {"steps", steps},
                       {"verdict", UploadJob::verdictName(job.verdict)},
                       {"verdictText", job.verdictText},
                       {"durationMs", job.durationMs},
                       {"bytesSent", job.bytesSent},
                       {"exitCode", exitCode}};
}

QString clock(qint64 ms)
{
    const qint64 s = ms / 1000;
    return QStringLiteral("%1:%2").arg(s / 60, 2, 10, QLatin1Char('0')).arg(s % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillan-flash"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILLAN_VERSION));

    QCommandLineParser args;
    args.setApplicationDescription(QStringLiteral("Programs one module the way Quillan's Auto Upload does.") +
                                   QString::fromLatin1(kHelpTail));
    args.addHelpOption();
    args.addVersionOption();
    const QCommandLineOption moduleOpt("module", "The module's identifier (QVR2a, USBpcu, KVMP, ...).", "IDENT");
    const QCommandLineOption fileOpt("file", "The firmware file (repeat for the KVMP auto update).", "PATH");
    const QCommandLineOption serialOpt("serial", "The serial device (/dev/ttyUSB0, a pseudo-terminal).", "DEVICE");
    const QCommandLineOption tcpOpt("tcp", "The unit's TCP address.", "HOST:PORT");
    const QCommandLineOption yesOpt("yes", "Answer Yes to the warnings (go on anyway).");
    const QCommandLineOption noOpt("no", "Answer No to the warnings (refuse).");
    const QCommandLineOption jsonOpt("json", "Write the job's record as one JSON object to standard output.");
    args.addOptions({moduleOpt, fileOpt, serialOpt, tcpOpt, yesOpt, noOpt, jsonOpt});
    if (!args.parse(QCoreApplication::arguments())) {
        err() << "quillan-flash: " << args.errorText() << '\n';
        return kExitUsage;
    }
    if (args.isSet(QStringLiteral("help"))) {
        QTextStream(stdout) << args.helpText();
        return 0;
    }
    if (args.isSet(QStringLiteral("version"))) {
        QTextStream(stdout) << "quillan-flash " << QUILLAN_VERSION << '\n';
        return 0;
    }
    const auto usage = [](const QString& text) {
        err() << "quillan-flash: " << text << "\n(see --help)\n";
        return kExitUsage;
    };
    const std::optional<Module> module = ModuleTable::byIdentifier(args.value(moduleOpt));
    if (!module)
        return usage(QStringLiteral("--module names no module: ") + args.value(moduleOpt));
    const ModuleFamily family = ModuleTable::row(*module).family;
    if (family == ModuleFamily::TerminalOnly || family == ModuleFamily::ManualOnly)
        return usage(QStringLiteral("the Auto Upload job does not program ") + args.value(moduleOpt));
    if (args.values(fileOpt).isEmpty())
        return usage(QStringLiteral("--file is needed"));
    if (args.isSet(serialOpt) == args.isSet(tcpOpt))
        return usage(QStringLiteral("give one of --serial and --tcp"));
    if (args.isSet(yesOpt) && args.isSet(noOpt))
        return usage(QStringLiteral("--yes and --no exclude each other"));
    QString host;
    int port = 0;
    if (args.isSet(tcpOpt)) {
        const QString t = args.value(tcpOpt);
        const qsizetype colon = t.lastIndexOf(QLatin1Char(':'));
        bool ok = false;
        port = colon > 0 ? t.mid(colon + 1).toInt(&ok) : 0;
        if (!ok || port < 1 || port > 65535)
            return usage(QStringLiteral("--tcp wants HOST:PORT"));
        host = t.left(colon);
        if (!ModuleTable::allowsTcp(*module))
            return usage(QStringLiteral("TCP/IP not allowed for the present module selection"));
    }

    QtRuntime runtime;
    FlashPrompter prompter;
    prompter.files = args.values(fileOpt);
    if (args.isSet(yesOpt) || args.isSet(noOpt))
        prompter.yes = args.isSet(yesOpt);
    // A settings store of its own: a script never changes the window's settings.
    MemorySettingsStore store;
    const QString profile = QStringLiteral("QuillanUniv1");
    const QString section = QString::fromLatin1(TerminalSession::kSection);
    store.set(profile, section, QStringLiteral("Direct"), QString::fromLatin1(ModuleTable::row(*module).identifier));
    store.set(profile, section, QStringLiteral("Settings"),
              QString::number(ModuleTable::row(*module).speed) + QStringLiteral(",N,8,1"));
    store.set(profile, section, QStringLiteral("CommPort"), QStringLiteral("1"));
    store.set(profile, section, QStringLiteral("Type"), args.isSet(serialOpt) ? "True" : "False");
    if (args.isSet(serialOpt))
        setComDevice(store, profile, 1, args.value(serialOpt));
    else {
        store.set(profile, section, QStringLiteral("Address"), host);
        store.set(profile, section, QStringLiteral("PortNumber"), QString::number(port));
    }

    SerialByteLink serial(runtime);
    TcpByteLink tcp(runtime);
    TerminalSession session(runtime, prompter, store, serial, tcp, 1);
    ModuleSelection selection(session);
    ManualUpload manual(session, selection);
    AutoUpload job(session, selection, manual);
    UploadHistory history;
    job.setRecorder([&history](const UploadJob& j) {
        QString error;
        if (!history.append(j, &error))
            err() << "quillan-flash: upload history not written: " << error << '\n';
    });

    // The terminal's lines, and the transfer's progress once a second.
    QObject::connect(&session.screen(), &TerminalScreen::textAppended, [](const QString& text) {
        err() << text;
        err().flush();
    });
    qint64 lastReportMs = -1000;
    const auto report = [&](qint64 done, qint64 total, qint64 elapsedMs) {
        if (elapsedMs - lastReportMs < 1000 && done != total)
            return;
        lastReportMs = elapsedMs;
        const qint64 leftMs = done > 0 && total > done ? elapsedMs * (total - done) / done : 0;
        err() << "\nquillan-flash: " << done << " of " << total << " lines sent, elapsed " << clock(elapsedMs)
              << ", left " << clock(leftMs) << '\n';
        err().flush();
    };
    QObject::connect(&manual.transfer(), &S19Transfer::progress, report);
    QObject::connect(&job, &AutoUpload::progress, report);

    // SIGINT is the Cancel button: the transfer stops before its next line and the job ends
    // with its cancelled verdict. Before the transfer, the flag waits for it to begin.
    bool interrupted = false;
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, sigintPipe) == 0) {
        auto* notifier = new QSocketNotifier(sigintPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, [&] {
            char c;
            [[maybe_unused]] const ssize_t n = ::read(sigintPipe[0], &c, 1);
            interrupted = true;
            err() << "\nquillan-flash: interrupted, cancelling\n";
            session.requestCancel();
        });
        std::signal(SIGINT, onSigint);
    }
    const auto keepCancelled = [&] {
        if (interrupted)
            session.requestCancel();
    };
    QObject::connect(&manual.transfer(), &S19Transfer::cancelWindowShown, keepCancelled);
    QObject::connect(&job, &AutoUpload::cancelWindowShown, keepCancelled);

    int exitCode = 2;
    QTimer::singleShot(0, &app, [&] {
        session.start();
        UploadJob result;
        if (!session.isPortOpen()) {
            err() << "quillan-flash: the port did not open\n";
            result.module = QString::fromLatin1(ModuleTable::row(*module).identifier);
            result.verdict = UploadJob::Verdict::NoAnswer;
            result.verdictText = QStringLiteral("the port did not open");
        } else {
            result = job.run();
        }
        exitCode = int(result.verdict);
        if (interrupted)
            exitCode = kExitCancelled;
        if (args.isSet(jsonOpt))
            QTextStream(stdout) << QJsonDocument(toJson(result, exitCode)).toJson(QJsonDocument::Compact) << '\n';
        err() << "\nquillan-flash: " << UploadJob::verdictName(result.verdict) << " (exit " << exitCode << ")\n";
        session.shutdown();
        QCoreApplication::exit(exitCode);
    });
    app.exec();
    return exitCode;
}
