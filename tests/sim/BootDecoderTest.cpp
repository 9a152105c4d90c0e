// The bootloaders' own S-record reader and the flash it fills.
#include "SRecordBuilder.h"

#include <BootFlash.h>
#include <BootModule.h>
#include <SRecordDecoder.h>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace srec;

namespace {

QByteArray joined(const QList<QByteArray>& lines, const QByteArray& between)
{
    QByteArray out;
    for (const QByteArray& l : lines)
        out += l + between;
    return out;
}

} // namespace

TEST(SRecordDecoder, GivesTheSameImageWhateverTheChunkingAndWhateverLiesBetweenRecords)
{
    const QByteArray image = pattern(200);
    const QList<QByteArray> lines = file(image, 0x1000);
    // Line ends of every kind, the "00" filling of pass-through pieces, blanks.
    for (const QByteArray& between :
         {QByteArray("\r\n"), QByteArray("\r"), QByteArray("00"), QByteArray("   \n"), QByteArray()}) {
        const QByteArray text = joined(lines, between);
        for (int chunk : {1, 3, 4, 7, 1000}) {
            BootFlash flash;
            SRecordDecoder decoder(flash);
            for (qsizetype at = 0; at < text.size(); at += chunk)
                decoder.feed(text.mid(at, chunk));
            quint32 base = 0;
            EXPECT_EQ(flash.span(&base), image)
                << "between " << between.toHex().constData() << " chunk " << chunk;
            EXPECT_EQ(base, 0x1000u);
            EXPECT_EQ(flash.goodRecords(), lines.size());
            EXPECT_EQ(flash.badRecords(), 0);
            EXPECT_TRUE(flash.complete());
            EXPECT_FALSE(decoder.inRecord());
        }
    }
}

TEST(SRecordDecoder, WideAddressesAndLowerCaseHex)
{
    BootFlash flash;
    SRecordDecoder decoder(flash);
    decoder.feed(record(2, 0x123456, "\x01\x02") + "\r\n" + "S3" +
                 record(3, 0x89ABCDEF, "\xAA").mid(2).toLower() + "\r\n");
    EXPECT_EQ(flash.goodRecords(), 2);
    EXPECT_EQ(flash.bytes().at(0x123456), 0x01);
    EXPECT_EQ(flash.bytes().at(0x123457), 0x02);
    EXPECT_EQ(flash.bytes().at(0x89ABCDEF), 0xAA);
    EXPECT_FALSE(flash.complete());
    decoder.feed(record(8, 0x123456, {}));
    EXPECT_TRUE(flash.complete());
    // Spread over 2 GB: no span is made of that.
    EXPECT_TRUE(flash.span().isEmpty());
}

TEST(SRecordDecoder, BadRecordsAreCountedProgramNothingAndDoNotSpoilTheNextRecord)
{
    const QByteArray good = record(1, 0x0010, "\x11\x22\x33");
    QByteArray wrongSum = record(1, 0x0020, "\x44");
    wrongSum[wrongSum.size() - 1] = wrongSum.back() == '0' ? '1' : '0';
    QByteArray notHex = record(1, 0x0030, "\x55\x66");
    notHex[6] = 'G';
    const QByteArray truncated = record(1, 0x0040, "\x77\x88").left(9); // the rest of the line was lost
    const QByteArray tooShort = "S1020000FD";                           // no room for address and checksum
    const QByteArray unknownType = "S4030000FC";

    BootFlash flash;
    SRecordDecoder decoder(flash);
    decoder.feed(wrongSum + "\r\n" + notHex + "\r\n" + truncated + good + "\r\n" + tooShort + "\r\n" +
                 unknownType + "\r\n" + good);
    EXPECT_EQ(flash.badRecords(), 5);
    EXPECT_EQ(flash.goodRecords(), 2);
    EXPECT_EQ(flash.span(), QByteArray("\x11\x22\x33"));
    // A line end inside a record ends it as a bad one.
    decoder.feed(record(1, 0x50, "\x99").left(7) + "\r\n");
    EXPECT_EQ(flash.badRecords(), 6);
    EXPECT_FALSE(decoder.inRecord());
}

TEST(BootFlash, KeepsHolesErasedAndAndsBytesProgrammedTwiceWithoutAnErase)
{
    BootFlash flash;
    EXPECT_FALSE(flash.erased());
    flash.program(0x100, "\xF0\x0F");
    flash.program(0x104, "\x12");
    quint32 base = 0;
    EXPECT_EQ(flash.span(&base), QByteArray("\xF0\x0F\xFF\xFF\x12"));
    EXPECT_EQ(base, 0x100u);
    flash.program(0x100, "\x3C");
    EXPECT_EQ(quint8(flash.span()[0]), 0x30) << "flash only clears bits";
    EXPECT_EQ(flash.reprogrammedBytes(), 1);

    QTemporaryDir dir;
    const QString path = dir.filePath("image.bin");
    ASSERT_TRUE(flash.writeBinary(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), flash.span());

    flash.countRecord(true);
    flash.markComplete();
    flash.erase();
    EXPECT_TRUE(flash.erased());
    EXPECT_EQ(flash.eraseCount(), 1);
    EXPECT_TRUE(flash.isEmpty());
    EXPECT_EQ(flash.goodRecords(), 0);
    EXPECT_FALSE(flash.complete());
}

TEST(BootModule, ReadsCommandWordsAndRecordsFromOneStreamOnlyWhileItsBootloaderRuns)
{
    BootModule pcu(BootTarget::Pcu);
    QList<QByteArray> said;
    int programmed = 0;
    QObject::connect(&pcu, &BootModule::said, [&](const QByteArray& l) { said << l; });
    QObject::connect(&pcu, &BootModule::programmed, [&] { ++programmed; });
    const QByteArray image = pattern(40);
    const QList<QByteArray> lines = file(image);

    // The application reads past records: a "0080" inside one starts nothing.
    pcu.feed(record(1, 0, QByteArray("\x00\x80\x00\x80", 4)));
    EXPECT_FALSE(pcu.inBootloader());
    EXPECT_TRUE(pcu.flash().isEmpty());

    pcu.feed("0080\x0b  ");
    ASSERT_TRUE(pcu.inBootloader());
    pcu.feed("05");
    pcu.endOfMessage(); // a half word is forgotten at a burst end
    pcu.feed("78   ");
    EXPECT_FALSE(pcu.flash().erased());
    pcu.feed("0578   ");
    EXPECT_TRUE(pcu.flash().erased());
    for (const QByteArray& l : lines)
        pcu.feed(l + "00");
    EXPECT_EQ(pcu.flash().span(), image);
    EXPECT_EQ(programmed, 1);
    EXPECT_EQ(said,
              QList<QByteArray>({"PCU BOOTLOADER V1.0 READY", "ERASED *", "PROGRAMMED 40 BYTES, 0 BAD RECORDS"}));
    pcu.feed("0090");
    EXPECT_FALSE(pcu.inBootloader());
    EXPECT_EQ(programmed, 1) << "nothing new to report at the restart";
}

TEST(BootModule, FaultsSpoilOrLoseTheNthRecordAndRefuseTheErase)
{
    const QByteArray image = pattern(64);
    const QList<QByteArray> lines = file(image); // S0, 4 data records, S9
    auto run = [&](const BootFaults& faults) {
        auto m = std::make_unique<BootModule>(BootTarget::Pcu);
        m->setFaults(faults);
        m->feed("0080");
        m->feed("0578");
        for (const QByteArray& l : lines)
            m->feed(l + "\r\n");
        return m;
    };
    BootFaults corrupt;
    corrupt.corruptRecord = 3;
    const auto c = run(corrupt);
    EXPECT_EQ(c->flash().badRecords(), 1);
    EXPECT_EQ(c->flash().goodRecords(), 5);
    EXPECT_EQ(c->flash().span(), image.left(16) + QByteArray(16, '\xFF') + image.mid(32));
    EXPECT_EQ(c->summary(), "PROGRAMMED 48 BYTES, 1 BAD RECORDS");

    BootFaults drop;
    drop.dropRecord = 2;
    const auto d = run(drop);
    EXPECT_EQ(d->flash().badRecords(), 0);
    EXPECT_EQ(d->flash().goodRecords(), 5);
    EXPECT_EQ(d->flash().span(), image.mid(16));

    BootFaults refuse;
    refuse.refuseErase = true;
    const auto r = run(refuse);
    EXPECT_FALSE(r->flash().erased());
    EXPECT_EQ(r->flash().span(), image) << "fresh flash takes the image even unerased";
}
