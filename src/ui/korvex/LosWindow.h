#pragma once

#include "LineOfSight.h"
#include "ToolWindow.h"

#include <QWidget>

class KorvexTools;
class QCheckBox;
class QLineEdit;
class QPushButton;

// The antenna-to-target geometry beside the numbers: an azimuth rose with the bearing and
// an elevation arc with the look angle, and the viewable status in its colour.
class LosGeometryView : public QWidget {
    Q_OBJECT
public:
    explicit LosGeometryView(QWidget* parent = nullptr);
    void show(const los::Result& result, bool calculated);
    QSize sizeHint() const override { return {240, 300}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    los::Result m_result;
    bool m_calculated = false;
};

// "Line of Sight Pointing".
class LosWindow : public ToolWindow {
    Q_OBJECT
public:
    LosWindow(KorvexTools& tools, Prompter& prompter, QWidget* parent = nullptr);

    QPushButton* calculateButton() const { return m_calculate; }
    QPushButton* targetButton() const { return m_target; }
    QCheckBox* manualBox() const { return m_manual; }
    LosGeometryView* geometry() const { return m_geometry; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showInputs();
    void showResult();
    void refreshAntenna();

    KorvexTools& m_tools;
    struct Box {
        QLineEdit* edit;
        QString los::Inputs::*field;
        int hemisphere; // 0 none, 1 latitude, 2 longitude
    };
    QList<Box> m_boxes;
    QLineEdit* m_azimuth;
    QLineEdit* m_elevation;
    QLineEdit* m_range;
    QLineEdit* m_status;
    QLineEdit* m_viewable;
    QCheckBox* m_manual;
    QPushButton* m_calculate;
    QPushButton* m_target;
    LosGeometryView* m_geometry;
    bool m_calculated = false;
};
