#pragma once
// Where the built qvrsim program lives, for the tests that start it as a process. The path is
// compiled in as QVRSIM_EXE; QVR_BUILD_DIR covers a build tree that has been moved.
#include <QFileInfo>
#include <QString>

inline QString qvrsimPath()
{
    const QString built = QStringLiteral(QVRSIM_EXE);
    if (QFileInfo::exists(built))
        return built;
    return qEnvironmentVariable("QVR_BUILD_DIR") + "/app/qvrsim/qvrsim";
}
