#pragma once

#include "TextStream.h"
#include "UnitLine.h"

#include <memory>

class AcuUnit;
class RuntimeTimer;

// A module's service console as the programming terminal meets it: it echoes what it
// receives, answers command lines, can show its front panel the way a PCU sends it (panel
// frames), and can pour out text at a set rate for load tests. The panel shows the antenna
// of an ACU unit, which may be shared with other lines.
class TerminalUnit : public UnitLine {
    Q_OBJECT
public:
    static constexpr int kStreamTickMs = 10;
    static constexpr const char* kVersion = "QVR TERMINAL UNIT VER 1.00 SIM";

    explicit TerminalUnit(Runtime& runtime, quint64 seed = 1, QObject* parent = nullptr);
    TerminalUnit(Runtime& runtime, std::shared_ptr<AcuUnit> unit, quint64 seed = 1,
                 QObject* parent = nullptr);
    ~TerminalUnit() override;

    AcuUnit& unit() { return *m_unit; }

    // Each received byte is sent back as it came (on by default).
    void setEcho(bool on) { m_echo = on; }
    bool echo() const { return m_echo; }
    // Panel frames every intervalMs while connected (0 = none).
    void setPanelFrames(int intervalMs);
    // A status line about the antenna every intervalMs while connected (0 = none), so a
    // terminal shows the traffic a live console makes.
    void setStatusLines(int intervalMs);
    // Text at this many bytes per second while connected, in small pieces on a timer
    // (0 = none). The count starts when the stream starts.
    void setStream(int bytesPerSecond);
    qint64 streamedBytes() const { return m_text.bytesTaken(); }

    // The answer to one command line (without its line end); empty: no answer.
    static QByteArray answer(const QByteArray& line);

protected:
    void received(const QByteArray& bytes) override;
    void connected() override;
    void disconnected() override;

private:
    void startTimers();
    void stopTimers();
    void sendPanel();
    void streamTick();

    std::shared_ptr<AcuUnit> m_unit;
    bool m_echo = true;
    QByteArray m_line;
    bool m_lastWasCr = false;
    int m_panelIntervalMs = 0;
    int m_streamRate = 0;
    std::unique_ptr<RuntimeTimer> m_panelTimer;
    std::unique_ptr<RuntimeTimer> m_streamTimer;
    int m_statusIntervalMs = 0;
    std::unique_ptr<RuntimeTimer> m_statusTimer;
    TextStream m_text;
    qint64 m_streamStartNs = 0;
};
