#pragma once

#include <QObject>
#include <QString>

// What the progress window `frmMsg` shows while a parameter dump or upload runs: a label,
// a bar from 0 to 100 and a Cancel button. The logic sets it; the window follows the
// signals and hands the button back through cancel(). One of it serves both tools, as they
// never run at the same time.
class ToolProgress : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaximum = 100;

    using QObject::QObject;

    const QString& label() const { return m_label; }
    int value() const { return m_value; }
    bool isShown() const { return m_shown; }

    void setLabel(const QString& label);
    // Values of kMaximum and above leave the bar where it is.
    void setValue(int value);
    void show();
    void hide();
    // The window's "Cancel".
    void cancel() { Q_EMIT cancelRequested(); }

Q_SIGNALS:
    void labelChanged(const QString& label);
    void valueChanged(int value);
    void shownChanged(bool shown);
    void cancelRequested();

private:
    QString m_label;
    int m_value = 0;
    bool m_shown = false;
};
