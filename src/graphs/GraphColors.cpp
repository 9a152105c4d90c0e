#include "GraphColors.h"

#include "SettingsStore.h"

#include <algorithm>

namespace {
const QString kSection = QStringLiteral("Colors");
const char* const kKeys[] = {"Back", "Grid", "Home", "T1", "T2", "T3", "T4"};
constexpr quint32 kWhite = 16777215;
constexpr quint32 kPrintGrid = 12632256;

quint32* slot(GraphColors& c, int i)
{
    switch (i) {
    case 0:
        return &c.back;
    case 1:
        return &c.grid;
    case 2:
        return &c.home;
    default:
        return &c.trace[i - 3];
    }
}

GraphColors make(quint32 back, quint32 grid, quint32 home, quint32 t1, quint32 t2, quint32 t3, quint32 t4)
{
    GraphColors c;
    c.back = back;
    c.grid = grid;
    c.home = home;
    c.trace[0] = t1;
    c.trace[1] = t2;
    c.trace[2] = t3;
    c.trace[3] = t4;
    return c;
}
} // namespace

GraphColors GraphColors::dos()
{
    return make(2039583, 5197647, 255, 65535, 65280, 16776960, 16777215);
}

GraphColors GraphColors::win()
{
    return make(14737632, 12632256, 255, 65535, 65280, 8388608, 16777215);
}

GraphColors GraphColors::savedDefaults()
{
    return make(2039583, 5197646, 255, 65535, 65280, 16776960, 16777215);
}

GraphColors GraphColors::forPrint() const
{
    GraphColors c = *this;
    c.back = kWhite;
    c.grid = kPrintGrid;
    return c;
}

void GraphColors::save(SettingsStore& store, const QString& app) const
{
    GraphColors copy = *this;
    for (int i = 0; i < 7; ++i)
        store.set(app, kSection, QLatin1String(kKeys[i]), QString::number(*slot(copy, i)));
    store.sync();
}

GraphColors GraphColors::load(const SettingsStore& store, const QString& app)
{
    GraphColors c = savedDefaults();
    for (int i = 0; i < 7; ++i) {
        quint32* value = slot(c, i);
        const QString text = store.get(app, kSection, QLatin1String(kKeys[i]), QString::number(*value));
        bool ok = false;
        const qlonglong read = text.trimmed().toLongLong(&ok);
        // A hand-edited value outside the 24 bits of a colour is not one.
        if (ok && read >= 0 && read <= kWhite)
            *value = quint32(read);
    }
    return c;
}

bool GraphColors::operator==(const GraphColors& o) const
{
    return back == o.back && grid == o.grid && home == o.home && std::equal(trace, trace + 4, o.trace);
}
