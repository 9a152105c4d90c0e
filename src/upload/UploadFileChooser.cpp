#include "UploadFileChooser.h"

#include "FirmwareFileCheck.h"
#include "FirmwareImage.h"
#include "ModuleSelection.h"
#include "Prompter.h"
#include "SRecordFile.h"
#include "TerminalScreen.h"
#include "TerminalSession.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr const char* kKvmpTitle = "Select KVMP S19 File (771204_KVMP_X.XX.s19)";
constexpr const char* kKvmpFilter =
    "KVMP S19 Files (771204*.s19)|771204*.s19|All S19 Files (*.s19)|*.s19|All Files (*.*)|*.*";
constexpr const char* kNmeaTitle = "Select NMEA S19 File (771205_NMEA_X.XX.s19)";
constexpr const char* kNmeaFilter =
    "NMEA S19 Files (771205*.s19)|771205*.s19|All S19 Files (*.s19)|*.s19|All Files (*.*)|*.*";
constexpr const char* kSlcdTitle = "Select SLCD Binary File (771206_SLCD_X.XX.bin)";
constexpr const char* kSlcdFilter =
    "SLCD Binary Files (771206*.bin)|771206*.bin|All BIN Files (*.bin)|*.bin|All Files (*.*)|*.*";
constexpr const char* kVerified = "PT:  File verification complete! ";

} // namespace

UploadFileChooser::UploadFileChooser(TerminalSession& session, ModuleSelection& selection, UploadFiles& files)
    : m_steps(session, selection), m_files(files)
{
}

Prompter& UploadFileChooser::prompter() const
{
    return m_steps.session().prompter();
}

void UploadFileChooser::exclaim(const QString& text) const
{
    prompter().message({text, QString(), Prompter::Icon::Exclamation, Prompter::Buttons::Ok, {}});
}

QString UploadFileChooser::choose(const QString& title, const QString& filter)
{
    for (;;) {
        const QString path = prompter().openFileName({title, filter, QString(), QString()});
        if (path.isEmpty())
            return QString();
        if (QFileInfo(path).isFile())
            return path;
        exclaim(path + QStringLiteral(" not found!"));
    }
}

bool UploadFileChooser::canOpen(const QString& path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        return true;
    refuse(file.errorString());
    return false;
}

void UploadFileChooser::refuse(const QString& text)
{
    exclaim(text);
    m_explained = true;
}

bool UploadFileChooser::endRecordCheck(const FamilyRule* rule, const SRecordFile& file)
{
    // The DVB receiver's files end with their reset vector and carry no end record; a
    // selection without a family rule turns every file down anyway.
    if (!rule || file.hasEndRecord() || FirmwareFileCheck::endsWithVector(*rule))
        return true;
    const Prompter::Answer go =
        prompter().message({QString::fromLatin1(kNoEndRecordText), QString(), Prompter::Icon::Exclamation,
                            Prompter::Buttons::YesNo, Prompter::Answer::No});
    m_explained = go != Prompter::Answer::Yes;
    return go == Prompter::Answer::Yes;
}

bool UploadFileChooser::warningPair(const FamilyRule& rule)
{
    const Prompter::Answer go =
        prompter().message({FirmwareFileCheck::warningText(rule), QString(), Prompter::Icon::Exclamation,
                            Prompter::Buttons::YesNo, Prompter::Answer::No});
    if (go != Prompter::Answer::Yes)
        return false;
    const Prompter::Answer quit =
        prompter().message({FirmwareFileCheck::areYouSureText(),
                            QString::fromLatin1(FirmwareFileCheck::kAreYouSureTitle),
                            Prompter::Icon::Question,
                            Prompter::Buttons::YesNo,
                            {}});
    if (quit == Prompter::Answer::Yes)
        return false;
    m_steps.show(QString::fromLatin1(FirmwareFileCheck::kWarningsBypassed));
    return true;
}

bool UploadFileChooser::familyCheck(const FamilyRule* rule, const QByteArray& terminationLine)
{
    switch (FirmwareFileCheck::check(rule, terminationLine)) {
    case FirmwareFileCheck::Verdict::Accepted:
        return true;
    case FirmwareFileCheck::Verdict::Warn:
        return warningPair(*rule);
    case FirmwareFileCheck::Verdict::Rejected:
        return false;
    }
    return false;
}

bool UploadFileChooser::selectAndVerifyS19()
{
    m_files.fileVerified = false;
    m_explained = false;
    m_steps.session().screen().clear();
    m_steps.show(QStringLiteral("PT:  Module =") + m_steps.selection().moduleDescription());
    const QString path = choose(QString::fromLatin1(kUploadTitle), QString::fromLatin1(kUploadFilter));
    if (path.isEmpty())
        return false;
    return verifyS19(path);
}

bool UploadFileChooser::verifyS19(const QString& path)
{
    m_files.fileVerified = false;
    m_explained = false;
    m_files.uploadFile = path;
    if (!canOpen(path))
        return false;
    m_steps.show(QStringLiteral("PT:  File = ") + path);
    const SRecordFile file = SRecordFile::load(path);
    if (!file.isValid()) {
        refuse(file.errorText());
        return false;
    }
    const QByteArray termination = file.terminationLine();
    const FamilyRule* rule = FirmwareFileCheck::ruleFor([this](Module m) { return m_steps.checked(m); });
    if (!endRecordCheck(rule, file) || !familyCheck(rule, termination))
        return false;
    if (FirmwareFileCheck::needsChecksumNotice(*rule, termination)) {
        const Prompter::Answer answer =
            prompter().message({FirmwareFileCheck::checksumNoticeText(), QString(),
                                Prompter::Icon::Exclamation, Prompter::Buttons::YesNo, Prompter::Answer::No});
        if (answer != Prompter::Answer::Yes)
            return false;
        m_steps.show(QString::fromLatin1(FirmwareFileCheck::kWarningsBypassed));
    }
    m_files.fileVerified = true;
    m_steps.show(QStringLiteral("PT:  File verification complete! Checking for File version number"));
    scan(file);
    m_steps.show(QStringLiteral("PT:  File version number: ") + m_files.fileVersion);
    return true;
}

bool UploadFileChooser::selectKvmpOrNmeaS19()
{
    m_files.fileVerified = false;
    m_explained = false;
    const bool kvmp = m_steps.checked(Module::KVMP);
    const QString path = kvmp ? choose(QString::fromLatin1(kKvmpTitle), QString::fromLatin1(kKvmpFilter))
                              : choose(QString::fromLatin1(kNmeaTitle), QString::fromLatin1(kNmeaFilter));
    if (path.isEmpty() || !canOpen(path))
        return false;
    m_files.uploadFile = path;
    m_steps.show((kvmp ? QStringLiteral("PT:  KVMP file = ") : QStringLiteral("PT:  NMEA file = ")) + path);
    const SRecordFile file = SRecordFile::load(path);
    if (!file.isValid()) {
        refuse(file.errorText());
        return false;
    }
    if (!kvmp && !m_steps.checked(Module::NMEA))
        return false;
    const FamilyRule* rule = FirmwareFileCheck::ruleFor(kvmp ? Module::KVMP : Module::NMEA);
    if (!endRecordCheck(rule, file) || !familyCheck(rule, file.terminationLine()))
        return false;
    (kvmp ? m_files.kvmpFile : m_files.nmeaFile) = path;
    m_files.fileVerified = true;
    m_steps.showText(QString::fromLatin1(kVerified));
    scan(file);
    m_steps.show(QStringLiteral("File version number: ") + m_files.fileVersion);
    return true;
}

bool UploadFileChooser::selectSlcdImage()
{
    m_files.fileVerified = false;
    m_explained = false;
    const QString path = choose(QString::fromLatin1(kSlcdTitle), QString::fromLatin1(kSlcdFilter));
    if (path.isEmpty() || !canOpen(path))
        return false;
    m_steps.show(QStringLiteral("PT:  SLCD file = ") + path);
    QString error;
    if (!FirmwareFileCheck::checkSlcdImageFile(path, &error)) {
        m_files.slcdFile.clear();
        exclaim(error.isEmpty() ? FirmwareFileCheck::slcdWarningText() : error);
        return false;
    }
    m_files.fileVerified = true;
    m_steps.show(QString::fromLatin1(kVerified));
    m_files.slcdFile = path;
    return true;
}

void UploadFileChooser::imageScan(const QString& path)
{
    const SRecordFile file = SRecordFile::load(path);
    if (!file.isValid()) {
        exclaim(file.errorText());
        return;
    }
    scan(file);
}

void UploadFileChooser::scan(const SRecordFile& file)
{
    FirmwareImage image;
    image.load(file);
    // A file without a version marker shows no version rather than the previous file's.
    m_files.fileVersion = image.findVersion().value_or(QString());
}
