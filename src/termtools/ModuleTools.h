#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

#include <vector>

class ModuleSelection;
class SequenceSteps;
class TerminalSession;

// The Tools menu's service commands for each board, the factory-default load, the
// toolbar's version, status and KVMP buttons, the DTR box's phone power and the help
// document. Every command goes through the session's one send path; nothing here reads
// the replies, which the terminal shows as they come.
class ModuleTools : public QObject {
    Q_OBJECT
public:
    // How a command is framed on the wire.
    enum class Framing {
        EscLine, // escape, the text, CR LF
        Line,    // the text, CR LF
        Esc,     // escape, the text
        Bare,    // the text alone
        Cr,      // the text, CR
    };
    struct Command {
        QByteArray text;
        Framing framing;
    };
    // What a tool does after its commands.
    enum class After { Nothing, ReopenPcu, ReopenCommIf };
    struct Tool {
        const char* caption; // the menu text
        std::vector<Command> commands;
        int pauseMs = 0; // drained output and this pause between two commands
        After after = After::Nothing;
    };

    static constexpr const char* kFactoryQuestion =
        "Are you sure you want to re-set ALL QVR NVRAM parameters?";
    static constexpr const char* kFactoryTitle = "Load Factory Defaults";
    static constexpr int kFactoryPauseMs = 200;
    static constexpr int kSaveWaitMs = 1000;
    static constexpr int kPcuResetWaitMs = 3000;
    static constexpr int kCommIfResetFirstMs = 1000;
    static constexpr int kCommIfResetSecondMs = 4000;
    // How long "KVMP Comms Off" listens for the panel board before it stops it.
    static constexpr int kKvmpListenMs = 1000;
    static constexpr const char* kDocumentPath = "\\Program Files\\Quillan\\ACU-PCU_Update.pdf";

    ModuleTools(TerminalSession& session, ModuleSelection& selection, QObject* parent = nullptr);
    ~ModuleTools() override;

    // The menu's tools in menu order; captions are the menu texts.
    static const std::vector<Tool>& tools();
    static const Tool* tool(const QString& caption);
    static QByteArray framed(const Command& command);
    // The 36 commands of the factory defaults, in order, without line ends.
    static const QList<QByteArray>& factoryCommands();

    // A Tools-menu command by its caption. False when it is not a command or a send was refused.
    bool runTool(const QString& caption);
    // "Load Factory Default Parameters". True when the list was sent and saved.
    bool loadFactoryDefaults();
    // The toolbar's "Module Version" and "Module Status", by the module selection.
    void moduleVersion();
    void moduleStatus();
    // The toolbar's "KVMP Comms On" and "KVMP Comms Off".
    void kvmpCommsOn();
    void kvmpCommsOff();
    // A click on the DTR box.
    void dtrClicked(bool on);
    // "Instructions": the update manual, through the prompter's document opener.
    void openInstructions();

private:
    bool sendAll(const std::vector<Command>& commands, int pauseMs);
    bool send(const Command& command);

    TerminalSession& m_session;
    std::unique_ptr<SequenceSteps> m_steps;
};
