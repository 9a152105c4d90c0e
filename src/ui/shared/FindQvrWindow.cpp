#include "FindQvrWindow.h"

#include "Discovery.h"
#include "Prompter.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>

FindQvrWindow::FindQvrWindow(Discovery& discovery, Prompter& prompter, QString help,
                             std::function<void()> configurePort, QWidget* parent)
    : QDialog(parent), m_discovery(discovery), m_address(new QLineEdit(this)), m_port(new QLineEdit(this)),
      m_list(new QListWidget(this)), m_findAll(new QPushButton(QStringLiteral("Find All local QVRs"), this)),
      m_findSpecific(new QPushButton(QStringLiteral("Find Specific QVR"), this))
{
    setObjectName(QStringLiteral("frmFindQVR"));
    setWindowTitle(QStringLiteral("Find QVRs"));
    m_address->setObjectName(QStringLiteral("txtIPAddress"));
    m_port->setObjectName(QStringLiteral("txtPort"));
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setToolTip(QStringLiteral("List of All QVRs Found"));
    m_findAll->setObjectName(QStringLiteral("cmdFind"));
    m_findAll->setToolTip(QStringLiteral("Broadcast search on Local Area Network only"));
    m_findSpecific->setObjectName(QStringLiteral("cmdFindSpec"));
    m_findSpecific->setToolTip(QStringLiteral("This search is routable to Remote QVRs"));
    auto* configure = new QPushButton(QStringLiteral("Configure Port"), this);
    configure->setObjectName(QStringLiteral("cndUseIP"));
    configure->setToolTip(QStringLiteral("Manually Configure Port Properties"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("IP Address"), this), 0, 0);
    grid->addWidget(m_address, 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Port Number"), this), 0, 1);
    grid->addWidget(m_port, 1, 1);
    grid->addWidget(m_findAll, 2, 0);
    grid->addWidget(m_findSpecific, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("List of All QVRs Found"), this), 3, 0, 1, 2);
    grid->addWidget(m_list, 4, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Double Click on Address to open Web Page"), this), 5, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(configure);
    buttons->addStretch(1);
    buttons->addWidget(cancel);
    buttons->addWidget(ok);
    grid->addLayout(buttons, 6, 0, 1, 2);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 1);
    resize(420, 360);

    connect(m_address, &QLineEdit::textEdited, this,
            [this](const QString& t) { m_discovery.addressText = t; });
    connect(m_port, &QLineEdit::textEdited, this, [this](const QString& t) { m_discovery.portText = t; });
    connect(m_findAll, &QPushButton::clicked, this, [this] { m_discovery.findAll(); });
    connect(m_findSpecific, &QPushButton::clicked, this, [this] { m_discovery.findSpecific(); });
    connect(m_list, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { m_discovery.openEntry(m_list->row(item)); });
    connect(configure, &QPushButton::clicked, this, [configurePort] {
        if (configurePort)
            configurePort();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::hide);
    connect(ok, &QPushButton::clicked, this, &QDialog::hide);
    connect(&m_discovery, &Discovery::foundChanged, this, &FindQvrWindow::showFound);
    if (!help.isEmpty()) {
        auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
        connect(f1, &QShortcut::activated, this, [&prompter, help] { prompter.openUrl(help); });
    }
    showFields();
}

void FindQvrWindow::showFields()
{
    m_address->setText(m_discovery.addressText);
    m_port->setText(m_discovery.portText);
    showFound();
}

void FindQvrWindow::showFound()
{
    m_list->clear();
    m_list->addItems(m_discovery.found());
}

void FindQvrWindow::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    Q_EMIT closed();
}
