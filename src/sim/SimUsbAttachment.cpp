#include "SimUsbAttachment.h"

#include "ModuleUnit.h"

#include <SimByteLink.h>

SimUsbAttachment::SimUsbAttachment(ModuleUnit& unit, SimByteLink& link, QObject* parent)
    : QObject(parent), m_link(link)
{
    connect(&unit, &ModuleUnit::portGone, this, [this] {
        ++m_departures;
        m_link.setOpenFailure(QString::fromLatin1(kAbsentText));
        m_link.dropFromPeer();
    });
    connect(&unit, &ModuleUnit::portBack, this, [this] {
        ++m_returns;
        m_link.clearOpenFailure();
    });
}
