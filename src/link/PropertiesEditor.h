#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class DeviceLink;
class KorvexSettings;
class Prompter;
class SettingsStore;

// The "CommPort Properties" dialog without its widgets: four tabs, one per antenna, whose
// edits apply to the profiles in memory at once. OK writes them to the store and reopens
// the link; Cancel leaves the edits in memory and writes nothing.
class PropertiesEditor : public QObject {
    Q_OBJECT
public:
    static const QString kHelpUrl;

    // What the controls of the shown tab show.
    struct TabView {
        bool enabled = false;
        QString caption;
        int portIndex = 0; // position in portList(), commPort - 1
        QString baud;      // settings before the first comma
        QString address;
        QString portText; // tcpPort as text
        bool serial = true;
        QString comDevice; // the device the shown Com number maps to
    };

    PropertiesEditor(DeviceLink& link, KorvexSettings& settings, SettingsStore& store, Prompter& prompter,
                     QObject* parent = nullptr);

    static QStringList portList();     // "Com1".."Com20"
    static QStringList baudList();     // "1200".."38400"
    static QStringList parityList();   // shown "None"
    static QStringList dataBitsList(); // shown "8"
    static QStringList stopBitsList(); // shown "1"
    static QStringList flowList();
    static QString shownParity() { return QStringLiteral("None"); }
    static QString shownDataBits() { return QStringLiteral("8"); }
    static QString shownStopBits() { return QStringLiteral("1"); }

    // The four antenna captions, for the tab strip.
    QStringList tabCaptions() const;
    // The dialog opens on a tab (0..3).
    void open(int tab);
    void selectTab(int tab);
    int currentTab() const { return m_tab; }
    TabView view() const;

    // Edits of the shown tab's antenna.
    void setCaption(const QString& caption);
    void setEnabled(bool enabled);
    void setAddress(const QString& address);
    // Ignored unless the text is a TCP port (1 to 65535); OK then refuses it.
    void setPortText(const QString& text);
    void setPortIndex(int index);
    // Settings become the trimmed baud followed by ",N,8,1".
    void setBaud(const QString& baud);
    // Closes the selected antenna's open link first when it is this tab's antenna.
    void setSerial(bool serial);
    // Kept until OK, which stores it in section "Ports" if it changed.
    void setComDevice(const QString& device);

    // False, with a message and nothing written, while the shown port text is not a port.
    bool ok();
    void cancel();
    void help();

Q_SIGNALS:
    void viewChanged();
    void closed();

private:
    int antenna() const { return m_tab + 1; }

    DeviceLink& m_link;
    KorvexSettings& m_settings;
    SettingsStore& m_store;
    Prompter& m_prompter;
    int m_tab = 0;
    // Device edits per COM number (1-based index into this map), applied on OK.
    QHash<int, QString> m_deviceEdits;
    // The port box's text while it is not a port.
    std::optional<QString> m_badPortText;
};
