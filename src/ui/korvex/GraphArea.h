#pragma once

#include <QFrame>

class PlotFrame;
class QComboBox;
class QHBoxLayout;
class QPushButton;

// The lower half of the main window: the plot, the caption strip under it for the trace
// lists, scale captions and legend lines, and the column of graph controls.
class GraphArea : public QFrame {
    Q_OBJECT
public:
    explicit GraphArea(QWidget* parent = nullptr);

    PlotFrame* plot() const { return m_plot; }
    QHBoxLayout* captionLayout() const { return m_captions; }
    QComboBox* modeList() const { return m_modeList; }
    QPushButton* redrawButton() const { return m_redraw; }
    QPushButton* clearButton() const { return m_clear; }
    QPushButton* centerAllButton() const { return m_centerAll; }
    QPushButton* captureButton() const { return m_capture; }
    QPushButton* expandButton() const { return m_expand; }
    // Collapsed, only the expand button stays, so that the graph can be brought back.
    void setGraphShown(bool shown);

private:
    PlotFrame* m_plot = nullptr;
    QHBoxLayout* m_captions = nullptr;
    QWidget* m_captionStrip = nullptr;
    QComboBox* m_modeList = nullptr;
    QPushButton* m_redraw = nullptr;
    QPushButton* m_clear = nullptr;
    QPushButton* m_centerAll = nullptr;
    QPushButton* m_capture = nullptr;
    QPushButton* m_expand = nullptr;
};
