#pragma once

#include "PanelFrameParser.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class CommLog;

// The terminal's screen model: the text the window shows, the hex view, the panel display
// lines and legends. Everything received goes through showReceived(); the widget mirrors
// the text through textAppended / textChopped / frontRemoved / textReset, so neither
// appending nor trimming re-renders the whole screen.
class TerminalScreen : public QObject {
    Q_OBJECT
public:
    static constexpr int kTrimLimit = 32500;
    static constexpr int kTrimCount = 16383;
    static constexpr const char* kUnwrapLegend = "UNWRAP";
    static constexpr const char* kTrackingLegend = "TRACKING";

    explicit TerminalScreen(CommLog& log, QObject* parent = nullptr);

    const QString& text() const { return m_text; }
    void clear();

    bool hexView() const { return m_hexView; }
    void setHexView(bool on);
    // The "Data Terminal" selection: line ends are shown untouched.
    bool dataMode() const { return m_dataMode; }
    void setDataMode(bool on) { m_dataMode = on; }
    // On while the panel display lines are shown (top margin above 800 twips).
    bool panelFrames() const { return m_panelFrames; }
    void setPanelFrames(bool on) { m_panelFrames = on; }

    // Text from the unit: trim, line ends, panel frames or hex view, backspaces, log,
    // then receivedShown() for reply capture.
    void showReceived(const QByteArray& data);
    // The program's own messages (progress lines and the like): shown and logged, but
    // never taken for a reply nor counted as received.
    void showText(const QString& text);
    // showText(text + CR LF).
    void showLine(const QString& text);
    // Local typing: echo while the port is open, plain editing while it is closed.
    // Not logged. Backspace removes the last character, CR starts a new line.
    void typeLocally(const QString& text);

    // Characters of received text put on the screen so far. Never goes down (trimming
    // does not touch it), so "how much the display grew" is a plain difference.
    qint64 shownCount() const { return m_shownCount; }
    // Received text shown since a shownCount() mark (as much as is still kept).
    QString receivedSince(qint64 mark) const;

    QString panelLine(int line) const; // 1..4
    QString unwrapLegend() const { return m_unwrap; }
    QString trackingLegend() const { return m_tracking; }
    PanelFrameParser& frameParser() { return m_parser; }

Q_SIGNALS:
    void textAppended(const QString& text);
    // The last count characters were removed.
    void textChopped(int count);
    // The oldest part of the text was dropped to keep the screen within its limit.
    void frontRemoved(const QString& removed);
    // The text changed otherwise (clear): take text() as a whole.
    void textReset();
    void hexViewChanged(bool on);
    void panelLineChanged(int line, const QString& text);
    void legendsChanged(const QString& unwrap, const QString& tracking);
    // Received text after line-end handling (before hex view and panel frames), for reply capture.
    void receivedShown(const QString& text);

private:
    void trim();
    void dropFront(qsizetype count);
    void appendPlain(const QString& text);
    void appendWithBackspaces(const QString& text);
    QString normaliseLineEnds(const QString& text) const;

    CommLog& m_log;
    PanelFrameParser m_parser;
    QString m_text;
    bool m_hexView = false;
    bool m_dataMode = false;
    bool m_panelFrames = false;
    qint64 m_shownCount = 0;
    QString m_recentReceived; // tail of the received text shown, for receivedSince()
    QString m_lines[4];
    QString m_unwrap;
    QString m_tracking;
};
