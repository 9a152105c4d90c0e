#pragma once
// A safety net under every test process: a TCP connection to anything but this machine is
// turned into one to a closed local port, and the test that asked for it fails. The
// programs' factory addresses (192.168.0.x) may appear in tests as text, never on the wire.
#include <QString>

namespace loopbackonly {
// Installed by the shared test main before any test runs.
void install();
// Hosts a test may reach: 127.0.0.0/8, ::1 and "localhost".
bool allowed(const QString& host);
} // namespace loopbackonly
