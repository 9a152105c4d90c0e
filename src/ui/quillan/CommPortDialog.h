#pragma once

#include "TerminalPropertiesEditor.h"

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QStackedWidget;
class TerminalSession;

// "CommPort Properties": the serial page (port, the device the port number means, speed
// and framing, flow control, echo) and the TCP/IP page (address, port, echo). The
// choices and OK are the editor's; the dialog only shows them.
class CommPortDialog : public QDialog {
    Q_OBJECT
public:
    explicit CommPortDialog(TerminalSession& session, QWidget* parent = nullptr);

    TerminalPropertiesEditor& editor() { return m_editor; }
    QComboBox* combo(const QString& name) const;

    void accept() override;

private:
    QWidget* buildSerialPage();
    QWidget* buildTcpPage();
    QWidget* echoRow(const QString& prefix);
    void showForm();
    void readForm();
    void onTypeChosen(bool tcp);
    void onPortChosen(int index);
    void setEcho(bool on);
    void applyDeviceMapping();

    TerminalSession& m_session;
    TerminalPropertiesEditor m_editor;
    QRadioButton* m_serialType;
    QRadioButton* m_tcpType;
    QStackedWidget* m_pages;
    QComboBox* m_port;
    QComboBox* m_device;
    QComboBox* m_baud;
    QComboBox* m_dataBits;
    QComboBox* m_parity;
    QComboBox* m_stopBits;
    QComboBox* m_flow;
    QLineEdit* m_address;
    QLineEdit* m_tcpPort;
    QList<QRadioButton*> m_echoOff;
    QList<QRadioButton*> m_echoOn;
    // The device each COM number means, as edited in this dialog.
    QHash<int, QString> m_devices;
    bool m_updating = false;
};
