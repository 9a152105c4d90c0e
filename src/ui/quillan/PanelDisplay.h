#pragma once

#include <QFrame>

class QLabel;

// The panel board's display as the terminal decodes it from the frames in the received
// text: two text lines, the bargraph segments, the brightness, and the UNWRAP and
// TRACKING legends.
class PanelDisplay : public QFrame {
    Q_OBJECT
public:
    explicit PanelDisplay(QWidget* parent = nullptr);

    // Lines 1 to 4: text line 1, text line 2, bargraph segments, brightness.
    void setLine(int number, const QString& text);
    QString line(int number) const;
    void setLegends(bool unwrap, bool tracking);
    QString unwrapLegend() const;
    QString trackingLegend() const;

private:
    QLabel* m_lines[4];
    QLabel* m_unwrap;
    QLabel* m_tracking;
};
