#pragma once

#include "ModuleTable.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

// How a file's termination line is judged for the selected module: its start address tells
// which processor family the file was built for.
struct FamilyRule {
    std::vector<Module> modules;
    bool (*accepts)(const QByteArray& terminationLine);
    bool dialog;            // a mismatch asks the user; otherwise it is refused silently
    bool commaHeading;      // the ACU warning reads "WARNING," rather than "WARNING:"
    bool checksumNotice;    // files starting at 8000 lack the checksum module
    const char* moduleLine; // lines 2 and 3 of the warning
    const char* formatLine;
};

class FirmwareFileCheck {
public:
    enum class Verdict {
        Accepted,
        Warn,    // run the warning pair; the user may override
        Rejected // no dialog; the caller reports it
    };

    static constexpr const char* kAreYouSureTitle = "Are You Sure?";
    static constexpr const char* kWarningsBypassed = "PT:  Warnings bypassed";

    // In the order they are tried; the first one holding a checked module decides.
    static const std::vector<FamilyRule>& rules();
    // nullptr: no rule, nothing is accepted.
    static const FamilyRule* ruleFor(const std::function<bool(Module)>& isChecked);
    static const FamilyRule* ruleFor(Module module);

    static Verdict check(const FamilyRule* rule, const QByteArray& terminationLine);
    // Files of this family end with the reset-vector record instead of an end record.
    static bool endsWithVector(const FamilyRule& rule);
    // Asked after the family check passed or was overridden.
    static bool needsChecksumNotice(const FamilyRule& rule, const QByteArray& terminationLine);

    // First box (Yes/No, No the default): No refuses the file.
    static QString warningText(const FamilyRule& rule);
    // Second box, titled kAreYouSureTitle: Yes refuses the file.
    static QString areYouSureText();
    // Yes/No, No the default: Yes accepts with kWarningsBypassed.
    static QString checksumNoticeText();

    // SLCD display images begin with a jump to themselves.
    static bool isSlcdImage(const QByteArray& head);
    // Reads the first 128 bytes; a file that cannot be read sets error to its text.
    static bool checkSlcdImageFile(const QString& path, QString* error);
    static QString slcdWarningText();
};
