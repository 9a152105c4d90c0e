#pragma once

#include <QFrame>
#include <QStringList>

// The unit's four-line vacuum-fluorescent display: fixed-pitch characters lit on a
// near-black glass. Unlit character cells show faintly, as they do on the real panel,
// so the columns read at a glance even when a line is short.
class VfdDisplay : public QFrame {
    Q_OBJECT
public:
    explicit VfdDisplay(QWidget* parent = nullptr);

    void setLines(const QStringList& lines);
    void setLine(int index, const QString& text);
    QStringList lines() const { return m_lines; }
    QString line(int index) const { return m_lines.value(index); }

    // How many character cells a line has; longer texts widen the glass rather than
    // being cut off.
    void setColumns(int columns);
    int columns() const { return m_columns; }
    void setPixelSize(int pixels);

    static QFont displayFont(int pixelSize);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int shownColumns() const;
    QSize cellSize() const;

    QStringList m_lines;
    int m_columns = 20;
    QFont m_font;
};
