#pragma once

#include "PanelState.h"

#include <QByteArrayView>

class PanelView;
struct ParserHooks;

// One decoder per reply type. Each checks the reply's shape, stores what it carries in
// the panel state and returns 0, or the sync error code when the shape is wrong (then
// the state is left as it was). Every read is clipped to the line, so garbage, truncated
// and binary replies cannot read outside it.
namespace decoders {

struct Context {
    PanelState& state;
    PanelView* view = nullptr;
    const ParserHooks* hooks = nullptr;
    int graphMode = 0;

    void plot() const;
};

int parameter(QByteArrayView reply, QByteArrayView query, const Context& c);
int gps(QByteArrayView reply, const Context& c);
int heading(QByteArrayView reply, const Context& c);
int receiver(QByteArrayView reply, const Context& c);
int auxiliary(QByteArrayView reply, const Context& c);
int level(QByteArrayView reply, const Context& c);
int version(QByteArrayView reply, const Context& c);
int position(QByteArrayView reply, const Context& c);
int status(QByteArrayView reply, const Context& c);
void spectrumPoint(QByteArrayView reply, const Context& c);
// PCU pass-through replies, by the query's PCU letter.
void pcu(QByteArrayView reply, char letter, const Context& c);

// The receiver settings byte (E2): tone, LNB voltage and FEC texts.
void receiverSettings(int byte, PanelState& state);

// Field readers: a leading-number parse of the field, rounded half to even and wrapped
// to 16 bits as the unit's fields are.
double number(QByteArrayView field);
qint16 toInt16(double value);
// Four hexadecimal digits as a signed 16-bit value.
qint16 hex16(QByteArrayView field);

} // namespace decoders
