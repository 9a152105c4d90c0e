#include "Replay.h"

#include "GraphTarget.h"
#include "NumberFormat.h"
#include "PanelState.h"
#include "Prompter.h"
#include "Runtime.h"

#include <charconv>

const QString Replay::kOpenFilter =
    QStringLiteral("Data (*.csv, *.txt) |*.csv;*.txt|Text (*.txt, *.prn) |*.txt;*.prn|All files (*.*)|*.*");
const QString Replay::kUnsupported =
    QStringLiteral("Unable to load capture file.  This file type may not yet be supported.");

namespace {
// The plain decimal numbers our own files hold ("  -12.5") are read directly; anything
// else (a hemisphere letter, an exponent, "&H") goes through the full leading-number
// reader. Both give the same value; the direct way keeps a page of a long log quick.
std::optional<double> plainDecimal(const QByteArray& text)
{
    const char* p = text.constData();
    const char* end = p + text.size();
    while (p < end && *p == ' ')
        ++p;
    if (p < end && *p == '+')
        ++p;
    const char* start = p;
    if (p < end && *p == '-')
        ++p;
    int digits = 0;
    bool point = false;
    for (const char* q = p; q < end; ++q) {
        if (*q >= '0' && *q <= '9')
            ++digits;
        else if (*q == '.' && !point)
            point = true;
        else
            return std::nullopt;
    }
    double value = 0;
    if (digits == 0 || std::from_chars(start, end, value).ptr != end)
        return std::nullopt;
    return value;
}

double field(const QList<QByteArray>& fields, int index)
{
    if (index >= fields.size())
        return 0.0;
    if (const std::optional<double> plain = plainDecimal(fields[index]))
        return *plain;
    return numfmt::leadingNumber(QString::fromLatin1(fields[index]));
}

qint16 tenths(double degrees)
{
    return numfmt::wrap16(numfmt::roundHalfEven(degrees * 10));
}

qint16 whole(double value)
{
    return numfmt::wrap16(numfmt::roundHalfEven(value));
}
} // namespace

Replay::Replay(Prompter& prompter, GraphTarget& graph, Runtime& runtime, QObject* parent)
    : QObject(parent), m_prompter(prompter), m_graph(graph), m_rt(runtime)
{
}

std::optional<GraphMode> Replay::recognise(const QByteArray& titleLine)
{
    const QString title = QString::fromLatin1(titleLine);
    const std::pair<const char*, GraphMode> words[] = {{"Korvex ADMC", GraphMode::Admc},
                                                       {"Korvex Disp ivc", GraphMode::DispIvc},
                                                       {"Korvex Disp v", GraphMode::DispV},
                                                       {"Korvex Disp w", GraphMode::DispW},
                                                       {"Korvex Disp tc", GraphMode::DispTc}};
    for (const auto& [word, mode] : words) {
        if (title.contains(QLatin1String(word), Qt::CaseInsensitive))
            return mode;
    }
    return std::nullopt;
}

PanelSample Replay::applyLine(GraphMode mode, const QByteArray& line, const PanelSample& base)
{
    const QList<QByteArray> f = line.split(',');
    PanelSample s = base;
    if (mode == GraphMode::Admc) {
        // Cross-level, latitude and longitude are not read back: the graph's ADMC
        // traces never come from them.
        s.elevation = tenths(field(f, 1));
        s.azimuth = tenths(field(f, 2));
        s.relativeAzimuth = tenths(field(f, 4));
        s.heading = tenths(field(f, 5));
        s.agc = whole(field(f, 6));
        s.externalAgc = whole(field(f, 9));
        s.externalAgcText = numfmt::leadingSpace(field(f, 9));
        return s;
    }
    s.DispCL = whole(field(f, 1));
    s.DispLV = whole(field(f, 2));
    s.DispAZ = whole(field(f, 3));
    s.relativeAzimuthText = numfmt::leadingSpace(field(f, 4));
    if (mode == GraphMode::DispIvc)
        s.DispPhase = -32;
    return s;
}

void Replay::load()
{
    if (m_loaded || m_indexing)
        return;
    if (m_refusal) {
        const QString refusal = m_refusal();
        if (!refusal.isEmpty()) {
            m_prompter.error(refusal);
            return;
        }
    }
    const QString path = m_prompter.openFileName({QString(), kOpenFilter, QString(), QString()});
    if (!path.isEmpty())
        loadFile(path);
}

bool Replay::loadFile(const QString& path)
{
    if (m_loaded || m_indexing)
        return false;
    QString error;
    if (!m_index.open(path, &error)) {
        m_prompter.error(error);
        return false;
    }
    m_indexing = true;
    m_progressVisible = true;
    m_progressMax = m_index.fileSize();
    m_progressValue = 0;
    Q_EMIT changed();
    // A block at a time, with the window kept alive in between: a log of a million lines
    // takes a moment to index, and the bar shows how far it has got.
    while (m_index.step()) {
        m_progressValue = m_index.bytesScanned();
        Q_EMIT changed();
        m_rt.processEvents();
    }
    m_indexing = false;
    if (!m_index.error().isEmpty()) {
        hideProgress();
        m_prompter.error(m_index.error());
        return false;
    }
    const std::optional<GraphMode> mode = recognise(m_index.titleLine());
    if (!mode) {
        // Nothing is loaded: live polling and the graph stay as they were.
        hideProgress();
        m_prompter.error(kUnsupported);
        return false;
    }
    m_mode = *mode;
    m_loaded = true;
    m_pageStart = 0;
    return showPage();
}

bool Replay::showPage()
{
    CaptureFileIndex::Page page;
    QString error;
    if (!m_index.readPage(m_pageStart, &page, &error)) {
        m_prompter.error(error);
        Q_EMIT changed();
        return false;
    }
    if (m_graph.mode() != m_mode)
        m_graph.selectMode(m_mode);
    m_graph.setStopOption(true);
    m_graph.clear();
    PanelSample sample = m_graph.liveSample();
    for (const QByteArray& line : page.lines) {
        sample = applyLine(m_mode, line, sample);
        m_graph.plot(sample);
    }
    if (m_pageStart == 0)
        m_graph.centerAll();
    m_pageEnd = page.endOffset;
    m_progressValue = m_pageEnd;
    Q_EMIT changed();
    return true;
}

void Replay::pageForward()
{
    if (!m_loaded)
        return;
    // The capture ends with its last data line: the dump after it is not a page.
    if (m_pageStart + CaptureFileIndex::kPageLines >= m_index.dataLines()) {
        m_prompter.message({QStringLiteral("Reached the end of the Capture"),
                            QStringLiteral("End of Capture"),
                            Prompter::Icon::None,
                            Prompter::Buttons::Ok,
                            {}});
        return;
    }
    m_pageStart += CaptureFileIndex::kPageLines;
    showPage();
}

void Replay::pageBack()
{
    if (!m_loaded)
        return;
    if (m_pageStart <= 0) {
        m_pageStart = 0;
        m_progressValue = m_pageEnd;
        Q_EMIT changed();
        m_prompter.message({QStringLiteral("Reached the begining of the Capture"),
                            QStringLiteral("Begining of Capture"),
                            Prompter::Icon::None,
                            Prompter::Buttons::Ok,
                            {}});
        return;
    }
    m_pageStart -= CaptureFileIndex::kPageLines;
    showPage();
}

void Replay::unload()
{
    if (!m_loaded)
        return;
    m_loaded = false;
    m_pageStart = 0;
    hideProgress();
    m_graph.setStopOption(false);
}

void Replay::hideProgress()
{
    m_progressVisible = false;
    m_progressValue = 0;
    Q_EMIT changed();
}
