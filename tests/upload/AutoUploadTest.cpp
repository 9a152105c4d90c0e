// The Auto Upload job against the simulated units, in virtual time: one scenario per family
// and outcome. What counts is what the module's bootloader stored, the verdict line the
// technician reads, and the job record a script gets.
#include "AutoUploadBench.h"

#include "ShownInOrder.h"

namespace {

using Verdict = UploadJob::Verdict;

const QString kAcuComplete = QStringLiteral("PT:  ACU programming complete, No errors detected!!");

TEST(AutoUploadAcu, CleanJobProbesStartsErasesAndStoresTheFile)
{
    AutoBench b(Module::QVR2a);
    const QString path = b.firmware(0x4000, 640, "VER 3.20 ", 0xF003);
    const UploadJob job = b.run(path);

    EXPECT_EQ(AutoBench::stored(b.acuBoot()), b.image);
    EXPECT_EQ(b.acuBoot().overruns(), 0);
    EXPECT_TRUE(shownInOrder(b.shown, {"PT:  Locking external port access",
                                  "PT:  Checking communication with ACU, send 'S'",
                                  "PT:  Normal ACU response, Checking module Version number",
                                  "PT:  File and Module major version numbers verified, starting ACU bootloader",
                                  "PT:  Send '\\0080' Start ACU Bootloader command",
                                  "PT:  Bootloader mode is active", "PT:  Module Erase Try 1",
                                  "PT:  Sucessful Erase", "PT:  Begin Module Upload", kAcuComplete}));
    EXPECT_TRUE(b.wire().contains("\x1b[L\r\n\x1bS"));
    EXPECT_TRUE(b.wire().contains("V\x1b\\0080\r\n^0578\r\n"));
    EXPECT_EQ(job.verdict, Verdict::Programmed);
    EXPECT_EQ(job.verdictText, kAcuComplete);
    EXPECT_EQ(job.module, "QVR2a");
    EXPECT_EQ(job.versionsBefore, QStringList{"QVR-100 ACU VER 3.14 SIM"});
    EXPECT_EQ(job.sha256.size(), 64);
    EXPECT_EQ(job.retries(), 0);
    EXPECT_TRUE(b.session->cancelRequested()) << "the end of the job stops whatever would follow";
    EXPECT_FALSE(b.session->isBusy());
}

TEST(AutoUploadAcu, AnAcuAlreadyInItsBootloaderGoesStraightToErase)
{
    AutoBench b(Module::QVRa);
    b.acuBoot().start(); // answers ESC "S" with "BOOT OK": nine characters with the line end
    const QString path = b.firmware(0x4000, 160, "VER 3.20 ", 0xF003);
    const UploadJob job = b.run(path);
    EXPECT_TRUE(shownInOrder(b.shown, {"PT:  Checking communication with ACU, send 'S'",
                                  "PT:  Bootloader mode is active", "PT:  Module Erase Try 1", kAcuComplete}));
    EXPECT_FALSE(b.shown.contains("Normal ACU response"));
    EXPECT_FALSE(b.wire().contains("\\0080"));
    EXPECT_EQ(AutoBench::stored(b.acuBoot()), b.image);
    EXPECT_EQ(job.verdict, Verdict::Programmed);
}

TEST(AutoUploadAcu, MajorVersionSixAgainstASevenFileAsksAndObeys)
{
    const QString warning = QStringLiteral(
        "WARNING:\rYou are about to load QVR-5030 Software (7.xx) onto a QVR-5020 ACU Assembly (6.xx).\r"
        "This may render the Front Panel keyboard and display inoperable!\r\rContinue anyway, Yes or No ?");
    for (const Prompter::Answer answer : {Prompter::Answer::Yes, Prompter::Answer::No}) {
        AutoBench b(Module::QVR2a);
        b.acu->unit().setAcuVersion("QVR-5020 ACU VER 6.12 SIM");
        const QString path = b.firmware(0x4000, 160, "VER 7.01 ", 0xF003);
        b.prompter.answers << answer;
        const UploadJob job = b.run(path);
        ASSERT_EQ(b.prompter.messages.size(), 1);
        EXPECT_EQ(b.prompter.messages[0].text, warning);
        EXPECT_EQ(b.prompter.messages[0].buttons, Prompter::Buttons::YesNo);
        EXPECT_EQ(b.prompter.messages[0].defaultButton, Prompter::Answer::No);
        if (answer == Prompter::Answer::Yes) {
            EXPECT_EQ(job.verdict, Verdict::Programmed);
            EXPECT_EQ(AutoBench::stored(b.acuBoot()), b.image);
        } else {
            EXPECT_EQ(job.verdict, Verdict::FileRefused);
            EXPECT_TRUE(b.shown.endsWith(
                "PT:  File and Module major version numbers do not match, Cannot proceed.\r\n"));
            EXPECT_FALSE(b.acuBoot().inBootloader());
            EXPECT_FALSE(b.wire().contains("\\0080"));
        }
    }
}

TEST(AutoUploadAcu, RepliesThatAreNotTheExpectedOnesStopBeforeTheBootloader)
{
    {
        AutoBench b(Module::QVR2a);
        b.acu->unit().setAcuVersion("QVR-100 ACU VER 3"); // no "." after the version
        const UploadJob job = b.run(b.firmware(0x4000, 64, "VER 3.20 ", 0xF003));
        EXPECT_TRUE(b.shown.endsWith(
            "PT:  Unexpected response, Check port connections and try Auto Upload again\r\n"));
        EXPECT_EQ(job.verdict, Verdict::NoAnswer);
    }
    {
        // A unit that says nothing at all: two probes, each followed by the "9" of "S9".
        AutoBench b(Module::QVR2a);
        b.acu->setDropEvery(1);
        const UploadJob job = b.run(b.firmware(0x4000, 64, "VER 3.20 ", 0xF003));
        EXPECT_TRUE(shownInOrder(b.shown, {"PT:  ACU not responding, send S9 to re-start bootloader",
                                      "PT:  Uncessful communication attempt, trying again",
                                      "PT:  ACU not responding, send S9 to re-start bootloader",
                                      "PT:  ACU not responding.  Manually reset the ACU and try the Auto Upload "
                                      "function again"}));
        EXPECT_EQ(b.wire().count("\x1bS"), 2);
        EXPECT_EQ(job.verdict, Verdict::NoAnswer);
        EXPECT_EQ(job.retries(), 1);
    }
}

TEST(AutoUploadAcu, AnEraseThatNeverAnswersIsTriedThreeTimes)
{
    AutoBench b(Module::QVR2a);
    BootFaults silent;
    silent.silent = true;
    b.acuBoot().start();
    // The bootloader answers the probe (about 3 s in, after the port lock), then falls silent.
    b.prompter.fileNames << b.firmware(0x4000, 64, "VER 3.20 ", 0xF003);
    b.rt.singleShot(3500, b.session.get(), [&] { b.acuBoot().setFaults(silent); });
    const UploadJob job = b.autoUpload->run();
    EXPECT_EQ(b.shown.count("PT:  Module Erase Try "), 3);
    EXPECT_TRUE(b.shown.endsWith(
        "PT:  Un-sucessful Erase, Manually reset the ACU and try the Auto Upload function again\r\n"));
    EXPECT_EQ(b.wire().count("^0578\r\n"), 3);
    EXPECT_EQ(job.verdict, Verdict::ModuleErrors);
    EXPECT_EQ(job.steps.back().name, "Erase");
    EXPECT_EQ(job.steps.back().attempts, 3);
}

TEST(AutoUploadAcu, AnErrorMarkerStopsTheTransferAtTheNextTwentyLineCheck)
{
    AutoBench b(Module::QVR2a);
    BootFaults faults;
    faults.corruptRecord = 6; // the header is not sent: the 5th data line arrives damaged
    b.acu->unit().bootModules().setFaults(faults);
    const UploadJob job = b.run(b.firmware(0x4000, 16 * 60, "VER 3.20 ", 0xF003));
    EXPECT_EQ(b.manual->transfer().linesSent(), 20);
    EXPECT_TRUE(shownInOrder(b.shown, {"PT:  Begin Module Upload", "-", "PT:  WARNING Errors detected",
                                  "PT:  ACU will be inoperative, do not panic, bootloader is still active",
                                  "PT:  Reset the ACU, wait 15 seconds and run the Auto Upload function again"}));
    EXPECT_FALSE(b.shown.contains("programming complete"));
    EXPECT_EQ(job.verdict, Verdict::ModuleErrors);
}

TEST(AutoUploadAcu, CancelDuringTheTransferEndsWithTheCancelledVerdict)
{
    AutoBench b(Module::QVR2a);
    const QString path = b.firmware(0x4000, 16 * 200, "VER 3.20 ", 0xF003);
    b.cancelAfter(20000); // probes and erase take about 8 s; the file about 40 s
    const UploadJob job = b.run(path);
    EXPECT_TRUE(shownInOrder(b.shown, {"PT:  WARNING Upload Cancled", "PT:  ACU will be inoperative",
                                  "PT:  Please run the Auto Upload function again"}));
    EXPECT_LT(b.manual->transfer().linesSent(), 200);
    EXPECT_EQ(job.verdict, Verdict::Cancelled);
}

TEST(AutoUploadBehindAcu, PcuCleanAndMotorDriverCancelledStillRebootsTheAcu)
{
    {
        AutoBench b(Module::QVR2p);
        const UploadJob job = b.run(b.firmware(0x8000, 320, "VER 2.10 ", 0xE003));
        EXPECT_TRUE(shownInOrder(b.shown, {"PT:  Normal ACU response, Sending RESET command (\\0090) to clear previous state",
                                      "PT:  Checking communication with PCU, send '?S'",
                                      "PT:  PCU responding normally, Check PCU version number (send ?V)",
                                      "PT:  File and Module major version numbers verified, reset PCU to default state",
                                      "PT:  PCU motor drives disabled, start Bootloader", "PT:  Bootload Start Try 1",
                                      "PT:  Bootloader Active, start Erase", "PT:  Sucessful Erase",
                                      "PT:  PCU programming complete, No errors detected!!"}));
        EXPECT_EQ(AutoBench::stored(b.behind(BootTarget::Pcu)), b.image);
        EXPECT_EQ(b.behind(BootTarget::Pcu).overruns(), 0);
        EXPECT_TRUE(b.wire().endsWith("#!    \r\n#!    \r\n"));
        EXPECT_EQ(job.verdict, Verdict::Programmed);
    }
    {
        AutoBench b(Module::QVR2mdb);
        const QString path = b.firmware(0x8000, 16 * 200, "VER 1.00 ", 0xF089);
        b.cancelAfter(45000); // two remote-upload set-ups (8 s each) come first
        const UploadJob job = b.run(path);
        EXPECT_TRUE(shownInOrder(b.shown, {"PT:  Bootloader Active, start Erase", "PT:  Sucessful Erase",
                                      "PT:  WARNING Upload Cancled", "PT:  Re-Booting PCU", "PT:  Re-booting ACU",
                                      "PT:  Re-booting CommIF"}));
        EXPECT_TRUE(b.wire().contains("^0090\r\n\\0090\r\n[Z\r\n"));
        EXPECT_GT(b.manual->transfer().linesSent(), 0);
        EXPECT_EQ(job.verdict, Verdict::Cancelled);
    }
}

TEST(AutoUploadUsb, PcuAndMotorDriverJudgeTheModulesClosingWord)
{
    {
        AutoBench b(Module::USBpcu, BootTarget::UsbPcu);
        const UploadJob job = b.run(b.firmware(0x8000, 320, "VER 2.10 ", 0xE003));
        EXPECT_TRUE(shownInOrder(b.shown, {"PT:  PCU responding normally, start Remote Bootloader", "PT:  Bootload Start",
                                      "PT:  Bootloader Active, start Erase", "Ok",
                                      "PT:  PCU programming complete, No errors detected!! ",
                                      "PT:  Closing USB/Service port"}));
        EXPECT_EQ(AutoBench::stored(b.board->module()), b.image);
        EXPECT_EQ(job.verdict, Verdict::Programmed);
    }
    {
        AutoBench b(Module::USBmdb, BootTarget::UsbMdb);
        BootFaults faults;
        faults.corruptRecord = 3;
        b.board->setBootFaults(faults);
        const UploadJob job = b.run(b.firmware(0x8000, 320, "VER 1.00 ", 0xF089));
        EXPECT_TRUE(shownInOrder(b.shown, {"PT:  MDE responding normally, start Remote Bootloader", "ERR",
                                      "PT:  WARNING Errors detected",
                                      "PT:  Try running the Auto Upload function again"}));
        EXPECT_FALSE(b.shown.contains("programming complete"));
        EXPECT_EQ(job.verdict, Verdict::ModuleErrors);
    }
}

TEST(AutoUploadKvmp, TheKvmpBoardIsProgrammedThroughItsOwnStart)
{
    AutoBench b(Module::KVMP, BootTarget::Kvmp);
    const UploadJob job = b.run(b.firmware(0x2000, 320, "VER 2.20 ", 0xE003));
    EXPECT_TRUE(shownInOrder(b.shown, {"PT:  Bootloader start is sucessful!", "Programming complete!"}));
    EXPECT_EQ(AutoBench::stored(b.board->module()), b.image);
    EXPECT_EQ(job.verdict, Verdict::Programmed);
}

TEST(KvmpAutoUpdate, AnSlcdFileAloneSkipsTheBoardsAndCountsItsRecords)
{
    AutoBench b(Module::SLCD, BootTarget::Kvmp);
    b.board->setStatusStream(false);
    QByteArray image = srec::pattern(1000, 7);
    image[0] = char(0xEB);
    image[1] = char(0xFE);
    const QString slcd = b.binary(image);
    b.prompter.fileNames << QString() << slcd << QString(); // KVMP and NMEA choosers cancelled
    const qint64 startNs = b.rt.nowNs();
    qint64 erasedAtNs = 0;
    QObject::connect(b.autoUpload.get(), &AutoUpload::stateChanged, [&](AutoUpload::State s) {
        if (s == AutoUpload::State::Transfer)
            erasedAtNs = b.rt.nowNs();
    });
    const UploadJob job = b.autoUpload->run();

    EXPECT_EQ(AutoBench::stored(*b.board->slcd()), image);
    EXPECT_FALSE(b.shown.contains("Updating KVMP Firmware"));
    EXPECT_FALSE(b.shown.contains("Updating NMEA Firmware"));
    EXPECT_FALSE(b.wire().contains("verA"));
    EXPECT_TRUE(shownInOrder(b.shown, {"PT:  ********** KVMP Auto Update File Selection **********",
                                  "PT:  ********** Updating SLCD Binary Image **********",
                                  "File size is 1000 bytes", "PT:  KVMP Communication with SLCD is active",
                                  "PT:  Sending file size to module: 1000", "PT:  Successful Erase",
                                  "PT:  Checking for Panel Firmware Update",
                                  "PT:  SLCD Programming Complete: 1000 bytes",
                                  "PT:  8 records(128 bytes) + 104 bytes.",
                                  "PT:  ********** KVMP Update Sequence is Complete **********",
                                  "PT:  Remove USB cable and cycle power to the KVMP"}));
    EXPECT_TRUE(b.wire().contains("^478\r^4791000\r^378\r\n"));
    // The erase answers after 15 s, and that ends the wait of up to 32 s at once.
    EXPECT_LT(erasedAtNs - startNs, 25000LL * 1000000);
    EXPECT_EQ(job.verdict, Verdict::Programmed);
    EXPECT_TRUE(b.selection->isChecked(Module::SLCD));
    EXPECT_FALSE(b.selection->isChecked(Module::KVMP));
    EXPECT_FALSE(b.selection->kvmpAutoUpdate());
}

TEST(KvmpAutoUpdate, APanelThatStopsEchoingIsGivenUpAfterTenSeconds)
{
    AutoBench b(Module::SLCD, BootTarget::Kvmp);
    b.board->setStatusStream(false);
    QByteArray image = srec::pattern(1280, 3);
    image[0] = char(0xEB);
    image[1] = char(0xFE);
    b.prompter.fileNames << QString() << b.binary(image) << QString();
    // The panel goes quiet once its erase is done.
    QObject::connect(b.board->slcd(), &BootModule::erased, [&] {
        b.rt.post(b.session.get(), [&] {
            BootFaults f;
            f.silent = true;
            b.board->slcd()->setFaults(f);
        });
    });
    const UploadJob job = b.autoUpload->run();
    EXPECT_TRUE(shownInOrder(b.shown, {"PT:  No echo from the SLCD for 10 s, image transfer stopped",
                                  "PT:  Checking for Panel Firmware Update",
                                  "!! OVERRUN ERROR !!  The Firmware update was not sucessful.",
                                  "USB port has been closed."}));
    EXPECT_FALSE(b.shown.contains("Complete:"));
    EXPECT_FALSE(b.session->isPortOpen());
    EXPECT_NE(job.verdict, Verdict::Programmed);
}

TEST(AutoUploadVersion, TheMajorIsTheCharacterBeforeTheFirstDotAfterVer)
{
    EXPECT_EQ(AutoUpload::majorVersion("QVR-100 ACU VER 3.14 SIM"), QChar('3'));
    EXPECT_EQ(AutoUpload::majorVersion("QVR Ver 12.1"), QChar('2'));
    EXPECT_EQ(AutoUpload::majorVersion("QVR 6.1 VER 7"), std::nullopt);
    EXPECT_EQ(AutoUpload::majorVersion("QVR 7.2"), std::nullopt);
}

} // namespace
