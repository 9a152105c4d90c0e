#pragma once

#include "BootFlash.h"
#include "SRecordDecoder.h"

#include <SimPeer.h>

#include <QByteArray>
#include <QLoggingCategory>
#include <QObject>
#include <QString>

#include <utility>
#include <vector>

Q_DECLARE_LOGGING_CATEGORY(lcSimBoot)

// Every module family the programming terminal can reprogram.
enum class BootTarget {
    Acu,
    Pcu,
    Dvb,
    BdeModem,
    AdeModem,
    MotorDriver,
    UsbPcu,
    ServicePortPcu,
    UsbMdb,
    ShorvelPcu,
    ShorvelPanel,
    Kvmp,
    Nmea,
    VtPcu,
    Slcd
};

// What a bootloader can suffer, one knob each; all off by default.
struct BootFaults {
    int corruptRecord = 0;    // the Nth record received arrives with one hex digit changed (0 = none)
    int dropRecord = 0;       // the Nth record received never arrives (0 = none)
    bool refuseErase = false; // every erase fails and leaves the memory as it was
    bool neverReturn = false; // a USB module that restarts never shows its port again
    bool silent = false;      // the bootloader works but never says a word
};

// One module's application and bootloader, as far as programming goes: whether the
// bootloader runs, its flash, and its S-record reader. A module behind the ACU (or a Shorvel
// board, which takes bare bytes) gets one text stream holding both its command words and
// its records; a module whose host reads lines gets its commands from the host and its
// records through feed(). Records count only while the bootloader runs.
class BootModule : public QObject {
    Q_OBJECT
public:
    enum class Action { Start, Erase, BulkErase, Reboot };
    using Words = std::vector<std::pair<QByteArray, Action>>;

    explicit BootModule(BootTarget target, QObject* parent = nullptr);

    BootTarget target() const { return m_target; }
    // The module's name in its own messages ("PCU", "DVB", ...).
    static QByteArray name(BootTarget target);
    // A short key for the command line and reports ("pcu", "usb-pcu", ...).
    static QString key(BootTarget target);
    QByteArray name() const { return name(m_target); }

    void setFaults(const BootFaults& faults) { m_faults = faults; }
    const BootFaults& faults() const { return m_faults; }
    // Whether start and erase are answered with the module's own short lines (on by
    // default; families with their own texts switch this off and speak for themselves).
    void setAnnounce(bool on) { m_announce = on; }

    bool inBootloader() const { return m_boot; }
    // A line of the module's own, unless it is silent.
    void answer(const QByteArray& line) { say(line); }
    // What the bootloader prints when it reads a record it cannot use ("-" for the ACU, "_"
    // for a PCU behind it, "#" for a motor driver behind it; nothing for the others).
    static QByteArray badRecordMarker(BootTarget target);
    void start();
    // False when the erase was refused (fault) or the bootloader is not running.
    bool erase(bool bulk = false);
    // Back to the application; what was programmed and not yet reported is reported now.
    void reboot();

    // The command words of the text stream, with what they do.
    void setWords(Words words) { m_words = std::move(words); }
    const Words& words() const { return m_words; }
    // Text for the bootloader: command words and S-records, in any pieces. Damaged text
    // lost characters on the line: the records it touches end bad and program nothing.
    void feed(const QByteArray& text, bool damaged = false);
    // Text straight off a serial line, with its wire times: a character that arrives while
    // the module is still writing the record before it (setRecordPauseNs) overruns it.
    void feedOnWire(const QByteArray& text, const WireTiming& timing);
    // How long the module writes a record after its last character (0: it keeps up).
    void setRecordPauseNs(qint64 ns) { m_recordPauseNs = ns; }
    // A message boundary (a pass-through burst or route ends): a half command is forgotten.
    void endOfMessage() { m_word.clear(); }

    BootFlash& flash() { return m_flash; }
    const BootFlash& flash() const { return m_flash; }
    // Records that started arriving (a lost record counts too).
    int recordsReceived() const { return m_records; }
    // Records that have ended, good, bad or lost; and whether one is under way.
    int recordsEnded() const { return m_decoder.recordsEnded(); }
    bool recordUnderWay() const { return m_decoder.inRecord(); }
    // Text that came too soon after the pause the module needed, here or in the ACU on the
    // way to it, since the last erase.
    int overruns() const { return m_overruns; }
    void countOverrun() { ++m_overruns; }
    // "PROGRAMMED 32768 BYTES, 2 BAD RECORDS"
    QByteArray summary() const;

Q_SIGNALS:
    // A line the module prints (without its line end).
    void said(const QByteArray& line);
    void started();
    void erased(bool ok);
    // The image is complete: a termination record arrived, or the module restarted with
    // bytes programmed since the last report.
    void programmed();

private:
    void feedChar(char c);
    void takeWord(char c);
    void act(Action action);
    void recordChar(char c);
    void report();
    void say(const QByteArray& line);

    BootTarget m_target;
    BootFaults m_faults;
    BootFlash m_flash;
    SRecordDecoder m_decoder{m_flash};
    Words m_words;
    QByteArray m_word;
    bool m_boot = false;
    bool m_announce = true;
    bool m_erasedSinceStart = false;
    bool m_unreported = false;
    int m_records = 0;
    int m_recordChars = 0;
    bool m_corruptThis = false;
    bool m_garbage = false; // text between records that is no command and no filling
    bool m_inError = false; // a record went bad since the erase
    int m_overruns = 0;
    qint64 m_recordPauseNs = 0;
    qint64 m_recordEndNs = -1;   // when the last character of the record before arrived
    qint64 m_recordEarlyNs = 0;  // how much earlier it may have arrived than stamped
    bool m_overrunNoted = false; // one overrun per record written, however many bytes came
};
