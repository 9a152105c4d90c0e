// Seeded Auto Upload runs per family against the simulated units with faults injected: lost
// and changed bytes on the way to the unit, garbled and dropped replies, a bootloader that
// never speaks, a port that goes away, a sender that does not keep its pauses, a record that
// arrives damaged, an erase that fails. Whatever happens, no run says "programmed" unless the
// module holds the file's image, and no run hangs.
//
// QVR_CAMPAIGN_RUNS sets the runs per family (50 by default, a few seconds in all); the full
// campaign is
//   QVR_CAMPAIGN_RUNS=1000 build/tests/upload/family_upload_tests --gtest_filter='FaultCampaign*'
#include "AutoUploadBench.h"

#include <SimRandom.h>

#include <cstdio>
#include <map>

namespace {

using Verdict = UploadJob::Verdict;

struct CampaignFamily {
    const char* name;
    Module module;
    std::optional<BootTarget> board;
    BootTarget target;
    quint32 base;
    const char* version;
    quint16 start;
    // Whether the family's protocol reports a damaged record at all. The KVMP application,
    // the NMEA board and the SLCD panel take what arrives without a word about it, so bytes
    // changed on the way cannot be told from good ones by any sender.
    bool reportsBadRecords;
};

enum Fault {
    GarbledReplies,
    DroppedReplies,
    LineNoise,
    SilentBootloader,
    LostPort,
    NoPauses,
    DamagedRecord,
    RefusedErase,
    kFaultCount
};
const char* const kFaultNames[] = {"garbled replies", "dropped replies", "line noise",  "silent bootloader",
                                   "lost port",       "no pauses",       "damaged record", "refused erase"};

BootModule& targetOf(AutoBench& b, const CampaignFamily& f)
{
    if (b.acu)
        return b.behind(f.target);
    switch (f.target) {
    case BootTarget::Nmea:
        return *b.board->nmea();
    case BootTarget::VtPcu:
        return *b.board->vtPcu();
    case BootTarget::Slcd:
        return *b.board->slcd();
    default:
        return b.board->module();
    }
}

struct Tally {
    std::map<Verdict, int> verdicts;
    int falseComplete = 0;
    int hangs = 0;
};

// One seeded run; its verdict and whether the module then holds the file.
void runOnce(const CampaignFamily& f, quint64 seed, Tally& tally)
{
    AutoBench b(f.module, f.board, seed);
    SimRandom rnd(seed * 7919 + 17);
    QString path;
    if (f.target == BootTarget::Slcd) {
        QByteArray image = srec::pattern(128 * 5 + 40, int(seed));
        image[0] = char(0xEB);
        image[1] = char(0xFE);
        b.image = image;
        path = b.binary(image);
        b.prompter.fileNames << QString() << path << QString();
    } else {
        path = b.firmware(f.base, 16 * 24, f.version, f.start);
        b.prompter.fileNames << path;
        if (f.module == Module::SLCD)
            b.prompter.fileNames << QString() << QString();
    }
    if (b.board && f.target != BootTarget::VtPcu)
        b.board->setStatusStream(false);
    BootModule& target = targetOf(b, f);

    // One or two faults; a tenth of the runs have none.
    std::vector<int> faults;
    if (rnd.uniform() >= 0.1) {
        const int n = rnd.uniform() < 0.6 ? 1 : 2;
        for (int i = 0; i < n; ++i) {
            int fault = int(rnd.uniform() * int(kFaultCount)) % int(kFaultCount);
            if ((fault == LineNoise || fault == DamagedRecord) && !f.reportsBadRecords)
                fault = GarbledReplies;
            faults.push_back(fault);
        }
    }
    UnitLine& line = b.acu ? static_cast<UnitLine&>(*b.acu) : static_cast<UnitLine&>(*b.board);
    BootFaults boot;
    for (const int fault : faults) {
        switch (fault) {
        case GarbledReplies:
            line.setGarbleProbability(0.001 + rnd.uniform() * 0.01);
            break;
        case DroppedReplies:
            line.setDropEvery(2 + int(rnd.uniform() * 12));
            break;
        case LineNoise: {
            const double p = 0.0002 + rnd.uniform() * 0.002;
            auto noise = std::make_shared<SimRandom>(seed + 99);
            b.serial.setToUnitNoise([p, noise](const QByteArray& data) {
                QByteArray out;
                for (const char c : data) {
                    const double r = noise->uniform();
                    if (r < p / 2)
                        continue; // lost
                    out += r < p ? char(c ^ 0x04) : c;
                }
                return out;
            });
            break;
        }
        case SilentBootloader:
            boot.silent = true;
            break;
        case LostPort:
            b.rt.singleShot(int(rnd.uniform() * 60000), b.session.get(), [&b] { b.serial.dropFromPeer(); });
            break;
        case NoPauses:
            b.manual->transfer().setPausesKept(false);
            break;
        case DamagedRecord:
            boot.corruptRecord = 2 + int(rnd.uniform() * 20);
            break;
        case RefusedErase:
            boot.refuseErase = true;
            break;
        }
    }
    target.setFaults(boot);

    const qint64 startNs = b.rt.nowNs();
    const UploadJob job = b.autoUpload->run();
    const qint64 virtualMs = (b.rt.nowNs() - startNs) / 1000000;
    ++tally.verdicts[job.verdict];
    // The longest honest job here (three probes, restarts, the panel's 104 s) stays well
    // inside this; a wait without an end would not.
    if (virtualMs > 20 * 60 * 1000)
        ++tally.hangs;
    if (job.verdict == Verdict::Programmed && AutoBench::stored(target) != b.image) {
        ++tally.falseComplete;
        QStringList names;
        for (const int fault : faults)
            names << QString::fromLatin1(kFaultNames[fault]);
        ADD_FAILURE() << f.name << " seed " << seed << " (" << names.join(", ").toStdString()
                      << ") said programmed, but the module's image differs";
    }
}

class FaultCampaign : public ::testing::TestWithParam<CampaignFamily> {};

TEST_P(FaultCampaign, NoRunSaysProgrammedUnlessTheModuleHoldsTheFileAndNoneHangs)
{
    const CampaignFamily& f = GetParam();
    const int runs = qMax(1, qEnvironmentVariableIntValue("QVR_CAMPAIGN_RUNS"));
    const int n = qEnvironmentVariableIsSet("QVR_CAMPAIGN_RUNS") ? runs : 50;
    Tally tally;
    for (int seed = 1; seed <= n; ++seed)
        runOnce(f, quint64(seed), tally);
    EXPECT_EQ(tally.falseComplete, 0);
    EXPECT_EQ(tally.hangs, 0);
    EXPECT_GT(tally.verdicts[Verdict::Programmed], 0) << "the fault-free runs program the module";
    std::printf("[campaign] %-8s %4d runs: programmed %d, no answer %d, errors %d, cancelled %d, refused %d; "
                "false complete %d, hangs %d\n",
                f.name, n, tally.verdicts[Verdict::Programmed], tally.verdicts[Verdict::NoAnswer],
                tally.verdicts[Verdict::ModuleErrors], tally.verdicts[Verdict::Cancelled],
                tally.verdicts[Verdict::FileRefused], tally.falseComplete, tally.hangs);
}

INSTANTIATE_TEST_SUITE_P(
    Families, FaultCampaign,
    ::testing::Values(
        CampaignFamily{"QVR2a", Module::QVR2a, {}, BootTarget::Acu, 0x4000, "VER 3.20 ", 0xF003, true},
        CampaignFamily{"QVR2p", Module::QVR2p, {}, BootTarget::Pcu, 0x8000, "VER 2.10 ", 0xE003, true},
        CampaignFamily{"QVR2mdb", Module::QVR2mdb, {}, BootTarget::MotorDriver, 0x8000, "VER 1.00 ", 0xF089, true},
        CampaignFamily{"USBpcu", Module::USBpcu, BootTarget::UsbPcu, BootTarget::UsbPcu, 0x8000, "VER 2.10 ",
                       0xE003, true},
        CampaignFamily{"SPG2pcu", Module::SPG2pcu, BootTarget::ServicePortPcu, BootTarget::ServicePortPcu, 0x8000,
                       "VER 2.10 ", 0xE003, true},
        CampaignFamily{"USBmdb", Module::USBmdb, BootTarget::UsbMdb, BootTarget::UsbMdb, 0x8000, "VER 1.00 ",
                       0xF089, true},
        CampaignFamily{"KVMP", Module::KVMP, BootTarget::Kvmp, BootTarget::Kvmp, 0x2000, "VER 2.20 ", 0xE003, false},
        CampaignFamily{"NMEA", Module::NMEA, BootTarget::Kvmp, BootTarget::Nmea, 0x2000, "VER 1.10 ", 0xF806, false},
        CampaignFamily{"VTPCU", Module::VTPCU, BootTarget::Kvmp, BootTarget::VtPcu, 0x8000, "VER 1.30 ", 0xF003,
                       true},
        CampaignFamily{"SLCD", Module::SLCD, BootTarget::Kvmp, BootTarget::Slcd, 0, "", 0, false}),
    [](const ::testing::TestParamInfo<CampaignFamily>& info) { return std::string(info.param.name); });

} // namespace
