#pragma once

#include "SequenceSteps.h"
#include "UploadFiles.h"

class ModuleSelection;
class Prompter;
class SRecordFile;
class TerminalSession;
struct FamilyRule;

// Picks a firmware file and decides whether it suits the selected module: the family check
// of the termination line with its warning pair and checksum notice, then the version text.
// Beyond that, every record of an S-record file is checked before it can be accepted, so a
// damaged file is refused with the line it breaks on and never reaches a module.
class UploadFileChooser {
public:
    static constexpr const char* kUploadTitle = "Upload Hex File";
    static constexpr const char* kUploadFilter = "Hex S19 Files (*.S19)|*.s19|All Files (*.*)|*.*";
    static constexpr const char* kMismatchText =
        " Selected file does not match parameters for selected module";
    static constexpr const char* kNoEndRecordText =
        "WARNING:\rThis file has no end record; it may be cut short.\rUpload anyway?";

    UploadFileChooser(TerminalSession& session, ModuleSelection& selection, UploadFiles& files);

    // SelectAndVerifyS19: chooser "Upload Hex File" and the checks. Returns fileVerified.
    bool selectAndVerifyS19();
    // The same checks for a path already chosen (tests, the automatic sequences).
    bool verifyS19(const QString& path);
    // SelectKvmpOrNmeaS19: fills the KVMP or NMEA slot. Returns fileVerified.
    bool selectKvmpOrNmeaS19();
    // SelectSlcdImage: fills the SLCD slot. Returns fileVerified.
    bool selectSlcdImage();
    // ImageScan: loads the file into the 64 KiB image and sets fileVersion.
    void imageScan(const QString& path);

    UploadFiles& files() const { return m_files; }
    // The last check turned the file down with a box that said why (unreadable, damaged,
    // cut short): the caller adds no mismatch line of its own.
    bool refusalExplained() const { return m_explained; }

private:
    Prompter& prompter() const;
    void exclaim(const QString& text) const;
    // The chooser; a path that does not exist is reported and the chooser opens again.
    // Empty when the user cancelled.
    QString choose(const QString& title, const QString& filter);
    // False, with the reason shown, when the file cannot be opened.
    bool canOpen(const QString& path);
    // True when the file suits the rule or the user overrode both warnings.
    bool familyCheck(const FamilyRule* rule, const QByteArray& terminationLine);
    bool warningPair(const FamilyRule& rule);
    // A file without an end record is sent only when the user says so.
    bool endRecordCheck(const FamilyRule* rule, const SRecordFile& file);
    // A box that explains why the file is turned down.
    void refuse(const QString& text);
    void scan(const SRecordFile& file);

    SequenceSteps m_steps;
    UploadFiles& m_files;
    bool m_explained = false;
};
