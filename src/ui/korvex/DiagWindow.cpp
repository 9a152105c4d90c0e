#include "DiagWindow.h"

#include "CommDiagnostics.h"
#include "LinkHealth.h"
#include "StatusBits.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

DiagWindow::DiagWindow(CommDiagnostics& diag, LinkHealth& health, const PanelState& panel, Prompter& prompter,
                       QWidget* parent)
    : ToolWindow(QStringLiteral("frmComDiag"), QStringLiteral("Comm Diagnostics"),
                 QStringLiteral("html\\comm_diagonistics.html"), prompter, parent),
      m_diag(diag), m_health(health), m_panel(panel), m_command(new QLineEdit(this)),
      m_lastSent(new QLineEdit(this)), m_response(new QLineEdit(this)),
      m_stop(new QCheckBox(QStringLiteral(" Stop"), this)), m_common(new QFrame(this)),
      m_pcuMenu(new QMenu(this)), m_acuMenu(new QMenu(this)), m_healthText(new QLabel(this)),
      m_healthTimer(new QTimer(this))
{
    m_command->setObjectName(QStringLiteral("Text2"));
    m_command->setToolTip(QStringLiteral("Enter new ACU or PCU M&C command here"));
    m_command->installEventFilter(this);
    m_lastSent->setObjectName(QStringLiteral("Text1"));
    m_lastSent->setToolTip(QStringLiteral("Displays last M&C command sent"));
    m_lastSent->setReadOnly(true);
    m_response->setObjectName(QStringLiteral("Text3"));
    m_response->setToolTip(QStringLiteral("Displays ACU response to \"Last Sent\" command"));
    m_response->setReadOnly(true);
    m_stop->setObjectName(QStringLiteral("chkSTOP"));
    m_stop->setToolTip(QStringLiteral("Stop all queries."));
    auto* showHide = new QPushButton(QStringLiteral("\u2195"), this);
    showHide->setObjectName(QStringLiteral("Command1"));
    showHide->setToolTip(QStringLiteral("Show/Hide common commands"));
    showHide->setFixedWidth(32);

    auto* top = new QGridLayout;
    top->addWidget(new QLabel(QStringLiteral("Command"), this), 0, 0);
    top->addWidget(new QLabel(QStringLiteral("Last Sent"), this), 0, 1);
    top->addWidget(new QLabel(QStringLiteral("Response"), this), 0, 2);
    top->addWidget(m_command, 1, 0);
    top->addWidget(m_lastSent, 1, 1);
    top->addWidget(m_response, 1, 2);
    top->addWidget(m_stop, 1, 3);
    top->addWidget(showHide, 1, 4);
    top->setColumnStretch(2, 3);
    m_command->setMaximumWidth(110);
    m_lastSent->setMaximumWidth(80);

    auto* grid = new QGridLayout(m_common);
    grid->setContentsMargins(0, 0, 0, 0);
    static constexpr int kOrder[] = {0, 1, 2, 3, 4, 5, 6, 8, 9, 10, 11};
    int cell = 0;
    for (int index : kOrder) {
        const CommDiagnostics::ButtonInfo& info = CommDiagnostics::kButtons[index];
        auto* b = new QPushButton(QString::fromLatin1(info.caption), m_common);
        b->setObjectName(QStringLiteral("cmdRepeat%1").arg(index));
        b->setToolTip(QString::fromLatin1(info.toolTip));
        m_buttons[index] = b;
        grid->addWidget(b, cell / 6, cell % 6);
        ++cell;
        if (index == CommDiagnostics::PcuAux)
            connect(b, &QPushButton::clicked, this, [this, b] { popUp(m_pcuMenu, b); });
        else if (index == CommDiagnostics::AcuAux)
            connect(b, &QPushButton::clicked, this, [this, b] { popUp(m_acuMenu, b); });
        else
            connect(b, &QPushButton::clicked, this, [this, index] { m_diag.pressButton(index); });
    }
    m_buttons[CommDiagnostics::PcuStatus]->installEventFilter(this);
    for (const auto& [menu, items] : {std::pair{m_pcuMenu, CommDiagnostics::pcuMenu()},
                                      std::pair{m_acuMenu, CommDiagnostics::acuMenu()}}) {
        for (const CommDiagnostics::MenuItem& item : items) {
            QAction* a = menu->addAction(QString::fromLatin1(item.caption));
            a->setObjectName(QString::fromLatin1(item.name));
            const QString command = QString::fromLatin1(item.command);
            connect(a, &QAction::triggered, this, [this, command] { m_diag.chooseCommand(command); });
        }
    }

    auto* healthBox = new QGroupBox(QStringLiteral("Link Health"), m_common);
    auto* healthLayout = new QHBoxLayout(healthBox);
    m_healthText->setObjectName(QStringLiteral("lblLinkHealth"));
    m_healthText->setTextFormat(Qt::PlainText);
    auto* reset = new QPushButton(QStringLiteral("Reset"), healthBox);
    reset->setObjectName(QStringLiteral("cmdHealthReset"));
    reset->setToolTip(QStringLiteral("Start the link figures afresh"));
    healthLayout->addWidget(m_healthText, 1);
    healthLayout->addWidget(reset, 0, Qt::AlignTop);
    grid->addWidget(healthBox, 2, 0, 1, 6);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_common);
    layout->addStretch(1);

    connect(m_stop, &QCheckBox::clicked, this, [this](bool on) { m_diag.setStop(on); });
    connect(showHide, &QPushButton::clicked, this, [this] {
        setCommonCommandsShown(!m_common->isVisible());
        m_command->setFocus();
    });
    connect(reset, &QPushButton::clicked, &m_health, &LinkHealth::reset);
    connect(&m_diag, &CommDiagnostics::changed, this, &DiagWindow::refresh);
    connect(m_healthTimer, &QTimer::timeout, this, &DiagWindow::showHealth);
    m_healthTimer->start(1000);
    resize(560, kTallHeight);
    refresh();
    showHealth();
}

void DiagWindow::setCommonCommandsShown(bool shown)
{
    m_common->setVisible(shown);
    if (shown) {
        resize(width(), qMax(kTallHeight, sizeHint().height()));
    } else {
        adjustSize();
        resize(width(), qMax(kShortHeight / 2, sizeHint().height()));
    }
}

void DiagWindow::refresh()
{
    setBoxText(m_lastSent, m_diag.lastSent());
    setBoxText(m_response, m_diag.response());
    m_stop->setChecked(m_diag.stopChecked());
    for (int i : {int(CommDiagnostics::ClTest), int(CommDiagnostics::AzTest)})
        m_buttons[i]->setText(m_diag.buttonCaption(i));
}

void DiagWindow::showHealth()
{
    m_healthText->setText(m_health.summary());
}

void DiagWindow::popUp(QMenu* menu, QPushButton* under)
{
    menu->popup(under->mapToGlobal(QPoint(0, under->height())));
}

void DiagWindow::showPcuStatusBits()
{
    const statusbits::BitWindow window = statusbits::bitWindow(statusbits::Window::Pcu, m_panel);
    auto* menu = new QMenu(window.title, this);
    menu->setObjectName(QStringLiteral("mnuPStat"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (const statusbits::WindowItem& item : window.items) {
        if (item.separator) {
            menu->addSeparator();
            continue;
        }
        QAction* a = menu->addAction(item.caption);
        a->setCheckable(true);
        a->setChecked(item.checked);
    }
    popUp(menu, m_buttons[CommDiagnostics::PcuStatus]);
}

bool DiagWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_command && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            const QString text = m_command->text();
            m_command->clear();
            m_diag.enter(text);
            return true;
        }
    }
    if (watched == m_buttons[CommDiagnostics::PcuStatus] && event->type() == QEvent::ContextMenu) {
        showPcuStatusBits();
        return true;
    }
    return ToolWindow::eventFilter(watched, event);
}
