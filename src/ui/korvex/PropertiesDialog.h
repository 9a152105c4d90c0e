#pragma once

#include "PropertiesEditor.h"

#include <QDialog>

class KorvexSession;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QStackedWidget;
class QTabBar;

// "CommPort Properties": four tabs, one per antenna, over one set of controls that
// show the tab's profile. Every edit goes straight to the PropertiesEditor.
class PropertiesDialog : public QDialog {
    Q_OBJECT
public:
    explicit PropertiesDialog(KorvexSession& session, QWidget* parent = nullptr);

    PropertiesEditor& editor() { return m_editor; }
    QTabBar* tabs() const { return m_tabs; }
    QCheckBox* enabledBox() const { return m_enabled; }
    QLineEdit* captionBox() const { return m_caption; }
    QRadioButton* serialOption() const { return m_serial; }
    QRadioButton* tcpOption() const { return m_tcp; }
    QComboBox* portList() const { return m_port; }
    QComboBox* deviceList() const { return m_device; }
    QComboBox* baudList() const { return m_baud; }
    QGroupBox* tcpFrame() const { return m_tcpFrame; }
    QLineEdit* addressBox() const { return m_address; }
    QLineEdit* portNumberBox() const { return m_portNumber; }

    void accept() override;
    void reject() override;

private:
    QWidget* buildSerialPage();
    QGroupBox* buildTcpFrame();
    // Shows the editor's view. Boxes the user is typing in keep their text: a port
    // number that does not convert stays on screen as typed, as it is ignored.
    void showView();

    PropertiesEditor m_editor;
    bool m_closing = false;

    QTabBar* m_tabs = nullptr;
    QCheckBox* m_enabled = nullptr;
    QLineEdit* m_caption = nullptr;
    QRadioButton* m_serial = nullptr;
    QRadioButton* m_tcp = nullptr;
    QStackedWidget* m_linkPages = nullptr;
    QComboBox* m_port = nullptr;
    QComboBox* m_device = nullptr;
    QComboBox* m_baud = nullptr;
    QComboBox* m_parity = nullptr;
    QComboBox* m_dataBits = nullptr;
    QComboBox* m_stopBits = nullptr;
    QComboBox* m_flow = nullptr;
    QGroupBox* m_tcpFrame = nullptr;
    QLineEdit* m_address = nullptr;
    QLineEdit* m_portNumber = nullptr;
};
