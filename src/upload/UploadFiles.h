#pragma once

#include <QString>

// The firmware files chosen for the next transfer: the one of the manual upload, whether it
// passed its checks, the version text found in it, and the three slots of the KVMP auto
// update.
struct UploadFiles {
    QString uploadFile;
    bool fileVerified = false;
    QString fileVersion;
    QString kvmpFile;
    QString slcdFile;
    QString nmeaFile;

    void clearSlots()
    {
        kvmpFile.clear();
        slcdFile.clear();
        nmeaFile.clear();
    }
};
