#pragma once

#include <QtGlobal>

class SettingsStore;

// The graph's seven colours, 24-bit values with red in the low byte.
struct GraphColors {
    quint32 back = 0;
    quint32 grid = 0;
    quint32 home = 0;
    quint32 trace[4] = {};

    // "Load DOS Defaults": light traces on near-black.
    static GraphColors dos();
    // "Load Win Defaults": on the light grey of a window.
    static GraphColors win();
    // What "Reload Saved Colors" falls back on for a key that was never saved. Its grid
    // is one step darker than the DOS set's; stored files rely on the difference being
    // harmless, so it stays.
    static GraphColors savedDefaults();
    // The page of "Print Screen": white paper, light grey grid, the rest as on screen.
    GraphColors forPrint() const;

    // "Save Settings" and "Reload Saved Colors": section "Colors", keys Back, Grid, Home,
    // T1 to T4, decimal text. A value that does not read as a colour gives its default.
    void save(SettingsStore& store, const QString& app) const;
    static GraphColors load(const SettingsStore& store, const QString& app);

    bool operator==(const GraphColors& o) const;
};
