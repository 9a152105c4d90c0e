#include "ManualUpload.h"
#include "ModuleSelection.h"
#include "SRecordBuilder.h"
#include "TerminalRig.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<QByteArray>;
using A = Prompter::Answer;

struct Upload : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        rig.session->start();
    }
    void use(Module m)
    {
        selection.select(m);
        rig.serial.clearTranscript();
        rig.prompter.messages.clear();
    }
    QString file(const Lines& lines, const QString& name = "fw.s19")
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(srec::write(path, lines));
        return path;
    }
    // Picks the file in the chooser and answers the boxes that follow.
    bool choose(const QString& path, QList<A> answers = {})
    {
        rig.prompter.fileNames << path;
        rig.prompter.answers = answers;
        return upload.chooser().selectAndVerifyS19();
    }
    QStringList shown() { return rig.screen().text().split("\r\n"); }

    QTemporaryDir dir;
    TerminalRig rig;
    ModuleSelection selection{*rig.session};
    ManualUpload upload{*rig.session, selection};
};

// A 64-byte program at E000 with its version text, started at start.
Lines program(quint32 start, const QByteArray& version = "VER 2.05")
{
    QByteArray code(64, '\x5A');
    code.replace(16, version.size() + 1, version + '\0');
    Lines lines{srec::header()};
    for (const QByteArray& l : srec::image(code, 0xE000, 16))
        lines.push_back(l);
    lines.push_back(srec::end(start));
    return lines;
}

TEST_F(Upload, AcuFileIsAcceptedWithTheVersionAfterAMissingFileIsReported)
{
    use(Module::QVR2a);
    const QString path = file(program(0xF003));
    const QString missing = dir.filePath("gone.s19");
    rig.prompter.fileNames << missing;
    EXPECT_TRUE(choose(path));

    ASSERT_EQ(rig.prompter.fileRequests.size(), 2);
    EXPECT_EQ(rig.prompter.fileRequests[1].title, "Upload Hex File");
    EXPECT_EQ(rig.prompter.fileRequests[1].filter, "Hex S19 Files (*.S19)|*.s19|All Files (*.*)|*.*");
    ASSERT_EQ(rig.prompter.messages.size(), 1);
    EXPECT_EQ(rig.prompter.messages[0].text, missing + " not found!");
    EXPECT_EQ(rig.prompter.messages[0].icon, Prompter::Icon::Exclamation);
    EXPECT_EQ(rig.screen().text(),
              "PT:  Module =   QVR 5K Translation ACU\r\nPT:  File = " + path +
                  "\r\nPT:  File verification complete! Checking for File version number\r\n"
                  "PT:  File version number: 2.05\r\n");
    EXPECT_TRUE(upload.files().fileVerified);
    EXPECT_EQ(upload.files().uploadFile, path);

    EXPECT_FALSE(upload.chooser().selectAndVerifyS19()) << "cancelled chooser";
    EXPECT_FALSE(upload.files().fileVerified);
}

TEST_F(Upload, FamilyMismatchWarnsTwiceAndOnlyYesThenNoAccepts)
{
    use(Module::QVR2a);
    // No S9 line: the reset vector, the last line, decides, and it points at E003.
    Lines lines = program(0xF003);
    lines.back() = srec::record(1, 0xFFFC, "\xE0\x03");
    const QString path = file(lines);

    // Without an S9 line the file has no end record either, which is asked about first.
    EXPECT_TRUE(choose(path, {A::Yes, A::Yes, A::No}));
    ASSERT_EQ(rig.prompter.messages.size(), 3);
    const Prompter::Message& warn = rig.prompter.messages[1];
    EXPECT_EQ(warn.text, "WARNING,\rQVR 5000 ACU Program Mode is selected and\rUpload file does not have the "
                         "correct ACU format.\r\rContinue anyway, Yes or No ?");
    EXPECT_EQ(warn.icon, Prompter::Icon::Exclamation);
    EXPECT_EQ(warn.buttons, Prompter::Buttons::YesNo);
    EXPECT_EQ(warn.defaultButton, A::No);
    EXPECT_TRUE(warn.title.isEmpty());
    const Prompter::Message& sure = rig.prompter.messages[2];
    EXPECT_EQ(sure.title, "Are You Sure?");
    EXPECT_EQ(sure.icon, Prompter::Icon::Question);
    EXPECT_EQ(sure.text,
              "Programming with an incorrect file format\rmay render your system inoperative.\r\rQuit "
              "now, Yes or No ?");
    EXPECT_EQ(shown()[2], "PT:  Warnings bypassed");
    EXPECT_EQ(shown()[4], "PT:  File version number: 2.05");

    EXPECT_FALSE(choose(path, {A::Yes, A::Yes, A::Yes})) << "Yes to quitting";
    EXPECT_FALSE(choose(path, {A::Yes, A::No}));
    EXPECT_EQ(rig.prompter.messages.size(), 3 + 3 + 2);
    EXPECT_FALSE(upload.files().fileVerified);

    use(Module::QVR2d);
    EXPECT_FALSE(choose(path)) << "the DVB receiver refuses silently";
    EXPECT_TRUE(rig.prompter.messages.isEmpty());

    // A PCU file starting at 8000 lacks the checksum module: the notice asks first.
    use(Module::QVR2p);
    const QString pcu = file(program(0x8000, "Ver 1.10a"));
    EXPECT_FALSE(choose(pcu, {A::No}));
    EXPECT_TRUE(choose(pcu, {A::Yes}));
    EXPECT_EQ(rig.prompter.messages[1].text, "NOTICE:\rThis file does not appear to\rhave a checksum module "
                                             "installed\r\rDo you wish to continue?");
    EXPECT_EQ(rig.prompter.messages[1].defaultButton, A::No);
    EXPECT_EQ(shown()[2], "PT:  Warnings bypassed");
    EXPECT_EQ(upload.files().fileVersion, "1.10a");
}

TEST_F(Upload, ADamagedFileIsRefusedNamingTheLineAndNothingIsSent)
{
    use(Module::QVR2a);
    Lines lines = program(0xF003);
    lines[2].replace(10, 2, "00"); // a data byte changed, the checksum left as it was
    rig.prompter.fileNames << file(lines);
    upload.uploadButton();

    ASSERT_EQ(rig.prompter.messages.size(), 1);
    EXPECT_TRUE(
        rig.prompter.messages[0].text.startsWith("Error,\rLine 3 is not a valid S-record:\rIts checksum is "))
        << rig.prompter.messages[0].text.toStdString();
    EXPECT_FALSE(upload.files().fileVerified);
    EXPECT_TRUE(rig.serial.sentBytes().isEmpty());
    EXPECT_FALSE(rig.screen().text().contains("Selected file does not match"))
        << "the box said what is wrong with the file; the module selection is not to blame";
}

TEST_F(Upload, AFileWithoutAnEndRecordIsSentOnlyWhenTheUserSaysSo)
{
    use(Module::QVR2p);
    Lines cut = program(0xE003);
    cut.pop_back(); // cut at a record boundary: every record is sound
    rig.prompter.fileNames << file(cut);
    rig.prompter.answers << A::No;
    upload.uploadButton();
    ASSERT_EQ(rig.prompter.messages.size(), 1);
    const Prompter::Message& box = rig.prompter.messages[0];
    EXPECT_EQ(box.text, "WARNING:\rThis file has no end record; it may be cut short.\rUpload anyway?");
    EXPECT_EQ(box.icon, Prompter::Icon::Exclamation);
    EXPECT_EQ(box.buttons, Prompter::Buttons::YesNo);
    EXPECT_EQ(box.defaultButton, A::No);
    EXPECT_TRUE(rig.serial.sentBytes().isEmpty());
    EXPECT_FALSE(rig.screen().text().contains("Selected file does not match"));

    // Yes goes on to the family check, which the last data record fails.
    rig.prompter.messages.clear();
    EXPECT_TRUE(choose(file(cut), {A::Yes, A::Yes, A::No}));
    EXPECT_EQ(rig.prompter.texts().mid(1, 1),
              QStringList{"WARNING:\rPCU Program Mode is selected and\rUpload file does not have the correct "
                          "PCU format.\r\rContinue anyway, Yes or No ?"});

    // The DVB receiver's files end with their reset vector: no question.
    use(Module::QVR2d);
    Lines dvb = program(0xE003);
    dvb.back() = srec::record(1, 0xFFFC, "\xF1\x03");
    EXPECT_TRUE(choose(file(dvb)));
    EXPECT_TRUE(rig.prompter.messages.isEmpty());

    // The KVMP auto update's chooser asks the same.
    use(Module::KVMP);
    Lines kvmp = program(0x1962);
    kvmp.pop_back();
    rig.prompter.fileNames << file(kvmp, "771204_KVMP_3.01.s19");
    rig.prompter.answers << A::No;
    EXPECT_FALSE(upload.chooser().selectKvmpOrNmeaS19());
    EXPECT_EQ(rig.prompter.texts(),
              QStringList{"WARNING:\rThis file has no end record; it may be cut short.\rUpload anyway?"});
    EXPECT_TRUE(upload.files().kvmpFile.isEmpty());
}

TEST_F(Upload, UploadButtonRestartsTheModuleUnlessCancelled)
{
    use(Module::SPCU);
    const Lines lines{srec::record(1, 0, "\x01"), srec::end(0xF803)};
    rig.prompter.fileNames << file(lines);
    upload.uploadButton();
    Lines sent = rig.sends(rig.serial);
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back(), "^0090\r\n");
    EXPECT_TRUE(rig.screen().text().endsWith("Rebooting PCU\r\n"));

    rig.serial.clearTranscript();
    rig.serialPeer.onHeard = [&](const QByteArray&) { rig.session->requestCancel(); };
    rig.prompter.fileNames << file(lines);
    upload.uploadButton();
    EXPECT_EQ(rig.sends(rig.serial), (Lines{lines[0], "\r\n"}));

    rig.serialPeer.onHeard = nullptr;
    rig.serial.clearTranscript();
    rig.prompter.fileNames << file(lines);
    upload.uploadS19Item();
    EXPECT_EQ(rig.sends(rig.serial).size(), 4u) << "the menu item does not restart";

    use(Module::QVR2a);
    rig.prompter.fileNames << file(program(0xF003));
    upload.uploadButton();
    sent = rig.sends(rig.serial);
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent.back(), "[Z\r\n") << "the ACU and its CommIF restart";
    EXPECT_FALSE(rig.session->isBusy());
}

TEST_F(Upload, AutoUpdateChoosersFillTheirSlots)
{
    use(Module::KVMP);
    const QString kvmp = file(program(0x1962, "VER 3.01"), "771204_KVMP_3.01.s19");
    rig.prompter.fileNames << kvmp;
    EXPECT_TRUE(upload.chooser().selectKvmpOrNmeaS19());
    EXPECT_EQ(rig.prompter.fileRequests.last().title, "Select KVMP S19 File (771204_KVMP_X.XX.s19)");
    EXPECT_EQ(rig.prompter.fileRequests.last().filter,
              "KVMP S19 Files (771204*.s19)|771204*.s19|All S19 Files (*.s19)|*.s19|All Files (*.*)|*.*");
    EXPECT_EQ(upload.files().kvmpFile, kvmp);
    EXPECT_TRUE(rig.screen().text().endsWith(
        "PT:  KVMP file = " + kvmp + "\r\nPT:  File verification complete! File version number: 3.01\r\n"));

    const QString slcd = dir.filePath("771206_SLCD_1.00.bin");
    QFile f(slcd);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("\x00\x01", 2) + QByteArray(200, 'x'));
    f.close();
    rig.prompter.fileNames << slcd;
    EXPECT_FALSE(upload.chooser().selectSlcdImage());
    EXPECT_EQ(rig.prompter.lastText(),
              "WARNING,\rSelected file does not have the correct format.\rPlease select "
              "another file");
    EXPECT_TRUE(upload.files().slcdFile.isEmpty());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("\xEB\xFE") + QByteArray(200, 'x'));
    f.close();
    rig.prompter.fileNames << slcd;
    EXPECT_TRUE(upload.chooser().selectSlcdImage());
    EXPECT_EQ(rig.prompter.fileRequests.last().title, "Select SLCD Binary File (771206_SLCD_X.XX.bin)");
    EXPECT_EQ(upload.files().slcdFile, slcd);
    EXPECT_TRUE(rig.screen().text().endsWith("PT:  SLCD file = " + slcd +
                                             "\r\nPT:  File verification complete! \r\n"));
}

} // namespace
