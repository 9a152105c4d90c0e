#include "CommPortDialog.h"

#include "SerialPorts.h"
#include "SettingsStore.h"
#include "TerminalSession.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

QComboBox* listCombo(const QString& name, const QStringList& items, QWidget* parent)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->addItems(items);
    return c;
}

} // namespace

CommPortDialog::CommPortDialog(TerminalSession& session, QWidget* parent)
    : QDialog(parent), m_session(session), m_editor(session)
{
    setObjectName(QStringLiteral("CommPortProperties"));
    setWindowTitle(QString::fromLatin1(TerminalPropertiesEditor::kTitle));

    auto* box = new QVBoxLayout(this);
    auto* typeRow = new QHBoxLayout;
    m_serialType = new QRadioButton(tr("Serial"), this);
    m_serialType->setObjectName(QStringLiteral("Serial"));
    m_tcpType = new QRadioButton(tr("TCP/IP"), this);
    m_tcpType->setObjectName(QStringLiteral("TCPIP"));
    typeRow->addWidget(m_serialType);
    typeRow->addWidget(m_tcpType);
    typeRow->addStretch(1);
    box->addLayout(typeRow);

    m_pages = new QStackedWidget(this);
    m_pages->addWidget(buildSerialPage());
    m_pages->addWidget(buildTcpPage());
    box->addWidget(m_pages);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CommPortDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CommPortDialog::reject);
    box->addWidget(buttons);

    connect(m_tcpType, &QRadioButton::toggled, this, [this](bool on) {
        if (!m_updating)
            onTypeChosen(on);
    });
    connect(m_port, &QComboBox::currentIndexChanged, this, &CommPortDialog::onPortChosen);
    connect(m_device, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        if (!m_updating && m_port->currentIndex() >= 0)
            m_devices[m_port->currentIndex() + 1] = text.trimmed();
    });

    showForm();
}

QWidget* CommPortDialog::buildSerialPage()
{
    auto* page = new QGroupBox(tr("Serial"), this);
    auto* form = new QFormLayout(page);
    m_port = listCombo(QStringLiteral("Port"), TerminalPropertiesEditor::ports(), page);
    m_device = new QComboBox(page);
    m_device->setObjectName(QStringLiteral("Device"));
    m_device->setEditable(true);
    m_device->addItems(systemSerialPorts());
    m_device->setMinimumContentsLength(18);
    m_device->setToolTip(tr("The device this port number opens"));
    auto* portRow = new QHBoxLayout;
    portRow->addWidget(m_port);
    portRow->addWidget(m_device, 1);
    form->addRow(tr("Port"), portRow);
    m_baud = listCombo(QStringLiteral("Baud"), TerminalPropertiesEditor::baudRates(), page);
    form->addRow(tr("Bits per second"), m_baud);
    m_dataBits = listCombo(QStringLiteral("DataBits"), TerminalPropertiesEditor::dataBits(), page);
    form->addRow(tr("Data bits"), m_dataBits);
    m_parity = listCombo(QStringLiteral("Parity"), TerminalPropertiesEditor::parities(), page);
    form->addRow(tr("Parity"), m_parity);
    m_stopBits = listCombo(QStringLiteral("StopBits"), TerminalPropertiesEditor::stopBits(), page);
    form->addRow(tr("Stop bits"), m_stopBits);
    m_flow = listCombo(QStringLiteral("FlowControl"), TerminalPropertiesEditor::flowControls(), page);
    form->addRow(tr("Flow control"), m_flow);
    form->addRow(tr("Echo"), echoRow(QStringLiteral("Serial")));
    return page;
}

QWidget* CommPortDialog::buildTcpPage()
{
    auto* page = new QGroupBox(tr("TCP/IP"), this);
    auto* form = new QFormLayout(page);
    m_address = new QLineEdit(page);
    m_address->setObjectName(QStringLiteral("Address"));
    form->addRow(tr("IP Address"), m_address);
    m_tcpPort = new QLineEdit(page);
    m_tcpPort->setObjectName(QStringLiteral("PortNumber"));
    m_tcpPort->setValidator(new QIntValidator(0, 65535, m_tcpPort));
    form->addRow(tr("Port"), m_tcpPort);
    form->addRow(tr("Echo"), echoRow(QStringLiteral("Tcp")));
    return page;
}

// One Off/On pair per page; both pairs show the same setting.
QWidget* CommPortDialog::echoRow(const QString& prefix)
{
    auto* w = new QWidget(this);
    auto* row = new QHBoxLayout(w);
    row->setContentsMargins(0, 0, 0, 0);
    const QStringList choices = TerminalPropertiesEditor::echoChoices();
    auto* off = new QRadioButton(choices.value(0), w);
    off->setObjectName(prefix + QStringLiteral("EchoOff"));
    auto* on = new QRadioButton(choices.value(1), w);
    on->setObjectName(prefix + QStringLiteral("EchoOn"));
    row->addWidget(off);
    row->addWidget(on);
    row->addStretch(1);
    m_echoOff << off;
    m_echoOn << on;
    connect(on, &QRadioButton::toggled, this, [this](bool checked) {
        if (!m_updating)
            setEcho(checked);
    });
    return w;
}

QComboBox* CommPortDialog::combo(const QString& name) const
{
    return findChild<QComboBox*>(name);
}

void CommPortDialog::showForm()
{
    m_updating = true;
    const auto& f = m_editor.form;
    m_serialType->setChecked(f.serial);
    m_tcpType->setChecked(!f.serial);
    m_pages->setCurrentIndex(f.serial ? 0 : 1);
    m_port->setCurrentIndex(f.port);
    m_baud->setCurrentIndex(f.baud);
    m_dataBits->setCurrentIndex(f.dataBits);
    m_parity->setCurrentIndex(f.parity);
    m_stopBits->setCurrentIndex(f.stopBits);
    m_flow->setCurrentIndex(f.flowControl);
    m_address->setText(f.address);
    m_tcpPort->setText(f.portNumber);
    m_updating = false;
    setEcho(f.echo);
    onPortChosen(m_port->currentIndex());
}

void CommPortDialog::readForm()
{
    auto& f = m_editor.form;
    f.port = m_port->currentIndex();
    f.baud = m_baud->currentIndex();
    f.dataBits = m_dataBits->currentIndex();
    f.parity = m_parity->currentIndex();
    f.stopBits = m_stopBits->currentIndex();
    f.flowControl = m_flow->currentIndex();
    f.address = m_address->text().trimmed();
    f.portNumber = m_tcpPort->text().trimmed();
}

void CommPortDialog::onTypeChosen(bool tcp)
{
    readForm();
    if (tcp)
        m_editor.chooseTcp();
    else
        m_editor.chooseSerial();
    // A refused TCP/IP choice leaves the form on Serial; show what the editor decided.
    m_updating = true;
    m_serialType->setChecked(m_editor.form.serial);
    m_tcpType->setChecked(!m_editor.form.serial);
    m_pages->setCurrentIndex(m_editor.form.serial ? 0 : 1);
    m_updating = false;
}

void CommPortDialog::onPortChosen(int index)
{
    if (index < 0)
        return;
    const int com = index + 1;
    if (!m_devices.contains(com))
        m_devices[com] = comDevice(m_session.store(), m_session.profileName(), com);
    m_updating = true;
    m_device->setEditText(m_devices.value(com));
    m_updating = false;
}

void CommPortDialog::setEcho(bool on)
{
    m_editor.form.echo = on;
    m_updating = true;
    for (QRadioButton* b : std::as_const(m_echoOn))
        b->setChecked(on);
    for (QRadioButton* b : std::as_const(m_echoOff))
        b->setChecked(!on);
    m_updating = false;
}

// A device typed or picked for a port number is remembered for that number; the
// number itself stays what the profile stores.
void CommPortDialog::applyDeviceMapping()
{
    const int com = m_port->currentIndex() + 1;
    if (com < 1)
        return;
    const QString device = m_device->currentText().trimmed();
    if (device.isEmpty() || device == comDevice(m_session.store(), m_session.profileName(), com))
        return;
    setComDevice(m_session.store(), m_session.profileName(), com, device);
}

void CommPortDialog::accept()
{
    readForm();
    if (m_editor.form.serial)
        applyDeviceMapping();
    if (m_editor.accept())
        QDialog::accept();
}
