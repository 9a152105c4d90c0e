#include "ConnectionProfile.h"

ConnectionProfile ConnectionProfile::defaults(int antenna)
{
    const int n = qBound(1, antenna, kAntennaCount);
    ConnectionProfile p;
    p.settings = QStringLiteral("9600,N,8,1");
    p.commPort = n;
    p.address = QStringLiteral("192.168.0.%1").arg(194 + n);
    p.tcpPort = (n % 2 == 1) ? 2000 : 2001;
    p.serial = n == 1;
    p.enabled = n == 1;
    p.caption = QStringLiteral("Antenna %1").arg(n);
    return p;
}
