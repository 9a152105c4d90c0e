#pragma once

#include <QLineEdit>

#include <functional>

// The box under the display in which a value is typed for the page shown. It reports
// every key (so the page stops refreshing the value being edited), Enter with the text,
// and offers Space to the page first: on a toggle page Space is the toggle, not a blank.
class EntryBox : public QLineEdit {
    Q_OBJECT
public:
    explicit EntryBox(QWidget* parent = nullptr);

    // Asked on Space; true when the page took it as its toggle.
    void setSpaceHandler(std::function<bool()> handler) { m_space = std::move(handler); }

Q_SIGNALS:
    void keyTyped();
    void entered(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::function<bool()> m_space;
};
