#pragma once

#include "BootModule.h"
#include "UnitLine.h"

#include <functional>
#include <memory>

class RuntimeTimer;

// A module attached straight to the programming terminal (USB or a service port), as its
// application and its bootloader answer:
// - USB PCU and service-port PCU: "^0080" starts the bootloader, "^0578" erases, record
//   lines follow; the service-port PCU echoes every line it receives.
// - USB MDB: the same with "]".
// - Shorvel PCU and panel: bare bytes ("^0080" and 0xA6, bare "^0578"; bytes 5, 7, 8, bare
//   "S119", records without line ends).
// - KVMP: its application answers "verA" and streams status text; "^BL" restarts it into its
//   bootloader (the USB port goes and comes back), which answers "verB", erases on "^0578"
//   and, once the image is complete, restarts the application (the port goes again).
//   "^NM" hands the line to the NMEA board behind it, "$" to the VT PCU ("%" takes it back).
// USB boards restart after programming, so their port vanishes and returns like the KVMP's.
class ModuleUnit : public UnitLine {
    Q_OBJECT
public:
    enum class KvmpRoute { Own, Nmea, VtPcu };

    static constexpr int kDefaultReturnAfterMs = 3000;
    // A restarting board lets go of its USB port this long after it decided to restart.
    static constexpr int kDefaultRestartDelayMs = 200;
    static constexpr int kStatusIntervalMs = 100;
    // The VT PCU's erase takes this long before it says "OK".
    static constexpr int kVtEraseMs = 1000;
    // The SLCD's flash erase, and the panel's own update after the last record.
    static constexpr int kSlcdEraseMs = 15000;
    static constexpr int kSlcdUpdateMs = 20000;
    static constexpr int kSlcdRecord = 128;
    static constexpr const char* kKvmpVersion = "KVMP Ver 2.14 SIM";
    static constexpr const char* kKvmpBootVersion = "KVMP Bootloader Ver 1.20 SIM";

    // target: UsbPcu, ServicePortPcu, UsbMdb, ShorvelPcu, ShorvelPanel or Kvmp.
    ModuleUnit(Runtime& runtime, BootTarget target, quint64 seed = 1, QObject* parent = nullptr);
    ~ModuleUnit() override;

    BootTarget target() const { return m_target; }
    // The board on this port, and (KVMP only, else null) the boards behind it.
    BootModule& module() { return *m_main; }
    BootModule* nmea() { return m_nmea.get(); }
    BootModule* vtPcu() { return m_vt.get(); }
    // The SLCD display behind the KVMP: its image arrives as bare bytes after "^378".
    BootModule* slcd() { return m_slcd.get(); }
    QList<BootModule*> modules() const;

    void setBootFaults(const BootFaults& faults);
    // How long a restarting USB board stays away; -1: it never comes back.
    void setReturnAfterMs(int ms) { m_returnAfterMs = ms; }
    int returnAfterMs() const { return m_returnAfterMs; }
    void setRestartDelayMs(int ms) { m_restartDelayMs = qMax(0, ms); }
    // The KVMP application's status text (on by default).
    void setStatusStream(bool on);
    bool portPresent() const { return m_present; }
    KvmpRoute kvmpRoute() const { return m_route; }

Q_SIGNALS:
    // The USB port disappeared (the board restarts) and came back.
    void portGone();
    void portBack();

protected:
    void received(const QByteArray& bytes) override;
    void receivedOnWire(const QByteArray& bytes, const WireTiming& timing) override;
    void connected() override;
    void disconnected() override;

private:
    // Cuts bytes into lines at CR, LF or CR LF; empty lines count.
    struct LineReader {
        QByteArray line;
        bool lastCr = false;
        bool take(char c, QByteArray* done);
        void reset() { line.clear(), lastCr = false; }
    };

    void say(const QByteArray& line) { output().reply(line); }
    void usbLine(const QByteArray& line);
    void kvmpReceived(const QByteArray& bytes);
    void kvmpLine(const QByteArray& line);
    void nmeaLine(const QByteArray& line);
    void vtChar(char c);
    void vtLine(const QByteArray& line);
    // The SLCD commands of the KVMP application; true when the line was one.
    bool slcdLine(const QByteArray& line);
    void slcdByte(char c);
    void nmeaMenu();
    void onProgrammed(BootModule* module);
    // The board restarts: its port goes after the restart delay and comes back (unless it
    // never does), and then runs what `back` sets up.
    void restart(std::function<void()> back);
    void updateStream();
    void statusTick();

    BootTarget m_target;
    std::unique_ptr<BootModule> m_main;
    std::unique_ptr<BootModule> m_nmea;
    std::unique_ptr<BootModule> m_vt;
    std::unique_ptr<BootModule> m_slcd;
    qint64 m_slcdSize = 0;     // announced with "^479"
    qint64 m_slcdReceived = 0; // image bytes taken since "^378"
    QByteArray m_slcdRecord;
    bool m_slcdBinary = false; // the line carries image bytes, not commands
    bool m_slcdSkipLf = false; // the LF of the "^378" line end is not image
    LineReader m_reader;
    LineReader m_vtReader;
    KvmpRoute m_route = KvmpRoute::Own;
    bool m_present = true;
    bool m_restarting = false;
    bool m_neverReturn = false;
    int m_returnAfterMs = kDefaultReturnAfterMs;
    int m_restartDelayMs = kDefaultRestartDelayMs;
    bool m_streamOn = true;
    std::unique_ptr<RuntimeTimer> m_statusTimer;
    int m_statusCount = 0;
};
