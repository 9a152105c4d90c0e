#pragma once

#include <QWidget>

class LampLabel;
class QCheckBox;
class QLabel;

// The row under the toolbar: the connection LED (a click opens or closes the link) and
// the five line-state boxes. CTS, DSR and DCD only show the modem-status inputs; DTR
// and RTS drive the outputs.
class LineStateStrip : public QWidget {
    Q_OBJECT
public:
    explicit LineStateStrip(QWidget* parent = nullptr);

    void setLinkOpen(bool open);
    void setInputs(bool cts, bool dsr, bool dcd);
    void setOutputs(bool dtr, bool rts);
    void setPhonePowerVisible(bool visible);
    // While a sequence runs the LED does not toggle the port; its tip says why.
    void setLedLocked(bool locked);

    QCheckBox* box(const QString& name) const;
    LampLabel* led() const { return m_led; }

Q_SIGNALS:
    void ledClicked();
    void dtrClicked(bool on);
    void rtsClicked(bool on);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QCheckBox* addBox(const QString& name, bool userSettable);

    LampLabel* m_led;
    QList<QCheckBox*> m_boxes;
    QLabel* m_phonePower;
};
