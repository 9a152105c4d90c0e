// Main for the GoogleTest targets. Every test process gets its own settings folder
// and data folders (XDG_CONFIG_HOME, XDG_DATA_HOME in temporary directories) before anything reads the store, and a
// Qt application object (a widget one for the window tests, offscreen), and a guard that
// lets TCP connections reach this machine only.
#include "LoopbackOnly.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#ifdef QVR_TEST_GUI
#include <QApplication>
using TestApp = QApplication;
#else
#include <QCoreApplication>
using TestApp = QCoreApplication;
#endif

int main(int argc, char** argv)
{
    QTemporaryDir configDir;
    qputenv("XDG_CONFIG_HOME", configDir.path().toLocal8Bit());
    // UDP has no proxy to divert it: the datagram seam itself keeps to 127.0.0.1.
    qputenv("QVR_LOOPBACK_ONLY", "1");
    // Records the programs keep (the upload history) stay in the test's folder too.
    QTemporaryDir dataDir;
    qputenv("XDG_DATA_HOME", dataDir.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApp app(argc, argv);
    loopbackonly::install();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
