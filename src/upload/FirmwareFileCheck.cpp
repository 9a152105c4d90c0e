#include "FirmwareFileCheck.h"

#include <QFile>

#include <algorithm>

namespace {

bool has(const QByteArray& line, const char* what)
{
    return line.contains(what);
}

bool acuAccepts(const QByteArray& l)
{
    return has(l, "F003") && !(has(l, "FFFC") && has(l, "E003"));
}

bool pcuAccepts(const QByteArray& l)
{
    return !(has(l, "FFFC") && has(l, "F003")) &&
           (has(l, "E003") || has(l, "F803") || has(l, "8000") || has(l, "F200") || has(l, "F088"));
}

bool dvbAccepts(const QByteArray& l)
{
    return has(l, "FFFC") && has(l, "F103");
}

bool modemAccepts(const QByteArray& l)
{
    return has(l, "F080");
}

bool motorDriverAccepts(const QByteArray& l)
{
    return has(l, "F089");
}

bool kvmpAccepts(const QByteArray& l)
{
    return has(l, "1962") || has(l, "E003");
}

bool vtPcuAccepts(const QByteArray& l)
{
    return has(l, "F003") || has(l, "F010");
}

bool spcuAccepts(const QByteArray& l)
{
    return has(l, "F803");
}

bool nmeaAccepts(const QByteArray& l)
{
    return has(l, "F806");
}

} // namespace

const std::vector<FamilyRule>& FirmwareFileCheck::rules()
{
    using M = Module;
    static const std::vector<FamilyRule> table{
        {{M::QVRa, M::QVR2a},
         acuAccepts,
         true,
         true,
         false,
         "QVR 5000 ACU Program Mode is selected and",
         "Upload file does not have the correct ACU format."},
        {{M::QVRp, M::QVR2p, M::USBpcu, M::SPG2pcu},
         pcuAccepts,
         true,
         false,
         true,
         "PCU Program Mode is selected and",
         "Upload file does not have the correct PCU format."},
        {{M::QVRd, M::QVR2d, M::SPdvb}, dvbAccepts, false, false, false, "", ""},
        {{M::QVR2m1, M::QVR2m2},
         modemAccepts,
         true,
         false,
         false,
         "Modem Program Mode is selected and",
         "Upload file does not have the correct Modem format."},
        {{M::QVR2mdb, M::USBmdb},
         motorDriverAccepts,
         true,
         false,
         false,
         "Motor Driver Program Mode is selected and",
         "Upload file does not have the correct Motor Driver format."},
        {{M::KVMP},
         kvmpAccepts,
         true,
         false,
         false,
         "KVMP Program Mode is selected and",
         "Upload file does not have the correct KVMP format."},
        {{M::VTPCU},
         vtPcuAccepts,
         true,
         false,
         false,
         "VT PCU Program Mode is selected and",
         "Upload file does not have the correct VT PCU format."},
        {{M::SPCU}, spcuAccepts, false, false, false, "", ""},
        {{M::NMEA},
         nmeaAccepts,
         true,
         false,
         false,
         "KVMP to NMEA Mode is selected and",
         "Upload file does not have the KVMP NMEA format."},
    };
    return table;
}

const FamilyRule* FirmwareFileCheck::ruleFor(const std::function<bool(Module)>& isChecked)
{
    for (const FamilyRule& rule : rules()) {
        if (std::any_of(rule.modules.begin(), rule.modules.end(), isChecked))
            return &rule;
    }
    return nullptr;
}

const FamilyRule* FirmwareFileCheck::ruleFor(Module module)
{
    return ruleFor([module](Module m) { return m == module; });
}

FirmwareFileCheck::Verdict FirmwareFileCheck::check(const FamilyRule* rule, const QByteArray& terminationLine)
{
    if (!rule)
        return Verdict::Rejected;
    if (rule->accepts(terminationLine))
        return Verdict::Accepted;
    return rule->dialog ? Verdict::Warn : Verdict::Rejected;
}

bool FirmwareFileCheck::endsWithVector(const FamilyRule& rule)
{
    return rule.accepts == dvbAccepts;
}

bool FirmwareFileCheck::needsChecksumNotice(const FamilyRule& rule, const QByteArray& terminationLine)
{
    return rule.checksumNotice && terminationLine.contains("8000");
}

QString FirmwareFileCheck::warningText(const FamilyRule& rule)
{
    return QString::fromLatin1(rule.commaHeading ? "WARNING," : "WARNING:") + QLatin1Char('\r') +
           QLatin1String(rule.moduleLine) + QLatin1Char('\r') + QLatin1String(rule.formatLine) +
           QLatin1String("\r\rContinue anyway, Yes or No ?");
}

QString FirmwareFileCheck::areYouSureText()
{
    return QStringLiteral("Programming with an incorrect file format\rmay render your system inoperative.\r\r"
                          "Quit now, Yes or No ?");
}

QString FirmwareFileCheck::checksumNoticeText()
{
    return QStringLiteral("NOTICE:\rThis file does not appear to\rhave a checksum module installed\r\rDo you "
                          "wish to continue?");
}

bool FirmwareFileCheck::isSlcdImage(const QByteArray& head)
{
    return head.size() >= 2 && uchar(head[0]) == 0xEB && uchar(head[1]) == 0xFE;
}

bool FirmwareFileCheck::checkSlcdImageFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return isSlcdImage(file.read(128));
}

QString FirmwareFileCheck::slcdWarningText()
{
    return QStringLiteral(
        "WARNING,\rSelected file does not have the correct format.\rPlease select another file");
}
