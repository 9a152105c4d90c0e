#include "N7Window.h"

#include "N7Tool.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

N7Window::N7Window(N7Tool& n7, Prompter& prompter, QWidget* parent)
    : ToolWindow(QStringLiteral("frmN7"), QStringLiteral("N7 Parameter Tool"), QString(), prompter, parent),
      m_n7(n7), m_value(new QLineEdit(this))
{
    setToolTip(QStringLiteral("Click Options to show n7 -or- Enter n7 to show Options"));
    auto* groups = new QHBoxLayout;
    for (int g = 0; g < 4; ++g) {
        auto* box = new QGroupBox(N7Tool::groupCaption(g), this);
        box->setObjectName(QStringLiteral("Option%1").arg(g + 1));
        auto* v = new QVBoxLayout(box);
        const QStringList captions = N7Tool::optionCaptions(g);
        for (int i = 0; i < 4; ++i) {
            auto* o = new QRadioButton(captions[i], box);
            o->setToolTip(QStringLiteral("Select option to encode n7"));
            m_options[g][i] = o;
            v->addWidget(o);
            connect(o, &QRadioButton::clicked, this, [this, g, i] {
                m_n7.select(g, i);
                refresh();
                m_value->setFocus();
                m_value->selectAll();
            });
        }
        m_groupValues[g] = new QLineEdit(box);
        m_groupValues[g]->setObjectName(QStringLiteral("Text%1").arg(g + 2));
        m_groupValues[g]->setToolTip(QStringLiteral("Value of Selection Above"));
        m_groupValues[g]->setReadOnly(true);
        m_groupValues[g]->setMaximumWidth(60);
        v->addWidget(m_groupValues[g]);
        groups->addWidget(box);
    }
    m_value->setObjectName(QStringLiteral("Text1"));
    m_value->setToolTip(QStringLiteral("Enter n7 value to Decode"));
    m_value->setMaximumWidth(80);
    m_value->installEventFilter(this);
    // The unit commands these would send are not settled yet.
    auto* read = new QPushButton(QStringLiteral("Read"), this);
    read->setObjectName(QStringLiteral("Command1"));
    read->setEnabled(false);
    auto* send = new QPushButton(QStringLiteral("Send"), this);
    send->setObjectName(QStringLiteral("Command2"));
    send->setToolTip(QStringLiteral("Sends new N7 Parameter to QVR"));
    send->setEnabled(false);
    auto* exit = new QPushButton(QStringLiteral("Exit"), this);
    connect(exit, &QPushButton::clicked, this, &QWidget::hide);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(QStringLiteral("n7"), this));
    bottom->addWidget(m_value);
    bottom->addStretch(1);
    bottom->addWidget(read);
    bottom->addWidget(send);
    bottom->addWidget(exit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addLayout(bottom);
    refresh();
}

void N7Window::refresh()
{
    for (int g = 0; g < 4; ++g) {
        m_options[g][m_n7.index(g)]->setChecked(true);
        m_groupValues[g]->setText(QString::number(m_n7.groupValue(g)));
    }
    setBoxText(m_value, m_n7.valueText());
}

bool N7Window::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_value && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            m_n7.decode(m_value->text());
            refresh();
            m_value->selectAll();
            return true;
        }
        if (key->key() == Qt::Key_N && key->modifiers() & Qt::ControlModifier) {
            Q_EMIT toggleRequested();
            return true;
        }
    }
    return ToolWindow::eventFilter(watched, event);
}
