#include "BurnInWindow.h"

#include "BurnIn.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

BurnInWindow::BurnInWindow(BurnIn& burnIn, Prompter& prompter, QWidget* parent)
    : ToolWindow(QStringLiteral("frmBurn"), QStringLiteral("Burn-In Excersise"), QString(), prompter, parent),
      m_burnIn(burnIn), m_interval(new QLineEdit(this)), m_log(new QPlainTextEdit(this)),
      m_start(new QPushButton(QStringLiteral("Start"), this)),
      m_stop(new QPushButton(QStringLiteral("Stop"), this)),
      m_continue(new QPushButton(QStringLiteral("Continue"), this))
{
    m_interval->setObjectName(QStringLiteral("Text2"));
    m_interval->setMaximumWidth(70);
    m_log->setObjectName(QStringLiteral("Text1"));
    m_log->setReadOnly(true);
    m_log->setFont(QFont(QStringLiteral("DejaVu Sans Mono")));
    m_start->setObjectName(QStringLiteral("Command1"));
    m_stop->setObjectName(QStringLiteral("Command2"));
    m_continue->setObjectName(QStringLiteral("Command3"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Interval"), this), 0, 0);
    grid->addWidget(m_interval, 0, 1);
    grid->addWidget(m_start, 0, 3);
    grid->addWidget(m_stop, 0, 4);
    grid->addWidget(m_continue, 0, 5);
    grid->addWidget(new QLabel(QStringLiteral("Command Sequence"), this), 1, 0, 1, 6);
    grid->addWidget(m_log, 2, 0, 1, 6);
    grid->setColumnStretch(2, 1);
    resize(480, 300);

    connect(m_interval, &QLineEdit::textEdited, &m_burnIn, &BurnIn::editInterval);
    connect(m_start, &QPushButton::clicked, &m_burnIn, &BurnIn::start);
    connect(m_stop, &QPushButton::clicked, &m_burnIn, &BurnIn::stop);
    connect(m_continue, &QPushButton::clicked, &m_burnIn, &BurnIn::resume);
    connect(&m_burnIn, &BurnIn::changed, this, &BurnInWindow::refresh);
    refresh();
}

void BurnInWindow::refresh()
{
    setBoxText(m_interval, m_burnIn.intervalText());
    const QString log = QString(m_burnIn.log()).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (m_log->toPlainText() != log) {
        m_log->setPlainText(log);
        m_log->verticalScrollBar()->setValue(m_log->verticalScrollBar()->maximum());
    }
    m_continue->setEnabled(m_burnIn.canContinue() && !m_burnIn.running());
}
