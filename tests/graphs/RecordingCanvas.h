#pragma once

#include "GraphCanvas.h"

#include <QString>

#include <ostream>
#include <vector>

// Writes down every drawing call, in order, so that a test can compare them with the
// coordinates and colours it expects.
struct DrawOp {
    enum Kind { Clear, Rect, Point, Line, Arc, Text } kind;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    quint32 colour = 0;
    double start = 0, end = 0; // arcs (x2 holds the radius)
    bool operator==(const DrawOp& o) const
    {
        return kind == o.kind && x1 == o.x1 && y1 == o.y1 && x2 == o.x2 && y2 == o.y2 && colour == o.colour &&
               start == o.start && end == o.end;
    }
};

inline DrawOp pointOp(int x, int y, quint32 c)
{
    return {DrawOp::Point, x, y, 0, 0, c};
}
inline DrawOp lineOp(int x1, int y1, int x2, int y2, quint32 c)
{
    return {DrawOp::Line, x1, y1, x2, y2, c};
}

inline std::ostream& operator<<(std::ostream& os, const DrawOp& op)
{
    static const char* names[] = {"clear", "rect", "point", "line", "arc", "text"};
    return os << names[op.kind] << '(' << op.x1 << ',' << op.y1 << ',' << op.x2 << ',' << op.y2 << " #"
              << op.colour << ')';
}

class RecordingCanvas : public GraphCanvas {
public:
    void clear(quint32 c) override { ops.push_back({DrawOp::Clear, 0, 0, 0, 0, c}); }
    void fillRect(int x1, int y1, int x2, int y2, quint32 c) override
    {
        ops.push_back({DrawOp::Rect, x1, y1, x2, y2, c});
    }
    void point(int x, int y, quint32 c) override { ops.push_back(pointOp(x, y, c)); }
    void line(int x1, int y1, int x2, int y2, quint32 c) override
    {
        ops.push_back(lineOp(x1, y1, x2, y2, c));
    }
    void arc(int cx, int cy, int r, double start, double end, quint32 c) override
    {
        ops.push_back({DrawOp::Arc, cx, cy, r, 0, c, start, end});
    }
    void text(int x, int y, const QString&, quint32 c) override
    {
        ops.push_back({DrawOp::Text, x, y, 0, 0, c});
    }

    // The calls since the last clear (the last full redraw), the clear included.
    std::vector<DrawOp> lastRedraw() const
    {
        for (size_t i = ops.size(); i-- > 0;)
            if (ops[i].kind == DrawOp::Clear)
                return {ops.begin() + long(i), ops.end()};
        return {};
    }
    std::vector<DrawOp> ofKind(DrawOp::Kind kind, const std::vector<DrawOp>& from) const
    {
        std::vector<DrawOp> out;
        for (const DrawOp& op : from)
            if (op.kind == kind)
                out.push_back(op);
        return out;
    }
    int redraws() const
    {
        int n = 0;
        for (const DrawOp& op : ops)
            n += op.kind == DrawOp::Clear;
        return n;
    }

    std::vector<DrawOp> ops;
};
