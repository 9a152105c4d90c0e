#pragma once

#include "CaptureFileIndex.h"
#include "GraphMode.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class GraphTarget;
class Prompter;
class Runtime;
struct PanelSample;

// Replays a data log or screen capture on the graph, one page of 640 samples at a time.
// The file is indexed once when it is loaded; every page after that opens with one seek.
// While a file is loaded live polling is paused, so the graph shows only the file.
class Replay : public QObject {
    Q_OBJECT
public:
    static const QString kOpenFilter;
    static const QString kUnsupported;

    Replay(Prompter& prompter, GraphTarget& graph, Runtime& runtime, QObject* parent = nullptr);

    // Asked before loading: a refusal text while the data file is being written, empty
    // when loading is fine.
    void setRefusal(std::function<QString()> refusal) { m_refusal = std::move(refusal); }

    // `mnuLoadDataLog`: the open dialog, then loadFile().
    void load();
    // Indexes the file, recognises its graph mode and shows its first page.
    bool loadFile(const QString& path);
    // ">" and "<".
    void pageForward();
    void pageBack();
    // `mnuUnloadDataLog`: forgets the file and lets live polling resume.
    void unload();

    bool isLoaded() const { return m_loaded; }
    bool isIndexing() const { return m_indexing; }
    const QString& path() const { return m_index.path(); }
    GraphMode mode() const { return m_mode; }
    // The first data line of the page shown: a multiple of 640.
    qint64 pageStart() const { return m_pageStart; }

    // `ProgressBar1`: 0 to the file's length in bytes; the value is how far into the file
    // the page shown reaches (or, while indexing, how far the index has got).
    bool progressVisible() const { return m_progressVisible; }
    qint64 progressMaximum() const { return m_progressMax; }
    qint64 progressValue() const { return m_progressValue; }

    // The graph mode a title line names, if it names one we replay.
    static std::optional<GraphMode> recognise(const QByteArray& titleLine);
    // The sample one line of a file gives: only the fields the file holds are changed.
    static PanelSample applyLine(GraphMode mode, const QByteArray& line, const PanelSample& base);

Q_SIGNALS:
    void changed();

private:
    bool showPage();
    void hideProgress();

    Prompter& m_prompter;
    GraphTarget& m_graph;
    Runtime& m_rt;
    std::function<QString()> m_refusal;
    CaptureFileIndex m_index;
    bool m_loaded = false;
    bool m_indexing = false;
    GraphMode m_mode = GraphMode::Admc;
    qint64 m_pageStart = 0;
    bool m_progressVisible = false;
    qint64 m_progressMax = 0;
    qint64 m_progressValue = 0;
    qint64 m_pageEnd = 0; // where the page shown ends in the file
};
