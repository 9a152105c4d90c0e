#include "ModuleTools.h"

#include "ModuleSelection.h"
#include "Prompter.h"
#include "Runtime.h"
#include "SequenceSteps.h"
#include "TerminalScreen.h"
#include "TerminalSession.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace {

using F = ModuleTools::Framing;
using C = ModuleTools::Command;

} // namespace

ModuleTools::ModuleTools(TerminalSession& session, ModuleSelection& selection, QObject* parent)
    : QObject(parent), m_session(session), m_steps(std::make_unique<SequenceSteps>(session, selection))
{
}

ModuleTools::~ModuleTools() = default;

const std::vector<ModuleTools::Tool>& ModuleTools::tools()
{
    static const std::vector<Tool> table = {
        {"ACU Version                 (V  )", {{"V", F::Esc}}},
        {"ACU ReStart Boot Ld   (S9 )", {{"S9", F::Line}}},
        {"ACU Reset                   (\\0090)", {{"\\0090", F::EscLine}}},
        {"ACU Param Dump        ([?A    )", {{"[?A  ", F::EscLine}}},
        {"ACU Param Save         (\\0087)", {{"\\0087", F::EscLine}}},
        {"PCU Version                 (?V      )", {{"?V", F::EscLine}}},
        {"PCU ReStart Boot Ld   (?S?9)", {{"?S", F::Line}, {"?9", F::Line}}, 10},
        {"PCU Reset                   (^0090)", {{"^0090", F::EscLine}}, 0, After::ReopenPcu},
        {"PCU Param Save         (^0087)", {{"^0087", F::EscLine}}},
        {"PCU Param Dump        ([?P      )", {{"[?P  ", F::EscLine}}},
        {"Comm IF Version            ([V   )", {{"[V   ", F::EscLine}}},
        {"Comm IF Reset              ([Z   )", {{"[Z   ", F::Line}}, 0, After::ReopenCommIf},
        {"Comm IF Lock Ports       ([L   )", {{"[L", F::Line}}},
        {"Comm IF Param Dump   ([?   )", {{"[?", F::EscLine}}},
        {"Comm IF Param Save    ([W   )", {{"[W   ", F::Line}}},
        {"DVB Version                 (wV   , w!)", {{"wV   ", F::Line}, {"w!   ", F::Line}}, 50},
        {"DVB ReStart Boot Ld   (wS9   )", {{"wS9  ", F::Line}}},
        {"Version                  (<0411)", {{"<0411", F::Line}}},
        {"Status                   (<0000)", {{"<0000", F::Line}}},
        {"Temperature         (<0273)", {{"<0273", F::Line}}},
        {"Serial Number        (<1234)", {{"<1234", F::Line}}},
        {"Version                  (>0411)", {{">0411", F::Line}}},
        {"Status                   (>0000)", {{">0000", F::Line}}},
        {"Temperature         (>0273)", {{">0273", F::Line}}},
        {"Serial Number        (>1234)", {{">1234", F::Line}}},
        {"MDE Version             (]0411)", {{"]0411", F::Line}}},
        {"MDE Status              (]6000)", {{"]6000", F::Line}}},
        {"MDE Temperature    (]0273)", {{"]0273", F::Line}}},
        {"MDE Relative-USB    (]6008)", {{"]6008", F::Line}}},
        {"Start KVMP Communications", {{"%", F::Bare}}},
        {"Stop KVMP Communications", {{"$", F::Bare}}},
    };
    return table;
}

const ModuleTools::Tool* ModuleTools::tool(const QString& caption)
{
    for (const Tool& t : tools())
        if (caption == QLatin1String(t.caption))
            return &t;
    return nullptr;
}

QByteArray ModuleTools::framed(const Command& c)
{
    switch (c.framing) {
    case Framing::EscLine:
        return SequenceSteps::kEsc + c.text + TerminalSession::kLineTerminator;
    case Framing::Line:
        return c.text + TerminalSession::kLineTerminator;
    case Framing::Esc:
        return SequenceSteps::kEsc + c.text;
    case Framing::Bare:
        return c.text;
    case Framing::Cr:
        return c.text + '\r';
    }
    return c.text;
}

const QList<QByteArray>& ModuleTools::factoryCommands()
{
    static const QList<QByteArray> list = {
        "mA000", "mB001", "mC000", "mD002", "mF100", "X0000", "X0000", "mG000", "Y0000",
        "Y0000", "mH000", "mJ010", "mK100", "mL030", "mM000", "mN077", "mO002", "mP009",
        "mQ030", "mR090", "mS000", "mT000", "mU000", "mV000", "mW002", "mb001", "mc125",
        "md078", "me004", "mf197", "mg087", "T1010", "c1047", "d5000", "mu002", "t0000"};
    return list;
}

bool ModuleTools::send(const Command& command)
{
    return m_steps->sendBare(framed(command));
}

bool ModuleTools::sendAll(const std::vector<Command>& commands, int pauseMs)
{
    for (size_t i = 0; i < commands.size(); ++i) {
        if (i > 0)
            m_steps->pause(pauseMs);
        if (!send(commands[i]))
            return false;
    }
    return !m_steps->halted();
}

bool ModuleTools::runTool(const QString& caption)
{
    const Tool* t = tool(caption);
    if (!t || m_session.isBusy())
        return false;
    BusyScope busy(m_session);
    SequenceSteps::Sequence seq(*m_steps);
    if (!sendAll(t->commands, t->pauseMs))
        return false;
    switch (t->after) {
    case After::Nothing:
        break;
    case After::ReopenPcu:
        m_session.closeLink();
        m_session.modalWait(kPcuResetWaitMs);
        break;
    case After::ReopenCommIf:
        m_session.modalWait(kCommIfResetFirstMs);
        m_session.closeLink();
        m_session.screen().showText(QStringLiteral("\r\n"));
        m_session.modalWait(kCommIfResetSecondMs);
        break;
    }
    if (t->after != After::Nothing && !m_session.isPortOpen())
        m_session.openOrCloseLink();
    return true;
}

bool ModuleTools::loadFactoryDefaults()
{
    if (m_session.isBusy())
        return false;
    if (m_session.prompter().ask(QString::fromLatin1(kFactoryQuestion), Prompter::Buttons::OkCancel,
                                 QString::fromLatin1(kFactoryTitle)) != Prompter::Answer::Ok)
        return false;
    BusyScope busy(m_session);
    SequenceSteps::Sequence seq(*m_steps);
    // A refused command stops the load before the save: the unit must never store half a
    // parameter set and the screen must never claim it did.
    for (const QByteArray& c : factoryCommands()) {
        if (!m_steps->send(c))
            return false;
        m_steps->pause(kFactoryPauseMs);
    }
    m_steps->showText(QStringLiteral("SAVING PARAMETERS, PLEASE WAIT\r\n"));
    for (int i = 0; i < 2; ++i) {
        m_steps->sendBare("W");
        m_steps->wait(kSaveWaitMs);
    }
    if (m_steps->halted())
        return false;
    m_steps->showText(QStringLiteral(" PARAMETERS SAVED\r\n>"));
    return true;
}

void ModuleTools::moduleVersion()
{
    SequenceSteps& s = *m_steps;
    SequenceSteps::Sequence seq(s);
    if (s.anyChecked({Module::QVRp, Module::QVR2p}))
        s.send("?V");
    else if (s.checked(Module::USBpcu))
        s.send("*");
    else if (s.anyChecked({Module::QVRd, Module::QVR2d, Module::SPdvb}))
        sendAll({{"wV   ", F::Line}, {"w!   ", F::Line}}, 50);
    else if (s.checked(Module::QVR2m1))
        s.send("<0411");
    else if (s.checked(Module::QVR2m2))
        s.send(">0411");
    else if (s.anyChecked({Module::QVR2mdb, Module::USBmdb}))
        s.send("]0411");
    else if (s.checked(Module::VTPCU))
        s.send("V");
    else if (s.checked(Module::KVMP))
        s.sendCr("verA");
    else
        send({"V", F::Esc});
}

void ModuleTools::moduleStatus()
{
    SequenceSteps& s = *m_steps;
    SequenceSteps::Sequence seq(s);
    if (s.anyChecked({Module::KT4000, Module::Data}))
        s.send("AT$QCSTATUS");
    else if (s.anyChecked({Module::QVRp, Module::QVR2p}))
        s.send("?S");
    else if (s.anyChecked({Module::QVRd, Module::QVR2d, Module::SPdvb}))
        s.send("w!   ");
    else if (s.checked(Module::QVR2m1))
        s.send("<0000");
    else if (s.checked(Module::QVR2m2))
        s.send(">0000");
    else if (s.anyChecked({Module::QVR2mdb, Module::USBmdb}))
        s.send("]6000");
    else if (s.checked(Module::VTPCU))
        s.send("$");
    else if (s.checked(Module::KVMP))
        return; // the panel board's application has no status command
    else
        send({"S", F::Esc});
}

void ModuleTools::kvmpCommsOn()
{
    SequenceSteps::Sequence seq(*m_steps);
    m_steps->sendBare("%");
}

void ModuleTools::kvmpCommsOff()
{
    if (m_session.isBusy())
        return;
    BusyScope busy(m_session);
    SequenceSteps::Sequence seq(*m_steps);
    Runtime& rt = m_session.runtime();
    m_session.clearReplyText();
    m_session.setReplyCapture(true);
    // The board is told to stop between two of its status messages: first listen whether
    // it talks at all, then, if it does, wait for the end of a message (its prompt).
    const bool talking = rt.waitUntil([this] { return !m_session.replyText().isEmpty(); }, kKvmpListenMs);
    if (talking)
        rt.waitUntil([this] { return m_session.replyText().contains(QLatin1Char('>')); }, kKvmpListenMs);
    m_steps->sendBare("$");
    m_session.setReplyCapture(false);
}

void ModuleTools::dtrClicked(bool on)
{
    m_session.setDtr(on);
    if (m_steps->checked(Module::KT4000))
        m_session.screen().showLine(m_session.lineStates().dtr ? QStringLiteral("Phone Power is ON")
                                                               : QStringLiteral("Phone Power is OFF"));
}

void ModuleTools::openInstructions()
{
    // The prompter finds the guide installed with the program by the document's name, and
    // says which page is missing when it is not there.
    m_session.prompter().openUrl(QString::fromLatin1(kDocumentPath));
}
