#include "PropertiesDialog.h"

#include "KorvexSession.h"
#include "SerialPorts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

namespace {
QComboBox* fixedList(const QStringList& items, const QString& shown, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->addItems(items);
    box->setCurrentText(shown);
    return box;
}

void setTextUnlessTyping(QLineEdit* box, const QString& text)
{
    if (!box->hasFocus() && box->text() != text)
        box->setText(text);
}
} // namespace

PropertiesDialog::PropertiesDialog(KorvexSession& session, QWidget* parent)
    : QDialog(parent),
      m_editor(session.link(), session.settings(), session.settings().store(), session.prompter())
{
    setObjectName(QStringLiteral("frmProperties"));
    setWindowTitle(QStringLiteral("CommPort Properties"));
    setModal(true);

    auto* outer = new QVBoxLayout(this);
    m_tabs = new QTabBar(this);
    m_tabs->setObjectName(QStringLiteral("TabStrip1"));
    m_tabs->setExpanding(false);
    m_tabs->setDrawBase(true);
    for (int i = 0; i < kAntennaCount; ++i)
        m_tabs->addTab(QString());
    outer->addWidget(m_tabs);

    auto* page = new QFrame(this);
    page->setFrameShape(QFrame::StyledPanel);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setSpacing(10);

    auto* top = new QHBoxLayout;
    m_enabled = new QCheckBox(QStringLiteral("Enabled"), page);
    m_enabled->setObjectName(QStringLiteral("chkEnabled"));
    top->addWidget(m_enabled);
    top->addSpacing(16);
    top->addWidget(new QLabel(QStringLiteral("Caption:"), page));
    m_caption = new QLineEdit(page);
    m_caption->setObjectName(QStringLiteral("txtCaption"));
    top->addWidget(m_caption, 1);
    pageLayout->addLayout(top);

    auto* kind = new QHBoxLayout;
    m_serial = new QRadioButton(QStringLiteral("Serial"), page);
    m_serial->setObjectName(QStringLiteral("optSerial"));
    m_tcp = new QRadioButton(QStringLiteral("TCP/IP"), page);
    m_tcp->setObjectName(QStringLiteral("optTCP"));
    kind->addWidget(m_serial);
    kind->addSpacing(16);
    kind->addWidget(m_tcp);
    kind->addStretch(1);
    pageLayout->addLayout(kind);

    // The serial controls and the "TCP/IP Settings" frame share one place: the frame
    // covers the serial controls while the profile is TCP/IP.
    m_linkPages = new QStackedWidget(page);
    m_linkPages->addWidget(buildSerialPage());
    m_tcpFrame = buildTcpFrame();
    m_linkPages->addWidget(m_tcpFrame);
    pageLayout->addWidget(m_linkPages);
    outer->addWidget(page, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    outer->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &PropertiesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PropertiesDialog::reject);
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, &m_editor, &PropertiesEditor::help);

    connect(m_tabs, &QTabBar::currentChanged, &m_editor, &PropertiesEditor::selectTab);
    connect(m_enabled, &QCheckBox::toggled, &m_editor, &PropertiesEditor::setEnabled);
    connect(m_caption, &QLineEdit::textEdited, &m_editor, &PropertiesEditor::setCaption);
    connect(m_serial, &QRadioButton::clicked, this, [this] { m_editor.setSerial(true); });
    connect(m_tcp, &QRadioButton::clicked, this, [this] { m_editor.setSerial(false); });
    connect(m_port, qOverload<int>(&QComboBox::activated), &m_editor, &PropertiesEditor::setPortIndex);
    connect(m_device, &QComboBox::textActivated, &m_editor, &PropertiesEditor::setComDevice);
    connect(m_device->lineEdit(), &QLineEdit::editingFinished, this,
            [this] { m_editor.setComDevice(m_device->currentText().trimmed()); });
    connect(m_baud, &QComboBox::textActivated, &m_editor, &PropertiesEditor::setBaud);
    connect(m_address, &QLineEdit::textEdited, &m_editor, &PropertiesEditor::setAddress);
    connect(m_portNumber, &QLineEdit::textEdited, &m_editor, &PropertiesEditor::setPortText);
    connect(&m_editor, &PropertiesEditor::viewChanged, this, &PropertiesDialog::showView);

    const int tab = session.link().selectedAntenna() - 1;
    m_editor.open(tab);
    {
        const QSignalBlocker block(m_tabs);
        m_tabs->setCurrentIndex(tab);
    }
    showView();
}

QWidget* PropertiesDialog::buildSerialPage()
{
    auto* serialPage = new QWidget(this);
    auto* form = new QFormLayout(serialPage);
    form->setContentsMargins(0, 4, 0, 0);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);

    m_port = fixedList(PropertiesEditor::portList(), QString(), serialPage);
    m_port->setObjectName(QStringLiteral("cboPort"));
    form->addRow(QStringLiteral("Port:"), m_port);

    // Which device the Com number stands for on this machine; editable, so a
    // pseudo-terminal or an adapter the system does not list can be named too.
    m_device = new QComboBox(serialPage);
    m_device->setObjectName(QStringLiteral("cboDevice"));
    m_device->setEditable(true);
    m_device->setInsertPolicy(QComboBox::NoInsert);
    m_device->addItems(systemSerialPorts());
    m_device->setMinimumContentsLength(18);
    form->addRow(QStringLiteral("Device:"), m_device);

    m_baud = fixedList(PropertiesEditor::baudList(), QString(), serialPage);
    m_baud->setObjectName(QStringLiteral("cboBaud"));
    form->addRow(QStringLiteral("Baud Rate:"), m_baud);

    // Parity, data bits, stop bits and flow control are shown for reference only: a
    // chosen baud always goes with no parity, 8 data bits and 1 stop bit, so these lists
    // are not offered for change.
    m_parity = fixedList(PropertiesEditor::parityList(), PropertiesEditor::shownParity(), serialPage);
    m_dataBits = fixedList(PropertiesEditor::dataBitsList(), PropertiesEditor::shownDataBits(), serialPage);
    m_stopBits = fixedList(PropertiesEditor::stopBitsList(), PropertiesEditor::shownStopBits(), serialPage);
    m_flow = fixedList(PropertiesEditor::flowList(), PropertiesEditor::flowList().value(0), serialPage);
    m_parity->setObjectName(QStringLiteral("cboParity"));
    m_dataBits->setObjectName(QStringLiteral("cboDataBits"));
    m_stopBits->setObjectName(QStringLiteral("cboStopBits"));
    m_flow->setObjectName(QStringLiteral("cboFlow"));
    form->addRow(QStringLiteral("Parity:"), m_parity);
    form->addRow(QStringLiteral("Data Bits:"), m_dataBits);
    form->addRow(QStringLiteral("Stop Bits:"), m_stopBits);
    form->addRow(QStringLiteral("Flow Control:"), m_flow);
    for (QComboBox* fixed : {m_parity, m_dataBits, m_stopBits, m_flow})
        fixed->setEnabled(false);
    return serialPage;
}

QGroupBox* PropertiesDialog::buildTcpFrame()
{
    auto* frame = new QGroupBox(QStringLiteral("TCP/IP Settings"), this);
    frame->setObjectName(QStringLiteral("frmTCP"));
    auto* form = new QFormLayout(frame);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_address = new QLineEdit(frame);
    m_address->setObjectName(QStringLiteral("txtAddress"));
    m_portNumber = new QLineEdit(frame);
    m_portNumber->setObjectName(QStringLiteral("txtPort"));
    m_portNumber->setMaximumWidth(90);
    form->addRow(QStringLiteral("IP Address"), m_address);
    form->addRow(QStringLiteral("Port Number"), m_portNumber);
    return frame;
}

void PropertiesDialog::showView()
{
    const PropertiesEditor::TabView v = m_editor.view();
    const QStringList captions = m_editor.tabCaptions();
    for (int i = 0; i < captions.size() && i < m_tabs->count(); ++i)
        m_tabs->setTabText(i, captions[i]);

    const QSignalBlocker b1(m_enabled), b2(m_serial), b3(m_tcp), b4(m_port), b5(m_device), b6(m_baud),
        b7(m_tabs);
    m_tabs->setCurrentIndex(m_editor.currentTab());
    m_enabled->setChecked(v.enabled);
    setTextUnlessTyping(m_caption, v.caption);
    m_serial->setChecked(v.serial);
    m_tcp->setChecked(!v.serial);
    m_linkPages->setCurrentWidget(v.serial ? m_linkPages->widget(0) : m_tcpFrame);
    m_tcpFrame->setVisible(!v.serial);
    m_port->setCurrentIndex(v.portIndex);
    if (!m_device->lineEdit()->hasFocus())
        m_device->setEditText(v.comDevice);
    if (m_baud->findText(v.baud) < 0)
        m_baud->addItem(v.baud);
    m_baud->setCurrentText(v.baud);
    setTextUnlessTyping(m_address, v.address);
    setTextUnlessTyping(m_portNumber, v.portText);
}

void PropertiesDialog::accept()
{
    if (m_closing)
        return;
    m_closing = true;
    if (!m_editor.ok()) {
        // The message named the port; the dialog stays for the user to correct it.
        m_closing = false;
        return;
    }
    QDialog::accept();
}

void PropertiesDialog::reject()
{
    if (m_closing)
        return;
    m_closing = true;
    m_editor.cancel();
    QDialog::reject();
}
