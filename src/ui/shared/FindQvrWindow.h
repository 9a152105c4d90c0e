#pragma once

#include <QDialog>

#include <functional>

class Discovery;
class Prompter;
class QLineEdit;
class QListWidget;
class QPushButton;

// "Find QVRs": finds units on the network with one UDP datagram and lists every answer;
// a double-click opens the unit's web page. Both programs show it over their own
// Discovery; "Configure Port" opens the program's own port settings.
class FindQvrWindow : public QDialog {
    Q_OBJECT
public:
    // help: the F1 page, empty for none.
    FindQvrWindow(Discovery& discovery, Prompter& prompter, QString help, std::function<void()> configurePort,
                  QWidget* parent = nullptr);

    QLineEdit* addressBox() const { return m_address; }
    QLineEdit* portBox() const { return m_port; }
    QListWidget* list() const { return m_list; }
    QPushButton* findAllButton() const { return m_findAll; }
    QPushButton* findSpecificButton() const { return m_findSpecific; }

    // The boxes from the discovery's fields (after it loaded stored ones).
    void showFields();

Q_SIGNALS:
    void closed();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void showFound();

    Discovery& m_discovery;
    QLineEdit* m_address;
    QLineEdit* m_port;
    QListWidget* m_list;
    QPushButton* m_findAll;
    QPushButton* m_findSpecific;
};
