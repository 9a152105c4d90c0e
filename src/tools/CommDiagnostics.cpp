#include "CommDiagnostics.h"

#include "KorvexSession.h"
#include "NumberFormat.h"
#include "PatternScan.h"
#include "Runtime.h"

const QString CommDiagnostics::kClTest = QStringLiteral("CL Test");
const QString CommDiagnostics::kAzTest = QStringLiteral("AZ Test");

// clang-format off
const CommDiagnostics::ButtonInfo CommDiagnostics::kButtons[kButtonCount] = {
    {"Repeat", "Repeat the \"Last Sent\" command", nullptr},
    {"PCU Status", "PCU Status, right click to decode", "?   S"},
    {"PCU Aux", "Common PCU Tasks", nullptr},
    {"ACU Aux", "Common ACU Tasks", nullptr},
    {"Nutara Tg", "Toggle PCU Nutara On / Off (^0067)", "^0067"},
    {"Sat Reference", "Set PCU 'Sat Reference' Mode (^0071)", "^0071"},
    {"Slow Scan", "Set PCU 'Slow Scan' Target Mode (^0070)", "^0070"},
    {"", "", nullptr},
    {"CL Test", "Start Cross Level Torque Drive Test", nullptr},
    {"AZ Test", "Start Azimuth Torque Drive Test", nullptr},
    {"Tilt Mode", "Set PCU 'Tilt' Mode (^0084)", "^0084"},
    {"Normal Mode", "Clear All PCU Special modes (^0000)", "^0000"},
};

namespace {
constexpr CommDiagnostics::MenuItem kPcuMenu[] = {
    {"mnuPCU_Ver", "?   V", "?  V   PCU Version"},
    {"mnuPCU_Ref", "?   v", "?  v   PCU References"},
    {"mnuPCU_IVC", "?   x", "?  x   PCU IVC Loop Errors"},
    {"mnuPCU_Torque", "?   y", "?  y   PCU Torque Commands"},
    {"mnuPCU_GPS", "?   @", "?  @  PCU qualified GPS position (1 min)"},
    {"mnuPCU_GPSraw", "?   ?", "?  ?   PCU raw GPS position         (1 min)"},
    {"mnuPCU_GPSfine", "?   =", "?  =  PCU fine GPS position  (.0001 min)"},
    {"mnuPCU_Dish", "^0067", "^0067  Nutara Toggle"},
    {"mnuPCU_Sat", "^0071", "^0071  Sat Reference Mode"},
    {"mnuPCU_SS", "^0070", "^0070  Slow Scan Mode"},
    {"mnuPCU_Tilt", "^0084", "^0084  Tilt/Test Mode"},
    {"mnuPCU_Norm", "^0000", "^0000  Normal Mode"},
    {"mnuPCU_Save", "^0087", "^0087  Save PCU Parameters"},
    {"mnuPCU_Reb", "^0090", "^0090  Reboot PCU"},
    {"mnuPCU_HFRef", "^0082", "^0082  Clear AZ HF Err"},
    {"mnuPCU_Err", "?   &", "Reset PCU Error Status"},
};
constexpr CommDiagnostics::MenuItem kAcuMenu[] = {
    {"mnuACU_Stat", "S", "S      ACU Status, AGC, Rem/Lcl Band"},
    {"mnuACU_Pos", "P", "P      El, Az, Cl Position"},
    {"mnuACU_Hdg", "H", "H      Relative Az, Heading"},
    {"mnuACU_u", "u", "u      Aux Polang, Ext AGC, Threshold"},
    {"mnuACU_Ver", "V", "V      ACU Version"},
    {"mnuACU_GPS", "@", "@     ACU GPS Position, 0.1Deg (6 Nm)"},
    {"mnuACU_Ton", "C", "C          Tracking ON"},
    {"mnuACU_Toff", "D", "D          Tracking OFF"},
    {"mnuACU_Find", "F1234", "F1234   Find Selected Satellite"},
    {"mnuACU_Reb", "\\0090", "\\0090    Reboot ACU"},
    {"mnuACU_Save", "\\0087", "\\0087    Save ACU parameters"},
    {"mnuACU_LockPort", "[L   ", "[L          Lock Port"},
    {"mnuACU_UnlockPort", "[M   ", "[M         Unlock Port"},
    {"mnuACU_PCUg", "?   @", "?  @      PCU qualified GPS Position, (1 Nm)"},
    {"mnuACU_DVBVer", "wV   ", "wV, w!  Read DVB version"},
    {"mnuACU_ComVer", "[V   ", "[V          Read CommIF Version"},
    {"mnuACU_Err", "&", "Reset ACU Error Status"},
};
// clang-format on

const QString kMovingUp = QStringLiteral(" Moving Up");
const QString kMovingDown = QStringLiteral(" Moving Down");
const QString kAborting = QStringLiteral("Aborting");
const QByteArray kCommandEnd("\r\n");
const QByteArray kSlowScan("^0070\r\n");
// The torque display of the graph, and the loop-error one that a test keeps.
constexpr int kGraphLoopError = 1;
constexpr int kGraphTorque = 4;
} // namespace

std::span<const CommDiagnostics::MenuItem> CommDiagnostics::pcuMenu()
{
    return kPcuMenu;
}

std::span<const CommDiagnostics::MenuItem> CommDiagnostics::acuMenu()
{
    return kAcuMenu;
}

CommDiagnostics::CommDiagnostics(KorvexSession& session, PatternScan& scan, QObject* parent)
    : QObject(parent), m_session(session), m_scan(scan), m_testTimer(session.runtime().createTimer())
{
    m_testTimer->setCallback([this] { testTick(); });
    ParserHooks& hooks = session.parser().hooks();
    hooks.oneShotReply = [this, before = hooks.oneShotReply](const QByteArray& reply) {
        if (before)
            before(reply);
        setResponse(QString::fromLatin1(reply));
    };
    connect(&session.pollCycle(), &PollCycle::stopOptionChanged, this, &CommDiagnostics::changed);
}

CommDiagnostics::~CommDiagnostics() = default;

bool CommDiagnostics::stopChecked() const
{
    return m_session.pollCycle().stopOption();
}

void CommDiagnostics::setStop(bool on)
{
    m_session.pollCycle().setStopOption(on);
}

void CommDiagnostics::setResponse(const QString& text)
{
    m_response = text;
    Q_EMIT changed();
}

QByteArray CommDiagnostics::entryCommand(const QString& text)
{
    QByteArray command = text.toLatin1();
    if (command.startsWith('F'))
        return command + '\r';
    command = command.left(5);
    if (command.size() >= 2 && command.size() <= 4)
        command.insert(1, QByteArray(5 - command.size(), ' '));
    if (command.size() > 1)
        command += kCommandEnd;
    return command;
}

void CommDiagnostics::enter(const QString& text)
{
    m_response.clear();
    const QByteArray command = entryCommand(text);
    if (command.isEmpty()) {
        Q_EMIT changed();
        return;
    }
    m_session.pollCycle().setOneShot(command);
    m_lastSent = QString::fromLatin1(command.left(5));
    Q_EMIT changed();
}

void CommDiagnostics::send(const QString& command)
{
    m_lastSent = command;
    m_response.clear();
    if (!command.isEmpty()) {
        QByteArray wire = command.toLatin1();
        if (wire.size() >= 2)
            wire += kCommandEnd;
        m_session.pollCycle().setOneShot(wire);
    }
    Q_EMIT changed();
}

void CommDiagnostics::chooseCommand(const QString& command)
{
    send(command);
}

QString CommDiagnostics::buttonCaption(int index) const
{
    if (index < 0 || index >= kButtonCount)
        return {};
    if (m_running && ((index == ClTest && m_tag == kClTest) || (index == AzTest && m_tag == kAzTest)))
        return QStringLiteral("Stop");
    return QString::fromLatin1(kButtons[index].caption);
}

void CommDiagnostics::pressButton(int index)
{
    switch (index) {
    case Repeat:
    case RepeatToo:
        send(m_lastSent);
        return;
    case ClTest:
        startOrAbort(kClTest);
        return;
    case AzTest:
        startOrAbort(kAzTest);
        return;
    default:
        if (index >= 0 && index < kButtonCount && kButtons[index].command)
            send(QString::fromLatin1(kButtons[index].command));
    }
}

void CommDiagnostics::startOrAbort(const QString& test)
{
    if (!m_running) {
        startTest(test);
    } else if (m_tag == test) {
        abortTest();
    } else {
        send(m_lastSent); // the other test's button repeats meanwhile
    }
}

void CommDiagnostics::startTest(const QString& test)
{
    if (!stopChecked()) {
        if (m_hooks.clearGraph)
            m_hooks.clearGraph();
    } else {
        const bool keepGraph = m_tag == kClTest;
        setStop(false);
        if (!keepGraph && m_hooks.clearGraph)
            m_hooks.clearGraph();
    }
    m_tag = test;
    m_running = true;
    ++m_testRun;
    const int mode = m_hooks.graphMode ? m_hooks.graphMode() : 0;
    if (mode != kGraphLoopError) {
        if (m_hooks.setGraphMode)
            m_hooks.setGraphMode(kGraphTorque);
        if (m_hooks.raiseWindow)
            m_hooks.raiseWindow();
    }
    m_testTimer->setInterval(kTestFirstMs);
    m_testTimer->start();
    if (test == kClTest)
        startClTest();
    else
        startAzTest();
}

void CommDiagnostics::startClTest()
{
    setResponse(kClTest + kMovingUp);
    if (m_session.link().portOpen())
        m_session.pollCycle().setLongCommand(kSlowScan + "I1150" + kCommandEnd);
}

void CommDiagnostics::startAzTest()
{
    const int rel = m_session.panelState().relativeAzimuth;
    auto in = [rel](int low, int high) { return rel >= low && rel <= high; };
    int scanDirection = -1;
    QByteArray target;
    QString status;
    if (in(0, 100) || in(3500, 3700)) {
        scanDirection = PatternScan::AzimuthDown;
        status = kMovingDown;
    } else if (in(1700, 1900)) {
        scanDirection = PatternScan::AzimuthUp;
        status = kMovingUp;
    } else if (in(5750, 5950)) {
        target = "J1350";
        status = kMovingDown;
    } else if (in(1250, 1450)) {
        target = "J5850";
        status = kMovingUp;
    } else if (rel >= 6001) {
        target = "J0900";
        status = kMovingDown;
    } else if (in(1200, 6000)) {
        status = QStringLiteral(" ????");
    } else {
        target = "J6300";
        status = kMovingUp;
    }
    setResponse(kAzTest + status);
    const bool open = m_session.link().portOpen();
    if (scanDirection >= 0) {
        if (m_hooks.showScanWindow)
            m_hooks.showScanWindow();
        const int n8 = int(numfmt::roundHalfEven(numfmt::leadingNumber(m_scan.n8Text)));
        if (open)
            m_session.pollCycle().setLongCommand(
                "n8" + numfmt::formatPattern(n8, QStringLiteral("000")).toLatin1() + kCommandEnd + kSlowScan);
        m_scan.stopReset();
        m_scan.scanRateText = QStringLiteral("4");
        m_scan.autoStopText = QStringLiteral("540");
        m_scan.rateText = QStringLiteral("600");
        m_scan.start(scanDirection);
    } else if (!target.isEmpty()) {
        if (open)
            m_session.pollCycle().setLongCommand("n8008" + kCommandEnd + kSlowScan);
        m_session.runtime().singleShot(kAzTargetDelayMs, this, [this, target, run = m_testRun] {
            if (m_running && run == m_testRun && m_session.link().portOpen())
                m_session.pollCycle().setLongCommand(target + kCommandEnd);
        });
    }
}

// The abort command goes as the long command: as a one-shot its reply would replace
// "Aborting" in "Response", and the test's end would then pause polling instead of
// reporting the cancel.
void CommDiagnostics::abortTest()
{
    setStop(false);
    if (m_tag == kClTest) {
        m_lastSent = QStringLiteral("I0900");
    } else {
        if (m_scan.running())
            m_scan.endScan();
        // The antenna is held where it is now.
        m_lastSent =
            QLatin1Char('A') + numfmt::formatPattern(m_session.panelState().azimuth, QStringLiteral("0000"));
    }
    if (m_session.link().portOpen())
        m_session.pollCycle().setLongCommand(m_lastSent.toLatin1() + kCommandEnd);
    setResponse(m_tag + QLatin1Char(' ') + kAborting);
}

void CommDiagnostics::testTick()
{
    m_testTimer->setInterval(kTestNextMs);
    const bool lit = m_hooks.targetLit && m_hooks.targetLit();
    if (lit)
        return;
    m_testTimer->stop();
    m_running = false;
    if (m_response.contains(kAborting)) {
        m_response += QStringLiteral(" Canceled");
    } else {
        setStop(true);
        m_response += QStringLiteral(" Paused");
    }
    Q_EMIT changed();
}
