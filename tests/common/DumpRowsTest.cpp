#include "DumpRowFormatter.h"
#include "DumpTable.h"
#include "DumpUpload.h"

#include <gtest/gtest.h>

#include <QList>

namespace {

// Feeds the panel formatter a "*" reply and the reply after it, returning the second row.
QByteArray panelPair(DumpRowFormatter& f, int index, const QByteArray& high, const QByteArray& low)
{
    const auto& t = dump::panelTable();
    f.panelRow(index, high, t[size_t(index)].query);
    return f.panelRow(index + 1, low, t[size_t(index + 1)].query);
}

QByteArray panelOne(int index, const QByteArray& reply)
{
    DumpRowFormatter f;
    return f.panelRow(index, reply, dump::panelTable()[size_t(index)].query);
}

TEST(DumpTable, QueriesGoOutInTheUnitsOrderAndEndAfterNinetyOneReplies)
{
    const QByteArray list = dump::panelCommandList();
    EXPECT_TRUE(list.startsWith("VS!mA999!mB999!mC999"));
    EXPECT_TRUE(list.contains("!m~999!m\x7F"
                              "999!m\x80"
                              "999"));
    EXPECT_TRUE(list.contains("!m\x8A"
                              "999!?   V!?   S!n0999!n1999"));
    EXPECT_TRUE(list.endsWith("!n:999!n;999![V   "));
    EXPECT_EQ(list.size(), 536);

    EXPECT_EQ(dump::panelCode(90), 12);
    EXPECT_EQ(dump::panelCode(91), 999);
    // A reply the dump never asked for ends it rather than reading past the table.
    EXPECT_EQ(dump::panelCode(92), 999);
    EXPECT_EQ(dump::panelCode(-1), 999);
}

TEST(DumpTable, HeadersAndTheCancelNote)
{
    EXPECT_EQ(dump::panelHeader(),
              "'ACU Parameter Dump - Legacy Mode\r\n'CMD\tValue\tResult\tDescription\r\n");
    EXPECT_EQ(dump::terminalAcuHeader(),
              "'ACU Parameter Dump, Legacy Mode\r\n'CMD\tValue\tResult\tDescription\r\n");
    EXPECT_EQ(dump::panelCancelLines(), "'Parameter Dump Canceled\r\n\r\n");
}

TEST(DumpPanelRows, SingleByteCodes)
{
    // Code 1: the value again after the apostrophe.
    EXPECT_EQ(panelOne(6, "003"), "mE\t003\t'003\tMode\r\n");
    // Code 5: every odd value is south, not only 1.
    EXPECT_EQ(panelOne(37, "001"), "md\t001\t'S\tLat N/S\r\n");
    EXPECT_EQ(panelOne(37, "003"), "md\t003\t'S\tLat N/S\r\n");
    EXPECT_EQ(panelOne(37, "002"), "md\t002\t'N\tLat N/S\r\n");
    // Code 6: bit 4 alone decides west.
    EXPECT_EQ(panelOne(40, "016"), "mg\t016\t'W\tLon E/W\r\n");
    EXPECT_EQ(panelOne(40, "017"), "mg\t017\t'W\tLon E/W\r\n");
    EXPECT_EQ(panelOne(43, "015"), "mj\t015\t'E\tSat E/W\r\n");
    // Code 10: halves rounded to even.
    EXPECT_EQ(panelOne(71, "005"), "m\x86\t005\t'002\tEl Limit12\r\n");
    EXPECT_EQ(panelOne(74, "007"), "m\x89\t007\t'004\tEl Limit78\r\n");
    // Code 11: a signed byte.
    EXPECT_EQ(panelOne(75, "200"), "m\x8A\t200\t'-056\tSatSkew\r\n");
    EXPECT_EQ(panelOne(75, "128"), "m\x8A\t128\t'-128\tSatSkew\r\n");
}

TEST(DumpPanelRows, CommentRowsKeepTheWholeReply)
{
    EXPECT_EQ(panelOne(0, "QVR 5000 V2.13"), "'QVR 5000 V2.13\r\n");
    EXPECT_EQ(panelOne(77, "P1234567"), "'P1234567\r\n");
}

TEST(DumpPanelRows, PedestalRepliesAreCutToFourCharacters)
{
    EXPECT_EQ(panelOne(78, "0123 X"), "n0\t123\t'123\tSystyp\r\n");
    EXPECT_EQ(panelOne(89, "9045"), "n;\t045\t'045\tStat1\r\n");
}

TEST(DumpPanelRows, TwoByteParametersCombineTheStarRowWithTheNext)
{
    DumpRowFormatter f;
    // Code 3: signed 16 bits in tenths; 65535 is minus one tenth.
    EXPECT_EQ(f.panelRow(2, "255", "mA999"), "mA\t255\t'*\r\n");
    EXPECT_EQ(f.panelRow(3, "255", "mB999"), "mB\t255\t'-000.1\tEl Trim\r\n");
    EXPECT_EQ(panelPair(f, 4, "001", "044"), "mD\t044\t'030.0\tAz Trim\r\n");
    EXPECT_EQ(panelPair(f, 20, "128", "000"), "mT\t000\t'-3276.8\tAz Limit1\r\n");
    // Code 2: a plain word, four digits.
    EXPECT_EQ(panelPair(f, 48, "002", "001"), "mp\t001\t'0513\tTHRS\r\n");
    // Code 4: upper-case hexadecimal without leading zeros.
    EXPECT_EQ(panelPair(f, 62, "000", "171"), "m~\t171\t'AB\tTarget NID\r\n");
    // Code 7: sixths with one decimal.
    EXPECT_EQ(panelPair(f, 44, "002", "058"), "ml\t058\t'095.0\tLcl HDG\r\n");
    EXPECT_EQ(panelPair(f, 44, "000", "001"), "ml\t001\t'000.2\tLcl HDG\r\n");
    // Code 8: the word and its sixteenths, two blanks and no tab before the description.
    EXPECT_EQ(panelPair(f, 52, "001", "000"), "mt\t000\t'0256/0016  Baud/KHz\r\n");
    // Code 9: sixteenths, halves to even.
    EXPECT_EQ(panelPair(f, 56, "000", "040"), "mx\t040\t'0002\tAGC\r\n");
    EXPECT_EQ(panelPair(f, 58, "000", "056"), "mz\t056\t'0004\tExt AGC\r\n");
}

TEST(DumpPanelRows, TheHighByteSurvivesRowsThatDoNotUseIt)
{
    DumpRowFormatter f;
    f.panelRow(2, "001", "mA999");
    f.panelRow(6, "009", "mE999"); // a single-byte row in between leaves it alone
    EXPECT_EQ(f.accumulator(), 1);
    EXPECT_EQ(f.panelRow(3, "000", "mB999"), "mB\t000\t'025.6\tEl Trim\r\n");
    // A word row keeps the whole word; the next "*" row starts afresh.
    f.panelRow(48, "002", "mo999");
    f.panelRow(49, "001", "mp999");
    EXPECT_EQ(f.accumulator(), 513);
    f.panelRow(50, "003", "mq999");
    EXPECT_EQ(f.accumulator(), 3);
}

TEST(DumpPanelRows, MissingOrGarbledRepliesStillGiveTheirRow)
{
    DumpRowFormatter f;
    // The watchdog's stand-in reply.
    EXPECT_EQ(f.panelRow(2, "????", "mA999"), "mA\t???\t'*\r\n");
    EXPECT_EQ(f.panelRow(3, "????", "mB999"), "mB\t???\t'000.0\tEl Trim\r\n");
    EXPECT_EQ(f.panelRow(37, "????", "md999"), "md\t???\t'N\tLat N/S\r\n");
    EXPECT_EQ(f.panelRow(6, "", "mE999"), "mE\t\t'\tMode\r\n");
    EXPECT_EQ(f.panelRow(6, "7", "mE999"), "mE\t7\t'7\tMode\r\n");
    // Two out-of-range bytes still read as one signed 16-bit field.
    EXPECT_EQ(panelPair(f, 2, "999", "999"), "mB\t999\t'-540.1\tEl Trim\r\n");
    // No row past the end, and no reading outside the table.
    EXPECT_EQ(f.panelRow(91, "000", ""), "");
    EXPECT_EQ(f.panelRow(-1, "000", "mA999"), "");
}

TEST(DumpPanelRows, AWordThatOutgrowsThirtyTwoBitsWraps)
{
    DumpRowFormatter f;
    for (int i = 0; i < 4; ++i)
        f.row("mp", "255", 2, "THRS");
    EXPECT_EQ(f.accumulator(), -1);
    EXPECT_EQ(f.row("m~", "255", 4, "Target NID"), "m~\t255\t'FFFFFFFF\tTarget NID\r\n");
}

TEST(DumpTerminalRows, EchoedRepliesAndTheTerminalsDifferences)
{
    DumpRowFormatter f(DumpRowFormatter::Style::Terminal);
    EXPECT_EQ(f.terminalAcuRow(0, "mA255"), QByteArray("mA\t255\t'*\r\n"));
    EXPECT_EQ(f.terminalAcuRow(1, "mB255"), QByteArray("mB\t255\t'-000.1\tEl Trim\r\n"));
    f.terminalAcuRow(50, "ms001");
    EXPECT_EQ(f.terminalAcuRow(51, "mt000"), QByteArray("mt\t000\t'0256 / 0016  Baud/KHz\r\n"));
    // The terminal names the 5 V offset's bytes differently and writes the skew as received.
    EXPECT_EQ(dump::terminalAcuEntry(66).description, "Az Limit7");
    EXPECT_EQ(f.terminalAcuRow(65, "m\x82"
                                   "004"),
              QByteArray("m\x82\t004\t'*\r\n"));
    EXPECT_EQ(f.terminalAcuRow(73, "m\x8A"
                                   "200"),
              QByteArray("m\x8A\t200\t'200\tSatSkew\r\n"));
    // Halves only for a reply; a time-out ("??") still has one, with an empty value.
    EXPECT_EQ(f.terminalAcuRow(69, ""), std::nullopt);
    EXPECT_EQ(f.terminalAcuRow(69, "m\x86"
                                   "005"),
              QByteArray("m\x86\t005\t'002\tEl Limit12\r\n"));
    EXPECT_EQ(f.terminalAcuRow(69, "??"), QByteArray("m\x86\t\t'000\tEl Limit12\r\n"));
    EXPECT_EQ(f.terminalAcuRow(4, "??"), QByteArray("mE\t\t'\tMode\r\n"));
    EXPECT_EQ(f.terminalAcuRow(74, "m\x8B"
                                   "000"),
              std::nullopt);
}

TEST(DumpUpload, ParameterRowsBecomeTheirCommandAndNothingElseIsSent)
{
    EXPECT_EQ(dump::uploadCommand("mB\t255\t'-000.1\tEl Trim"), QByteArray("mB255"));
    EXPECT_EQ(dump::uploadCommand("mB\t255\t'-000.1\tEl Trim\r\n"), QByteArray("mB255"));
    EXPECT_EQ(dump::uploadCommand("mt\t000\t'0256/0016  Baud/KHz"), QByteArray("mt000"));
    EXPECT_EQ(dump::uploadCommand("mE010"), QByteArray("mE010"));
    EXPECT_EQ(dump::uploadCommand("'ACU Parameter Dump - Legacy Mode"), std::nullopt);
    EXPECT_EQ(dump::uploadCommand("'QVR 5000 V2.13"), std::nullopt);
    EXPECT_EQ(dump::uploadCommand(">mB255"), std::nullopt);
    EXPECT_EQ(dump::uploadCommand(""), std::nullopt);
    EXPECT_EQ(dump::uploadCommand("\t\t'x"), std::nullopt);
    EXPECT_EQ(dump::uploadCommand("   "), std::nullopt);
}

TEST(DumpUpload, AWholeDumpFileSendsOneCommandPerParameterRow)
{
    DumpRowFormatter f;
    QByteArray file = dump::panelHeader();
    const auto& t = dump::panelTable();
    for (int i = 0; dump::panelCode(i) != 999; ++i)
        file += f.panelRow(i, dump::panelCode(i) == 12 ? QByteArray("QVR 5000") : QByteArray("001"),
                           t[size_t(i)].query);
    file += dump::panelCancelLines();

    QList<QByteArray> sent;
    for (const QByteArray& line : file.split('\n'))
        if (auto cmd = dump::uploadCommand(line))
            sent << *cmd;
    // 91 replies, five of them identity comments.
    ASSERT_EQ(sent.size(), 86);
    EXPECT_EQ(sent.first(), "mA001");
    EXPECT_EQ(sent[1], "mB001");
    EXPECT_EQ(sent[73], "m\x8A"
                        "001");
    EXPECT_EQ(sent[74], "n0001");
    EXPECT_EQ(sent.last(), "n;001");
}

} // namespace
