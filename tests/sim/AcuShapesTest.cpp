// Every row of the ACU's vocabulary answers with a line of the shape the panel reads, as the
// shared command tables describe it: the key within its window, the fields of their widths.
#include "UnitOnWire.h"

#include <CommandVocabulary.h>

#include <gtest/gtest.h>

using namespace vocab;

namespace {

bool isDigits(QByteArrayView text)
{
    if (text.isEmpty())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (!((text[i] >= '0' && text[i] <= '9') || (i == 0 && text[i] == '-' && text.size() > 1)))
            return false;
    return true;
}

bool isHex(QByteArrayView text)
{
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')))
            return false;
    return !text.isEmpty();
}

// A flag character: "@" upward, six flag bits.
bool isFlag(int code)
{
    return code >= 0x40 && code <= 0x7F;
}

::testing::AssertionResult numberField(QByteArrayView line, int k, Field field)
{
    const QByteArrayView text = fieldAt(line, k, field);
    if (text.size() == field.width && isDigits(text))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "field at k+" << field.offset << " of \"" << line.toByteArray().constData() << "\" is \""
           << text.toByteArray().constData() << "\"";
}

class AcuShapes : public ::testing::Test {
protected:
    void SetUp() override
    {
        u.open();
        u.rt.advance(40000); // past initialising and the search
    }
    UnitOnWire u;
};

} // namespace

TEST_F(AcuShapes, PolledRepliesCarryTheirFieldsWhereThePanelLooks)
{
    const QByteArray s = u.command("S");
    const int ks = locateKey(s, StatusShape::key);
    ASSERT_GT(ks, 0) << s.constData();
    EXPECT_EQ(s.size(), ks + StatusShape::extended2) << "nothing after the second extended byte";
    for (int b : {StatusShape::byte1, StatusShape::byte2, StatusShape::byte3, StatusShape::byte4,
                  StatusShape::extended1, StatusShape::extended2})
        EXPECT_TRUE(isFlag(charAt(s, ks + b))) << "byte at k+" << b;
    EXPECT_EQ(charAt(s, ks + StatusShape::agcMarkerOffset), StatusShape::agcMarker);
    EXPECT_TRUE(numberField(s, ks, StatusShape::agc));

    const QByteArray p = u.command("P");
    const int kp = locateKey(p, PositionShape::key);
    ASSERT_GT(kp, 0) << p.constData();
    for (Field f : {PositionShape::elevation, PositionShape::azimuth, PositionShape::crossLevel})
        EXPECT_TRUE(numberField(p, kp, f));

    const QByteArray h = u.command("H");
    const int kh = locateKey(h, HeadingShape::key);
    ASSERT_GT(kh, 0) << h.constData();
    EXPECT_TRUE(numberField(h, kh, HeadingShape::relativeAzimuth));
    EXPECT_TRUE(numberField(h, kh, HeadingShape::heading));

    const QByteArray g = u.command("@");
    int kg = locateKey(g, GpsShape::east);
    if (kg == 0)
        kg = locateKey(g, GpsShape::west);
    ASSERT_GT(kg, 0) << g.constData();
    EXPECT_TRUE(fieldAt(g, kg, GpsShape::latHemisphere) == "N" ||
                fieldAt(g, kg, GpsShape::latHemisphere) == "S");
    EXPECT_TRUE(numberField(g, kg, GpsShape::latitude));
    EXPECT_TRUE(numberField(g, kg, GpsShape::longitude));

    const QByteArray a = u.command("u");
    const int ka = locateKey(a, AuxiliaryShape::key);
    ASSERT_GT(ka, 0) << a.constData();
    EXPECT_TRUE(a.contains(AuxiliaryShape::extendedMarker));
    for (Field f : {AuxiliaryShape::polarisation, AuxiliaryShape::externalAgc, AuxiliaryShape::threshold})
        EXPECT_TRUE(numberField(a, ka, f));

    const QByteArray q = u.command("q");
    const int kq = locateKey(q, ReceiverShape::key);
    ASSERT_GT(kq, 0) << q.constData();
    EXPECT_TRUE(numberField(q, kq, ReceiverShape::first));
    EXPECT_TRUE(numberField(q, kq, ReceiverShape::second));

    for (const char* levelCommand : {"%", "c1150", "c0031"}) {
        const QByteArray l = u.command(levelCommand);
        const int kl = locateKey(l, LevelShape::key);
        ASSERT_GT(kl, 0) << levelCommand << ": " << l.constData();
        EXPECT_TRUE(numberField(l, kl, LevelShape::level)) << levelCommand;
    }
}

TEST_F(AcuShapes, EveryParameterLetterOfThePanelReadsAsThreeDigits)
{
    QByteArray letters = "ABCDFGHIJKLMNOPQRSTUVWXYZ[\\]^_`hijopu}~";
    for (quint8 c : {kTrackDisplay, kElLimit12, kElLimit34, kElLimit56, kSkew})
        letters += char(c);
    for (char letter : letters) {
        const QByteArray reply = u.command(parameterRead(quint8(letter)));
        const int k = locateKey(reply, ParameterShape::key);
        ASSERT_GT(k, 0) << "letter " << int(quint8(letter));
        EXPECT_EQ(charAt(reply, k + 1), quint8(letter));
        EXPECT_TRUE(numberField(reply, k, ParameterShape::value));
        EXPECT_EQ(reply.size(), k + 4) << reply.constData();
    }
}

TEST_F(AcuShapes, PcuSensorRepliesInBothReferenceFormsAndTheOtherGroups)
{
    const QByteArray ps = u.command(pcuQuery(kPcuStatus));
    const int k = locateKey(ps, PcuStatusShape::key);
    ASSERT_GT(k, 0) << ps.constData();
    ASSERT_GE(ps.size(), PcuStatusShape::byte4MinLineLength);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(isFlag(charAt(ps, k + PcuStatusShape::byte1 + i)));

    auto axes = [&](char letter, const KeyWindow& key, bool hex) {
        const QByteArray line = u.command(pcuQuery(letter));
        const int kk = locateKey(line, key);
        EXPECT_GT(kk, 0) << letter << ": " << line.constData();
        for (Field f : {PcuSensorShape::cl, PcuSensorShape::lv, PcuSensorShape::az}) {
            if (hex)
                EXPECT_TRUE(isHex(fieldAt(line, kk, f))) << line.constData();
            else
                EXPECT_TRUE(numberField(line, kk, f));
        }
        return std::make_pair(line, kk);
    };
    axes(kPcuReference, PcuSensorShape::reference, false);
    u.model.unit().setReferenceForm(AcuUnit::ReferenceForm::Raw);
    const auto [raw, kr] = axes(kPcuReference, PcuSensorShape::referenceRaw, false);
    EXPECT_EQ(locateKey(raw, PcuSensorShape::reference), 0) << "only one form at a time";
    axes(kPcuRate, PcuSensorShape::rate, false);
    axes(kPcuTorque, PcuSensorShape::torque, false);
    const auto [loop, kl] = axes(kPcuLoop, PcuSensorShape::loop, true);
    const int phase = charAt(loop, kl + PcuSensorShape::phase.offset);
    EXPECT_GE(phase, PcuSensorShape::phaseZero);
    EXPECT_LE(phase, PcuSensorShape::phaseZero + 7);
}

TEST_F(AcuShapes, EveryOtherCommandGetsExactlyOneLineAndTheSilentOnesNone)
{
    const QList<QByteArray> oneLine = {
        pcuQuery(kPcuQualifiedGps),
        pcuQuery(kPcuRawGps),
        pcuQuery(kPcuFineGps),
        pcuQuery(kPcuResetErrors),
        pcuQuery(kPcuVersion),
        kNutaraToggle.toByteArray(),
        kSatReferenceMode.toByteArray(),
        kSlowScanMode.toByteArray(),
        kTiltTestMode.toByteArray(),
        kNormalMode.toByteArray(),
        kSavePcu.toByteArray(),
        kClearAzHfError.toByteArray(),
        kFindSatellite.toByteArray(),
        kResetAcuErrors.toByteArray(),
        kSaveAcu.toByteArray(),
        kLockPort.toByteArray(),
        kUnlockPort.toByteArray(),
        kCommIfVersion.toByteArray(),
        "V",
        "A1483",
        "E0400",
        "J0900",
        "B1234",
        "T1010",
        "c1150",
        "c0033",
        "d0500",
        "X0040",
        "Y0030",
        "$GPGLL,3742.00,N,12212.00,W",
        "$HDHDT,123.4,T*00",
        "k2000",
        "j0800",
        "Z0123",
    };
    for (const QByteArray& command : oneLine) {
        u.rx.clear();
        u.link.write(wireForm(command));
        u.rt.advance(400);
        EXPECT_EQ(u.lines().size(), 1) << command.constData() << " -> " << u.rx.constData();
        EXPECT_FALSE(u.lines().value(0).isEmpty()) << command.constData();
    }
    for (const QByteArray& silent : {QByteArray("C"), QByteArray("D"), kDvbVersion.toByteArray()}) {
        ASSERT_TRUE(expectsNoReply(wireForm(silent)));
        u.rx.clear();
        u.link.write(wireForm(silent));
        u.rt.advance(400);
        EXPECT_TRUE(u.rx.isEmpty()) << silent.constData() << " -> " << u.rx.constData();
    }
}

TEST_F(AcuShapes, VersionTextsNameTheFamilyAndTheirVersion)
{
    const QByteArray versions[] = {
        u.command("V"), u.command(pcuQuery(kPcuVersion)), u.command(kCommIfVersion.toByteArray()),
        (u.command(kDvbVersion.toByteArray()), u.command(kDvbVersionFollowUp.toByteArray()))};
    for (const QByteArray& v : versions) {
        EXPECT_GT(locateKey(v, VersionShape::key), 0) << v.constData();
        EXPECT_TRUE(v.contains("QVR")) << v.constData();
    }
    EXPECT_EQ(QSet<QByteArray>(std::begin(versions), std::end(versions)).size(), 4) << "one text per board";
}
