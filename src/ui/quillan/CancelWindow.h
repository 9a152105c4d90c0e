#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

// The small window with the Cancel button that a running send or upload keeps in front
// of the terminal. It is not modal: the terminal keeps scrolling behind it.
class CancelWindow : public QDialog {
    Q_OBJECT
public:
    explicit CancelWindow(QWidget* parent = nullptr);

    // Text lines are separated by CR, as the logic writes them.
    void present(const QString& caption, const QString& text);
    // done of total lines (total 0 = unknown), and the time since the run began.
    void setProgress(qint64 done, qint64 total, qint64 elapsedMs);
    // A progress line of the sequence's own, with the bar at done of total.
    void setProgressLine(const QString& line, qint64 done, qint64 total);
    QString text() const;
    QString progressText() const;

    static QString clockText(qint64 ms);

Q_SIGNALS:
    void cancelClicked();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    QLabel* m_text;
    QProgressBar* m_bar;
    QLabel* m_progress;
    QPushButton* m_cancel;
};
