// The ACU's bootloader and the modules behind it, fed the exact traffic of the programming
// terminal's Start, Erase and Upload steps through the ACU model on a 9600 baud line.
#include "SRecordBuilder.h"
#include "UnitOnWire.h"

#include <AcuBootModules.h>

#include <gtest/gtest.h>

using namespace srec;

namespace {

const QByteArray kEsc("\x1b");
const QByteArray kVt("\x0b");

struct AcuRig : UnitOnWire {
    AcuRig() { open(); }

    AcuBootModules& boot() { return model.unit().bootModules(); }

    // Text with CR LF, as the terminal sends a command; then a pause once the bytes have
    // crossed the line.
    void send(const QByteArray& text, int pauseMs = 10) { bare(text + "\r\n", pauseMs); }
    void bare(const QByteArray& bytes, int pauseMs = 10)
    {
        link.write(bytes);
        link.drain(10000);
        rt.advance(pauseMs);
    }
    // The same with a pause given in microseconds, for pauses at their limits.
    void paced(const QByteArray& bytes, qint64 pauseUs)
    {
        link.write(bytes);
        link.drain(10000);
        rt.waitNs(pauseUs * 1000);
    }

    // The upload of one file through the ACU, line by line as the terminal cuts it.
    void upload(const QList<QByteArray>& lines, char prefix, bool behindAcu, bool clearRoute)
    {
        for (const QByteArray& line : lines) {
            if (line.startsWith("S0"))
                continue;
            if (clearRoute)
                bare("?    \r", 6);
            for (const QByteArray& piece : pieces(line, prefix))
                bare(piece, 6);
            rt.advance(15);
            if (behindAcu)
                send(QByteArray(1, prefix) + "!   ", 12);
        }
        rt.advance(1000);
        if (behindAcu)
            for (int i = 0; i < 2; ++i)
                send(QByteArray(1, prefix) + "!   ", 100);
    }

    // The PCU behind the ACU started and erased in short pauses, without the ACU's reset.
    void startAndErasePcu()
    {
        for (const char* text : {"?^", "#0080", "#!   ", "?    ", "#^057", "#8   ", "#!   "})
            send(text);
    }

    void remoteUploadMode()
    {
        send(kEsc + "\\0090", 8000);
        bare(kEsc + "D", 10);
        send("[L", 10);
        send("mE159", 600);
    }
};

// Ten-character lines, lines of 4n+1 characters (a four-character last piece), and a
// multiple of four: every way a line ends in pieces.
QList<QByteArray> mixedFile(const QByteArray& image)
{
    QList<QByteArray> lines{record(0, 0, "HDR")};
    int at = 0;
    int size = 1;
    while (at < image.size()) {
        lines << record(1, quint32(at), image.mid(at, size));
        at += size;
        size = size % 17 + 1;
    }
    lines << record(9, 0, {});
    return lines;
}

} // namespace

TEST(AcuPassThrough, PcuBehindTheAcuIsStartedErasedAndProgrammedFromFiveCharacterPieces)
{
    AcuRig t;
    BootModule& pcu = t.boot().pcu();
    const QByteArray image = pattern(700);
    const QList<QByteArray> lines = mixedFile(image);
    bool sawPadded = false, sawFour = false;
    for (const QByteArray& l : lines) {
        sawPadded = sawPadded || l.size() % 4 == 2;
        sawFour = sawFour || l.size() % 4 == 0;
    }
    ASSERT_TRUE(sawPadded && sawFour);

    // Upload without a Start: the application reads past it all.
    t.upload(lines, '#', true, true);
    EXPECT_TRUE(pcu.flash().isEmpty());

    t.remoteUploadMode();
    t.send("^0086", 200);
    t.send("?^");
    t.send("#0080");
    t.send("#" + kVt + "  ", 500);
    t.send("#!   ");
    ASSERT_TRUE(pcu.inBootloader());

    t.send("?    ");
    t.send("#^057");
    t.send("#8   ", 500);
    t.send("#!   ");
    EXPECT_EQ(pcu.flash().eraseCount(), 1);

    t.rx.clear();
    t.upload(lines, '#', true, true);
    quint32 base = 1;
    EXPECT_EQ(pcu.flash().span(&base), image);
    EXPECT_EQ(base, 0u);
    EXPECT_EQ(pcu.flash().goodRecords(), lines.size() - 1) << "the S0 line never went";
    EXPECT_EQ(pcu.flash().badRecords(), 0);
    EXPECT_EQ(pcu.overruns(), 0) << "every pause was kept";
    EXPECT_TRUE(pcu.flash().complete());
    EXPECT_TRUE(t.lines().contains("PROGRAMMED 700 BYTES, 0 BAD RECORDS"));
    for (BootModule* other : t.boot().all()) {
        if (other != &pcu) {
            EXPECT_TRUE(other->flash().isEmpty()) << other->name().constData();
        }
    }

    // The unit still answers its usual commands afterwards.
    EXPECT_TRUE(t.command("S").startsWith('S'));
    EXPECT_EQ(t.command("?   V"), t.model.unit().pcuVersion());
}

TEST(AcuPassThrough, DvbReceiverTakesWPiecesWithoutRoutes)
{
    AcuRig t;
    BootModule& dvb = t.boot().dvb();
    const QByteArray image = pattern(300, 2);
    const QList<QByteArray> lines = file(image, 0x8000, 1, 32);

    t.remoteUploadMode();
    for (const char* piece : {"w!   ", "wP   ", "w!   ", "w!   "})
        t.send(piece, 50);
    ASSERT_TRUE(dvb.inBootloader());
    t.send("w^057", 50);
    t.send("w8   ", 500);
    t.send("w!   ");
    t.send("w!   ", 0);
    t.send("w^578", 500);
    t.send("w!   ");
    EXPECT_EQ(dvb.flash().eraseCount(), 2);

    t.upload(lines, 'w', true, false);
    quint32 base = 0;
    EXPECT_EQ(dvb.flash().span(&base), image);
    EXPECT_EQ(base, 0x8000u);
    EXPECT_TRUE(dvb.flash().complete());
    EXPECT_EQ(dvb.overruns(), 0);
    EXPECT_TRUE(t.boot().pcu().flash().isEmpty());
    // The receiver's version query still goes to the vocabulary.
    EXPECT_FALSE(t.command("w!123").isEmpty());
}

TEST(AcuPassThrough, AcuItselfAndTheModemsAndMotorDriver)
{
    AcuRig t;
    // The ACU: "[L", "\0080", its own "^0578", then pieces with no routes and no burst ends.
    const QByteArray acuImage = pattern(260, 3);
    t.send("[L");
    t.send("\\0080");
    ASSERT_TRUE(t.boot().acu().inBootloader());
    t.send("^0578", 100);
    t.upload(file(acuImage, 0x4000), '#', false, false);
    EXPECT_EQ(t.boot().acu().flash().span(), acuImage);
    EXPECT_EQ(t.boot().acu().overruns(), 0);
    EXPECT_TRUE(t.boot().pcu().flash().isEmpty()) << "the pieces were the ACU's own";
    t.rx.clear();
    t.send("\\0090", 100);
    EXPECT_TRUE(t.lines().contains("\\ REBOOTING"));
    EXPECT_FALSE(t.boot().acu().inBootloader());
    t.send("[Z", 100);

    // BDE modem: selected with "?<", the start payload "0080" "0" VT.
    const QByteArray modemImage = pattern(90, 4);
    t.remoteUploadMode();
    t.send("?<");
    t.send("#0080");
    t.send("#0" + kVt + "  ", 200);
    t.send("#!   ");
    t.send("?    ");
    t.send("#<057");
    t.send("#8   ", 250);
    t.send("#!   ");
    t.upload(file(modemImage), '#', true, true);
    EXPECT_EQ(t.boot().module(BootTarget::BdeModem).flash().span(), modemImage);
    EXPECT_EQ(t.boot().module(BootTarget::BdeModem).flash().eraseCount(), 1);

    // Motor driver: "^0086" then "?]"; its erase ends with a VT piece.
    const QByteArray mdbImage = pattern(50, 5);
    t.remoteUploadMode();
    t.send("^0086", 200);
    t.send("?]");
    t.send("#0080");
    t.send("#" + kVt + "  ", 600);
    t.send("#!   ");
    t.send("?    ");
    t.send("#]057");
    t.send("#8   ");
    t.send("#" + kVt + "  ", 1000);
    t.send("#!   ");
    t.upload(file(mdbImage), '#', true, true);
    BootModule& mdb = t.boot().module(BootTarget::MotorDriver);
    EXPECT_EQ(mdb.flash().eraseCount(), 1);
    EXPECT_EQ(mdb.flash().span(), mdbImage);
    EXPECT_EQ(t.boot().module(BootTarget::BdeModem).flash().span(), modemImage) << "left alone";
}

TEST(AcuPassThrough, ALostPieceMakesABadRecordAndTheRestStillLands)
{
    AcuRig t;
    BootModule& pcu = t.boot().pcu();
    const QByteArray image = pattern(64, 6);
    QList<QByteArray> lines = file(image);
    t.startAndErasePcu();
    // The second data line loses its third piece on the way.
    for (const QByteArray& line : lines.mid(1)) {
        t.bare("?    \r", 6);
        QList<QByteArray> ps = pieces(line, '#');
        if (line == lines[2])
            ps.removeAt(2);
        for (const QByteArray& p : ps)
            t.bare(p, 6);
        t.rt.advance(15);
        t.send("#!   ", 12);
    }
    t.rt.advance(1000); // the wire is still busy with what was written
    EXPECT_EQ(pcu.flash().badRecords(), 1);
    EXPECT_EQ(pcu.flash().span(), image.left(16) + QByteArray(16, '\xFF') + image.mid(32));
    EXPECT_TRUE(pcu.flash().complete());
}

// The pauses through the ACU at their limits: a pause up to 1 ms short passes (qvrsim stamps
// bytes when it reads them), a shorter one overruns the ACU and the message is lost.
TEST(AcuPacing, PausesAtTheirLimitsPassShorterOnesOverrunAndSpoilTheRecord)
{
    AcuRig t;
    BootModule& pcu = t.boot().pcu();
    const QByteArray image = pattern(64, 8);
    const QList<QByteArray> lines = file(image); // S0, four lines of 16 bytes, S9
    ASSERT_EQ(lines.size(), 6);
    ASSERT_EQ(lines[3].size(), 42);
    t.startAndErasePcu();
    ASSERT_TRUE(pcu.flash().erased());

    // Pauses in microseconds after the route reset, each piece, the last piece (all of the
    // line's pause) and the burst end.
    const auto line = [&](const QByteArray& text, qint64 routeUs, qint64 pieceUs, qint64 lastUs,
                          qint64 burstUs) {
        t.paced("?    \r", routeUs);
        const QList<QByteArray> ps = pieces(text, '#');
        for (qsizetype i = 0; i < ps.size(); ++i)
            t.paced(ps[i], i + 1 < ps.size() ? pieceUs : lastUs);
        t.paced("#!   \r\n", burstUs);
    };
    line(lines[1], 5000, 5000, 20000, 11000);
    EXPECT_EQ(pcu.overruns(), 0);
    EXPECT_EQ(pcu.flash().goodRecords(), 1);

    line(lines[2], 4900, 6000, 21000, 12000); // the first piece too soon after the route reset
    EXPECT_EQ(pcu.overruns(), 1);
    EXPECT_EQ(pcu.flash().badRecords(), 1);

    line(lines[3], 6000, 4900, 21000, 12000); // ten of its eleven pieces too soon
    EXPECT_EQ(pcu.overruns(), 11);
    EXPECT_EQ(pcu.flash().badRecords(), 2);

    // The record lands, but its burst end comes before the record is written, and the next
    // line's route reset before the burst end's pause: both are lost.
    line(lines[4], 6000, 6000, 19900, 10900);
    EXPECT_EQ(pcu.overruns(), 12);
    EXPECT_EQ(pcu.flash().goodRecords(), 2);

    line(lines[5], 6000, 6000, 21000, 12000);
    EXPECT_EQ(pcu.overruns(), 13);
    EXPECT_TRUE(pcu.flash().complete());
    EXPECT_EQ(pcu.flash().badRecords(), 2);
    EXPECT_EQ(pcu.flash().span(), image.left(16) + QByteArray(32, '\xFF') + image.mid(48));
    for (BootModule* other : t.boot().all()) {
        if (other != &pcu) {
            EXPECT_EQ(other->overruns(), 0) << other->name().constData();
        }
    }
}

// A sender that forgets the wire: every piece follows the one before it back to back.
TEST(AcuPacing, AFileStreamedIntoTheAcuWithoutPausesProgramsNothing)
{
    AcuRig t;
    BootModule& acu = t.boot().acu();
    t.send("[L");
    t.send("\\0080");
    t.send("^0578", 100);
    ASSERT_TRUE(acu.flash().erased());

    int sent = 0;
    for (const QByteArray& line : file(pattern(32, 9)).mid(1)) {
        for (const QByteArray& p : pieces(line, '#')) {
            t.link.write(p);
            ++sent;
        }
    }
    ASSERT_EQ(sent, 25); // two lines of eleven pieces and the end record's three
    t.rt.advance(1000);
    EXPECT_EQ(acu.overruns(), 24) << "every piece but the first";
    EXPECT_EQ(acu.flash().badRecords(), 3);
    EXPECT_EQ(acu.flash().goodRecords(), 0);
    EXPECT_TRUE(acu.flash().isEmpty());
    EXPECT_FALSE(acu.flash().complete());
}

// Over TCP nothing has a wire time: the same stream programs the ACU.
TEST(AcuPacing, NoWireTimesNoOverruns)
{
    OnWire<AcuModel> t(7, ByteLink::Kind::Tcp);
    t.open();
    BootModule& acu = t.model.unit().bootModules().acu();
    for (const QByteArray& text : {QByteArray("[L\r\n"), QByteArray("\\0080\r\n"), QByteArray("^0578\r\n")})
        t.link.write(text);
    const QByteArray image = pattern(32, 9);
    for (const QByteArray& line : file(image).mid(1))
        for (const QByteArray& p : pieces(line, '#'))
            t.link.write(p);
    t.rt.advance(100);
    EXPECT_EQ(acu.overruns(), 0);
    EXPECT_EQ(acu.flash().span(), image);
}

// qvrsim stamps bytes when it reads them: a read that came late (it says by how much it
// may have) makes the pause before it long and the pause after it short. The pause after
// gets back what the pause before had beyond its need; small overshoots are not saved up.
TEST(AcuPacing, ALateReadIsForgivenOnlyAsFarAsThePauseBeforeItAllows)
{
    const qint64 ms = 1000000;
    const auto run = [&](std::initializer_list<std::pair<qint64, qint64>> pausesAndEarly) {
        AcuBootModules boot;
        boot.handle("\\0080");
        boot.handle("^0578");
        const QList<QByteArray> ps = pieces(record(1, 0, pattern(16, 5)), '#');
        boot.handle(ps[0].trimmed(), 50 * ms, 0);
        qsizetype i = 1;
        for (const auto& [pauseNs, earlyNs] : pausesAndEarly)
            boot.handle(ps[i++].trimmed(), pauseNs, earlyNs);
        return boot.acu().overruns();
    };
    EXPECT_EQ(run({{9 * ms, 5 * ms}, {2500000, 0}}), 0) << "read 3 ms late, forgiven";
    EXPECT_EQ(run({{9 * ms, 0}, {2500000, 0}}), 1) << "read on time: the short pause is the sender's";
    EXPECT_EQ(run({{9 * ms, 2 * ms}, {2500000, 0}}), 1) << "it cannot have been more than 2 ms late";
    EXPECT_EQ(run({{6900000, 5 * ms}, {6900000, 5 * ms}, {6900000, 5 * ms}, {4500000, 0}}), 1)
        << "overshoots within the tolerance are not saved up";
}
