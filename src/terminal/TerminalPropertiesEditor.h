#pragma once

#include <QString>
#include <QStringList>

class TerminalSession;

// The "CommPort Properties" dialog without its widgets: the lists, the choices taken from
// the session when it opens, the TCP/IP rule, and OK.
class TerminalPropertiesEditor {
public:
    static constexpr const char* kTitle = "CommPort Properties";
    static constexpr const char* kTcpRefused = "TCP/IP not allowed for the present module selection";

    static QStringList ports();        // "Com1".."Com16"
    static QStringList baudRates();    // "1200" .. "115200"
    static QStringList dataBits();     // "4".."8"
    static QStringList parities();     // "Even", "Odd", "None", "Mark", "Space"
    static QStringList stopBits();     // "1", "1.5", "2"
    static QStringList flowControls(); // "None", "Xon/Xoff", "RTS", "Xon/RTS"
    static QStringList echoChoices();  // "Off", "On"

    // What the dialog shows; indexes into the lists above, -1 = nothing selected.
    struct Form {
        bool serial = true;
        int port = -1;
        int baud = -1;
        int dataBits = -1;
        int parity = -1;
        int stopBits = -1;
        int flowControl = 0;
        bool echo = false;
        QString address;
        QString portNumber;
    };

    explicit TerminalPropertiesEditor(TerminalSession& session);

    Form form;

    // Reads the session into the form (done by the constructor).
    void load();
    // The TCP/IP option button. False when the rule refuses it: the message is shown,
    // an open link is closed and the form is back on Serial.
    bool chooseTcp();
    void chooseSerial() { form.serial = true; }
    // OK. False when the dialog must stay open.
    bool accept();
    // "9600,N,8,1" built from the form.
    QString settingsString() const;

private:
    TerminalSession& m_session;
};
