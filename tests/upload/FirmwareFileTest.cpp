#include "FirmwareFileCheck.h"
#include "FirmwareImage.h"
#include "SRecordFile.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "SRecordBuilder.h"

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// srec_cat makes the files, so the reader is checked against a tool that knows nothing of it.
bool srecCat(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral("srec_cat"), args);
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

struct SrecCatFile : ::testing::Test {
    QTemporaryDir dir;
    QString bin = dir.filePath("in.bin");
    QString s19 = dir.filePath("FW.S19");
    QString image = dir.filePath("image.bin");

    // A 4 KiB program at E000 with the version text inside, started at F003.
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QByteArray program(4096, '\0');
        QRandomGenerator gen(7);
        for (auto& b : program)
            b = char(gen.bounded(256));
        program.replace(0x0800, 13, "VER 2.05\0\0\0\0\0", 13);
        writeFile(bin, program);
        ASSERT_TRUE(srecCat({bin, "-binary", "-offset", "0xE000", "-o", s19, "-motorola", "-address-length=2",
                             "-execution-start-address=0xF003"}));
        ASSERT_TRUE(srecCat({s19, "-fill", "0x00", "0x0000", "0x10000", "-o", image, "-binary"}));
    }

    std::vector<QByteArray> lines() const
    {
        std::vector<QByteArray> out;
        for (const QByteArray& l : readAll(s19).split('\n'))
            if (!l.isEmpty())
                out.push_back(l.endsWith('\r') ? l.chopped(1) : l);
        return out;
    }
    static QByteArray join(const std::vector<QByteArray>& lines, const char* eol = "\r\n")
    {
        QByteArray out;
        for (const QByteArray& l : lines)
            out += l + eol;
        return out;
    }
};

TEST_F(SrecCatFile, GoodFileGivesEveryRecordTheSameImageAndItsVersion)
{
    const SRecordFile file = SRecordFile::load(s19);
    ASSERT_TRUE(file.isValid()) << file.errorText().toStdString();
    const auto expected = lines();
    ASSERT_EQ(file.records().size(), expected.size());
    EXPECT_EQ(file.records().front().type, '0');
    EXPECT_EQ(file.records()[1].address, 0xE000u);
    EXPECT_EQ(file.records().back().text, "S903F00309");
    EXPECT_EQ(file.records().back().lineNumber, int(expected.size()));
    EXPECT_EQ(file.terminationLine(), "S903F00309");

    FirmwareImage img;
    img.load(file);
    const QByteArray reference = readAll(image);
    ASSERT_EQ(reference.size(), FirmwareImage::kSize);
    EXPECT_TRUE(img.bytes() == reference);
    EXPECT_EQ(img.findVersion(), QStringLiteral("2.05"));

    const FamilyRule* acu = FirmwareFileCheck::ruleFor(Module::QVRa);
    EXPECT_EQ(FirmwareFileCheck::check(acu, file.terminationLine()), FirmwareFileCheck::Verdict::Accepted);
}

TEST_F(SrecCatFile, LineEndsBlankLinesAndCtrlZAreTolerated)
{
    auto ls = lines();
    ls.insert(ls.begin() + 1, "   ");
    const QByteArray content = join(ls, "\r") + "\x1a\x1a\r\n";
    const SRecordFile file = SRecordFile::parse(content);
    ASSERT_TRUE(file.isValid()) << file.errorText().toStdString();
    EXPECT_EQ(file.records().size(), ls.size() - 1);
    EXPECT_EQ(file.records()[1].lineNumber, 3) << "the blank line still counts";

    ls.back() += "  \t";
    const SRecordFile trailing = SRecordFile::parse(join(ls, "\n"));
    ASSERT_TRUE(trailing.isValid());
    EXPECT_EQ(trailing.records().back().text, "S903F00309");
}

TEST_F(SrecCatFile, EachKindOfBadRecordIsRefusedNamingItsLine)
{
    const auto good = lines();
    ASSERT_GE(good.size(), 4u);
    const QByteArray data = good[2]; // an S1 record
    QByteArray badHex = data;
    badHex[9] = 'G';
    QByteArray badSum = data;
    badSum[badSum.size() - 1] = badSum.endsWith('0') ? '1' : '0';
    QByteArray s4 = data;
    s4[1] = '4';

    const struct {
        QByteArray line;
        const char* problem;
    } cases[] = {
        {badHex, "Character 10 (\"G\") is not a hexadecimal digit."},
        {data.chopped(2), "Its byte count 23 needs 74 characters, the line has 72."},
        {data + "00", "Its byte count 23 needs 74 characters, the line has 76."},
        {badSum, "Its checksum is"},
        {s4, "S4 is not a known record type."},
        {"S6030000FC", "S6 is not a known record type."},
        {":10000000", "It does not begin with S and a record type."},
        {" " + data, "It does not begin with S and a record type."},
        {"S1", "The line ends before its byte count."},
        {"S10200FD", "Its byte count 02 is too small for an S1 record."},
        {"S9050000AB004F", "An S9 record carries no data, this one has 2 bytes."},
    };
    for (const auto& c : cases) {
        auto ls = good;
        ls[2] = c.line;
        const SRecordFile file = SRecordFile::parse(join(ls));
        SCOPED_TRACE(c.line.toStdString());
        EXPECT_FALSE(file.isValid());
        EXPECT_TRUE(file.records().empty());
        EXPECT_EQ(file.terminationLine(), "");
        EXPECT_EQ(file.errorLine(), 3);
        const QStringList parts = file.errorText().split('\r');
        ASSERT_EQ(parts.size(), 3);
        EXPECT_EQ(parts[0], "Error,");
        EXPECT_EQ(parts[1], "Line 3 is not a valid S-record:");
        EXPECT_TRUE(parts[2].startsWith(QLatin1String(c.problem))) << parts[2].toStdString();
    }
}

TEST(SRecordFileRefusal, WholeFileFaultsNameTheFile)
{
    QTemporaryDir dir;
    const QString empty = dir.filePath("EMPTY.S19");
    writeFile(empty, "\r\n\r\n");
    const SRecordFile none = SRecordFile::load(empty);
    EXPECT_EQ(none.errorText(), "Error,\rEMPTY.S19\rThe file holds no S-records.");
    EXPECT_EQ(none.errorLine(), 0);

    const SRecordFile missing = SRecordFile::load(dir.filePath("NONE.S19"));
    EXPECT_FALSE(missing.isValid());
    EXPECT_TRUE(missing.errorText().startsWith("Error,\rCannot open "));
    EXPECT_EQ(missing.errorText().count('\r'), 2);
}

TEST(SRecordFileTermination, FirstS9LineOtherwiseTheLastLine)
{
    const QByteArray vector = "S105FFFCE0031C";
    const SRecordFile noS9 = SRecordFile::parse("S1050000414277\r\n" + vector + "\r\n");
    ASSERT_TRUE(noS9.isValid()) << noS9.errorText().toStdString();
    EXPECT_EQ(noS9.terminationLine(), vector);

    const SRecordFile twoS9 = SRecordFile::parse("S903F00309\nS1050000414277\nS903F10308\n");
    ASSERT_TRUE(twoS9.isValid());
    EXPECT_EQ(twoS9.terminationLine(), "S903F00309");
}

QByteArray s1(quint16 address, const QByteArray& data)
{
    return srec::record(1, address, data) + "\r\n";
}

// A file cut at a record boundary passes every record check; only the missing end record
// tells. Data after a Ctrl-Z would never be programmed, so such a file is refused whole.
TEST(SRecordFileEnd, EndRecordsLowerCaseAndDataAfterCtrlZ)
{
    EXPECT_TRUE(SRecordFile::parse("S1050000AABB95\r\nS903F00309\r\n").hasEndRecord());
    EXPECT_TRUE(SRecordFile::parse("S1050000AABB95\r\nS80400F00308\r\n").hasEndRecord());
    EXPECT_TRUE(SRecordFile::parse("S1050000AABB95\r\nS7050000F00307\r\n").hasEndRecord());
    const SRecordFile cut = SRecordFile::parse("S1050000AABB95\r\n");
    ASSERT_TRUE(cut.isValid());
    EXPECT_FALSE(cut.hasEndRecord());
    EXPECT_FALSE(SRecordFile::parse("S1050000AABB95\r\nS105FFFCF1030B\r\n").hasEndRecord())
        << "a reset vector is data";

    const SRecordFile lower = SRecordFile::parse("s1050000aabb95\r\ns903f00309\r\n");
    ASSERT_TRUE(lower.isValid()) << lower.errorText().toStdString();
    EXPECT_TRUE(lower.hasEndRecord());
    EXPECT_EQ(lower.terminationLine(), "S903F00309");
    EXPECT_EQ(lower.records()[0].text, "S1050000AABB95") << "sent in capitals";
    EXPECT_EQ(lower.records()[0].data, QByteArray("\xAA\xBB"));

    const SRecordFile joined = SRecordFile::parse("S1050000AABB95\r\n\x1aS903F00309\r\n");
    EXPECT_FALSE(joined.isValid());
    EXPECT_EQ(joined.errorLine(), 2);
    EXPECT_EQ(joined.errorText(), "Error,\rLine 2 holds an end-of-file mark (Ctrl-Z) with data after it.\r"
                                  "The file may be two files joined or damaged; it is not sent.");
    EXPECT_TRUE(SRecordFile::parse("S1050000AABB95\r\nS903F00309\r\n\x1a").isValid());
    EXPECT_TRUE(SRecordFile::parse("S1050000AABB95\r\nS903F00309\x1a\x1a\r\n \t").isValid());
}

TEST(FirmwareImageLoad, KeepsToS1DataBeforeTheFirstS9WithinSixtyFourKiB)
{
    const QByteArray content = s1(0xFFFE, "ABCD") + "S20801000041424344EC\r\n" + s1(0x0010, "xy") +
                               "S903F00309\r\n" + s1(0x0020, "late");
    const SRecordFile file = SRecordFile::parse(content);
    ASSERT_TRUE(file.isValid()) << file.errorText().toStdString();
    FirmwareImage img;
    img.load(file);
    QByteArray expected(FirmwareImage::kSize, '\0');
    expected[0xFFFE] = 'A';
    expected[0xFFFF] = 'B';
    expected[0x10] = 'x';
    expected[0x11] = 'y';
    EXPECT_TRUE(img.bytes() == expected);

    img.load(SRecordFile::parse(s1(0x0010, "z")));
    EXPECT_EQ(img.bytes()[0xFFFF], '\0') << "each load starts from a clear image";
}

std::optional<QString> versionOf(quint16 address, const QByteArray& text)
{
    FirmwareImage img;
    img.load(SRecordFile::parse(s1(address, text)));
    return img.findVersion();
}

TEST(FirmwareImageVersion, MarkerSearch)
{
    EXPECT_EQ(versionOf(0x100, "VER 2.05"), "2.05");
    EXPECT_EQ(versionOf(0x100, "Ver 1.10a"), "1.10a");
    EXPECT_EQ(versionOf(0x100, "vErSiOn 3.1415926"), std::nullopt) << "the V must be a capital";
    EXPECT_EQ(versionOf(0x100, "Version 3.1415926"), "3.1415") << "cut to six";
    EXPECT_EQ(versionOf(0x100, "VERSION:XY7.2 "), "7.2") << "no blank: the text starts at the eleventh byte";
    EXPECT_EQ(versionOf(0x100, "VER 1.0~z"), "1.0") << "bytes from 122 up end the text";
    EXPECT_EQ(versionOf(0x100, "V.ER 1 VER 2"), "2");
    EXPECT_EQ(versionOf(0x100, "no marker"), std::nullopt);
    EXPECT_EQ(versionOf(65523, "VERSIONXY1234"), "234") << "stops at the top of memory";
    EXPECT_EQ(versionOf(65524, "VER 1"), std::nullopt);
}

TEST(FamilyCheck, TerminationLinesPerFamily)
{
    using V = FirmwareFileCheck::Verdict;
    const auto verdict = [](Module m, const char* line) {
        return FirmwareFileCheck::check(FirmwareFileCheck::ruleFor(m), line);
    };
    EXPECT_EQ(verdict(Module::QVR2a, "S903F003F9"), V::Accepted);
    EXPECT_EQ(verdict(Module::QVRa, "S105FFFCE0031C"), V::Warn);
    EXPECT_EQ(verdict(Module::QVRp, "S9038000FC"), V::Accepted);
    EXPECT_EQ(verdict(Module::USBpcu, "S903F003F9"), V::Warn);
    EXPECT_EQ(verdict(Module::SPdvb, "S903F10308"), V::Rejected) << "silent";
    EXPECT_EQ(verdict(Module::QVRd, "S105FFFCF10309"), V::Accepted);
    EXPECT_EQ(verdict(Module::NMEA, "S903F806FB"), V::Accepted);
    EXPECT_EQ(verdict(Module::SPCU, "S903F003F9"), V::Rejected);
    EXPECT_EQ(verdict(Module::Data, "S903F003F9"), V::Rejected) << "no rule, nothing accepted";

    // Several check marks (the KVMP auto update): the table order decides.
    const auto kvmpAndNmea = [](Module m) { return m == Module::NMEA || m == Module::KVMP; };
    EXPECT_EQ(FirmwareFileCheck::ruleFor(kvmpAndNmea), FirmwareFileCheck::ruleFor(Module::KVMP));

    const FamilyRule& pcu = *FirmwareFileCheck::ruleFor(Module::SPG2pcu);
    EXPECT_TRUE(FirmwareFileCheck::needsChecksumNotice(pcu, "S9038000FC"));
    EXPECT_FALSE(FirmwareFileCheck::needsChecksumNotice(pcu, "S903E00319"));
    EXPECT_FALSE(
        FirmwareFileCheck::needsChecksumNotice(*FirmwareFileCheck::ruleFor(Module::QVRa), "S9038000FC"));
}

TEST(FamilyCheck, MessageTexts)
{
    EXPECT_EQ(FirmwareFileCheck::warningText(*FirmwareFileCheck::ruleFor(Module::QVRa)),
              "WARNING,\rQVR 5000 ACU Program Mode is selected and\r"
              "Upload file does not have the correct ACU format.\r\rContinue anyway, Yes or No ?");
    EXPECT_EQ(FirmwareFileCheck::warningText(*FirmwareFileCheck::ruleFor(Module::NMEA)),
              "WARNING:\rKVMP to NMEA Mode is selected and\r"
              "Upload file does not have the KVMP NMEA format.\r\rContinue anyway, Yes or No ?");
    EXPECT_EQ(FirmwareFileCheck::areYouSureText(),
              "Programming with an incorrect file format\rmay render your system inoperative.\r\r"
              "Quit now, Yes or No ?");
    EXPECT_EQ(FirmwareFileCheck::checksumNoticeText(),
              "NOTICE:\rThis file does not appear to\rhave a checksum module installed\r\rDo you wish to "
              "continue?");
}

TEST(SlcdImage, JumpOpcodeAtTheStart)
{
    QTemporaryDir dir;
    const QString good = dir.filePath("771206_SLCD_1.00.bin");
    const QString bad = dir.filePath("bad.bin");
    writeFile(good, QByteArray("\xEB\xFE", 2) + QByteArray(300, '\x55'));
    writeFile(bad, QByteArray("\x00\x01\xEB\xFE", 4));
    QString error;
    EXPECT_TRUE(FirmwareFileCheck::checkSlcdImageFile(good, &error));
    EXPECT_FALSE(FirmwareFileCheck::checkSlcdImageFile(bad, &error));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_FALSE(FirmwareFileCheck::isSlcdImage(QByteArray("\xEB", 1)));
    EXPECT_FALSE(FirmwareFileCheck::checkSlcdImageFile(dir.filePath("none.bin"), &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
