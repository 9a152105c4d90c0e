#include "FirstStartDialog.h"

#include "SettingsStore.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

FirstStartDialog::FirstStartDialog(const QString& program, const QList<SerialPortEntry>& ports, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("%1 - Choose the unit's port").arg(program));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(
        ports.isEmpty()
            ? QStringLiteral("No serial port has been set up yet, and this computer lists no serial devices. "
                             "Plug in the USB serial adapter and start again, or choose \"Port Settings...\" "
                             "for a TCP/IP link.")
            : QStringLiteral("No serial port has been set up yet. These are the serial devices this computer "
                             "has: choose the one the unit is connected to, or \"Port Settings...\" for TCP/IP "
                             "and other settings."),
        this);
    intro->setWordWrap(true);
    intro->setMinimumWidth(440);
    layout->addWidget(intro);

    m_list = new QListWidget(this);
    for (const SerialPortEntry& port : ports) {
        auto* item = new QListWidgetItem(port.label(), m_list);
        item->setData(Qt::UserRole, port.device);
    }
    m_list->setVisible(!ports.isEmpty());
    m_list->setMinimumWidth(440);
    if (!ports.isEmpty())
        m_list->setCurrentRow(0);
    layout->addWidget(m_list);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* use = buttons->addButton(QStringLiteral("&Use This Port"), QDialogButtonBox::AcceptRole);
    use->setEnabled(!ports.isEmpty());
    QPushButton* settings = buttons->addButton(QStringLiteral("&Port Settings..."), QDialogButtonBox::ActionRole);
    buttons->addButton(QStringLiteral("&Later"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);

    connect(use, &QPushButton::clicked, this, [this] {
        if (QListWidgetItem* item = m_list->currentItem())
            m_device = item->data(Qt::UserRole).toString();
        accept();
    });
    connect(m_list, &QListWidget::itemDoubleClicked, use, &QPushButton::click);
    connect(settings, &QPushButton::clicked, this, [this] {
        m_settings = true;
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

bool FirstStartDialog::isFirstStart(const SettingsStore& store, const QString& app, const QString& section,
                                    const QStringList& linkKeys)
{
    for (const QString& key : linkKeys) {
        if (store.contains(app, section, key))
            return false;
    }
    return !store.contains(app, QStringLiteral("Ports"), QStringLiteral("COM1"));
}
