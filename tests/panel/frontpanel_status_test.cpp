#include "FrontPanelRig.h"

namespace {

using FrontPanelStatus = FrontPanelRig;
using L = StatusLeds;

constexpr quint32 kGreen = L::kGreen, kYellow = L::kYellow, kRed = L::kRed, kDark = 0;

// The colour of each LED, 0 for dark.
std::array<quint32, L::kCount> colours(const FrontPanelLogic& f)
{
    std::array<quint32, L::kCount> out{};
    for (int i = 0; i < L::kCount; ++i)
        out[i] = f.leds()[i].lit ? f.leds()[i].colour : kDark;
    return out;
}

TEST_F(FrontPanelStatus, AcuStatusBytesLightTheLedsAndNameTheConditionLed)
{
    struct Case {
        std::array<int, 4> acu;
        std::array<quint32, 5> leds; // Tracking, Searching, Target, condition, Error
        QString caption;             // the condition LED's, while lit
    };
    const std::vector<Case> cases{
        {{64, 64, 64, 0}, {kDark, kDark, kDark, kDark, kDark}, ""},
        {{72, 64, 64, 0}, {kGreen, kDark, kDark, kDark, kDark}, ""},
        {{72, 65, 64, 0}, {kYellow, kYellow, kDark, kDark, kDark}, ""},
        {{72, 64 + 32, 64, 0}, {kYellow, kDark, kGreen, kDark, kDark}, ""},
        {{64, 64 + 16, 64, 0}, {kDark, kDark, kGreen, kDark, kDark}, ""},
        {{64 + 4, 64 + 2, 64, 0}, {kDark, kDark, kDark, kYellow, kDark}, "       Initializing"},
        {{64 + 32 + 4, 64 + 4, 64, 0}, {kDark, kDark, kDark, kYellow, kDark}, "       Unwrap"},
        // A stability limit is also an error bit ("Stability Limit").
        {{64 + 32, 64 + 4, 64, 64 + 16}, {kDark, kDark, kDark, kYellow, kRed}, "       Slow Scan"},
        {{64, 64 + 4, 64, 64 + 16}, {kDark, kDark, kDark, kYellow, kRed}, "       Stab Limit"},
        {{64, 64 + 4 + 1, 64, 64 + 16}, {kDark, kYellow, kDark, kYellow, kRed}, "       Blocked"},
        {{64, 64, 64, 16}, {kDark, kDark, kDark, kDark, kDark}, ""}, // byte 4 is no flag character
        {{64, 64 + 4, 64, 0}, {kDark, kDark, kDark, kYellow, kDark}, "       Blocked"},
        {{64, 64, 64 + 1, 0}, {kDark, kDark, kDark, kDark, kRed}, ""},
        {{64, 64, 64 + 2, 0}, {kDark, kDark, kDark, kDark, kDark}, ""}, // "Converter Type" is no fault
        {{64, 64, 64, 64 + 32}, {kDark, kDark, kDark, kDark, kRed}, ""},
    };
    state().agcRaw = 300;
    state().threshold = 250;
    for (const Case& c : cases) {
        state().acuStatus = c.acu;
        front.statusDecoded();
        const auto got = colours(front);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(got[i], c.leds[i]) << "LED " << i << " bytes " << c.acu[0] << "," << c.acu[1] << ","
                                         << c.acu[2] << "," << c.acu[3];
        }
        if (!c.caption.isEmpty()) {
            EXPECT_EQ(front.leds()[L::Condition].caption, c.caption);
        }
    }
}

TEST_F(FrontPanelStatus, TrackingLedBlinksOneReplyInFourOnAWeakSignal)
{
    state().acuStatus = {72, 64, 64, 0};
    state().threshold = 250;
    state().agcRaw = 300;
    front.statusDecoded();
    QList<bool> lit{front.leds()[L::Tracking].lit};
    state().agcRaw = 250; // at the threshold counts as weak
    for (int i = 0; i < 8; ++i) {
        front.statusDecoded();
        lit << front.leds()[L::Tracking].lit;
    }
    EXPECT_EQ(lit, (QList<bool>{true, false, false, false, true, false, false, false, true}));
    state().acuStatus[0] = 64;
    front.statusDecoded();
    EXPECT_FALSE(front.leds()[L::Tracking].lit);
}

TEST_F(FrontPanelStatus, PcuStatusLightsNutaraAndSatRef)
{
    struct Case {
        std::array<int, 4> pcu;
        quint32 nutara, satRef, error;
    };
    const std::vector<Case> cases{
        {{64, 64, 64, 64}, kDark, kDark, kDark},
        {{64 + 8, 64, 64, 64}, kGreen, kDark, kDark},
        {{64 + 16, 64, 64, 64}, kDark, kYellow, kDark},
        {{64 + 16, 64 + 16, 64, 64}, kDark, kGreen, kDark},
        {{64, 64 + 16, 64, 64}, kDark, kGreen, kDark},
        {{64, 64, 64 + 4, 64}, kDark, kDark, kRed}, // ACU byte 4 absent: PCU byte 3 counts
        {{64, 64, 64, 64 + 1}, kDark, kDark, kRed},
        {{64, 64, 64, 64 + 2}, kDark, kDark, kDark}, // "Reserved"
    };
    for (const Case& c : cases) {
        state().pcuStatus = c.pcu;
        front.pcuStatusDecoded();
        const auto got = colours(front);
        EXPECT_EQ(got[L::Nutara], c.nutara) << c.pcu[0] << "," << c.pcu[1];
        EXPECT_EQ(got[L::SatRef], c.satRef) << c.pcu[0] << "," << c.pcu[1];
        EXPECT_EQ(got[L::Error], c.error) << c.pcu[2] << "," << c.pcu[3];
    }
}

TEST_F(FrontPanelStatus, LedsFollowTheUnitOnTheWire)
{
    unit.replies["?   S"] = "SXP@@"; // Nutara (bit 3) and Sat Ref active (byte 2 bit 4)
    int changes = 0;
    QObject::connect(&front, &FrontPanelLogic::ledsChanged, [&] { ++changes; });
    session.start();
    EXPECT_FALSE(front.ledsShown());
    rt.advance(600);
    EXPECT_TRUE(front.ledsShown());
    rt.advance(200 * 21 + 100); // one ANTENNA cycle: "u" before the second "S", "?   S" in it
    EXPECT_EQ(colours(front),
              (std::array<quint32, L::kCount>{kGreen, kDark, kDark, kDark, kDark, kGreen, kGreen}));
    EXPECT_EQ(front.leds()[L::Condition].caption, "       Initializing");
    EXPECT_EQ(front.leds()[L::SatRef].caption, "       Sat Ref");
    EXPECT_GE(changes, 3);
}

TEST_F(FrontPanelStatus, BitWindowsAreTickedFromTheFlagsWhenOpened)
{
    using statusbits::Window;
    const auto ticked = [](const statusbits::BitWindow& w) {
        QStringList out;
        for (const auto& item : w.items)
            if (item.checked)
                out << (item.subItem ? "  " : "") + item.caption;
        return out;
    };
    session.start();
    state().acuStatus = {64 + 8 + 1, 64 + 32 + 2, 64 + 16 + 1, 0};
    state().pcuStatus = {64 + 16, 64 + 4, 64 + 32 + 1, 64 + 32};

    const statusbits::BitWindow acu = front.bitWindow(Window::Acu);
    EXPECT_EQ(acu.title, "Display ACU");
    EXPECT_EQ(acu.items.size(), 13);
    EXPECT_EQ(ticked(acu), (QStringList{"Tracking", "PCU DI2 (Tan Acc Corr)", "AZ Target", "Initializing"}));

    const statusbits::BitWindow pcu = front.bitWindow(Window::Pcu);
    EXPECT_EQ(pcu.title, "Display PCU");
    EXPECT_EQ(pcu.items.size(), 27);
    EXPECT_EQ(ticked(pcu), (QStringList{"Sat Reference Enabled", "PCU Error", "Critical Error", "Cl Torq Lim",
                                        "Motor Driver Error"}));

    // ACU byte 4 absent: the servo group comes from PCU byte 3.
    statusbits::BitWindow error = front.bitWindow(Window::Error);
    EXPECT_EQ(error.title, "Display Error");
    EXPECT_EQ(error.items.first().caption, "Reset Error Bits");
    EXPECT_TRUE(error.items.first().isDefault);
    EXPECT_EQ(ticked(error), (QStringList{"Conscan / Nutara", "Gyro Read", "Critical Error",
                                          "  Motor Driver Error", "CL Servo Limit"}));

    state().acuStatus[3] = 64 + 4;
    error = front.bitWindow(Window::Error);
    EXPECT_EQ(ticked(error),
              (QStringList{"Conscan / Nutara", "Gyro Read", "  Motor Driver Error", "AZ Servo Limit"}));
    // A window is a snapshot: it does not follow later replies.
    state().acuStatus[2] = 64;
    EXPECT_EQ(ticked(error).size(), 4);

    EXPECT_TRUE(front.resetErrorBits());
    EXPECT_EQ(poll().longCommand(), "&    \r\n?   S\r\n");
}

TEST_F(FrontPanelStatus, SystemTypeBitFlipWritesTheWholeValueAndHoldsThePageForEightReplies)
{
    unit.replies["mN128"] = "mN128";
    int menuChanges = 0;
    QObject::connect(&front, &FrontPanelLogic::bitMenusChanged, [&] { ++menuChanges; });
    session.start();
    front.pressScreenKey(Screen::Mode); // reads I, N and P at 800, 1000, 1200
    rt.advance(1400);
    const std::array<bool, 8> only128And2{true, false, false, false, false, false, true, false};
    EXPECT_EQ(front.systemTypeMenu().checked, only128And2);
    EXPECT_EQ(front.systemTypeMenu().caption, "System Type    130");
    const std::array<bool, 8> only64And2{false, true, false, false, false, false, true, false};
    EXPECT_EQ(front.polangTypeMenu().checked, only64And2);
    EXPECT_EQ(statusbits::systemTypeItems()[6].caption, QByteArray("2,    Ext Modem Lock"));

    front.chooseShortcut(144);
    rt.advance(1000); // the page has shown 130 and settled
    ASSERT_TRUE(front.flipSystemTypeBit(2));
    EXPECT_EQ(poll().longCommand(), "mN128\r\n");
    EXPECT_EQ(state().settleCounter, 8);
    EXPECT_EQ(front.systemTypeMenu().checked,
              (std::array<bool, 8>{true, false, false, false, false, false, false, false}));
    EXPECT_EQ(front.systemTypeMenu().caption, "System Type    128");
    EXPECT_EQ(lines()[2], "System Type    130");
    rt.advance(200);
    EXPECT_EQ(sentAfter(2400), (std::vector<Sent>{{2600, "mN128\r\n"}}));
    // The next reply (to the "u" of 2400) already shows the value written.
    EXPECT_EQ(lines()[2], "System Type    128");
    EXPECT_EQ(state().settleCounter, 7);
    EXPECT_GE(menuChanges, 2);

    ASSERT_TRUE(front.flipPolangTypeBit(1));
    EXPECT_EQ(poll().longCommand(), "mP067\r\n");
    // A value beyond three digits cannot be written back.
    state().parameters['N'] = 999;
    poll().setLongCommand({});
    EXPECT_FALSE(front.flipSystemTypeBit(16));
    EXPECT_TRUE(poll().longCommand().isEmpty());
    EXPECT_EQ(state().parameter('N'), 999);
}

TEST_F(FrontPanelStatus, StatusLabelsAnswerOnceTheStartTimerHasRun)
{
    QList<statusbits::Window> requested;
    QObject::connect(&front, &FrontPanelLogic::bitWindowRequested,
                     [&](statusbits::Window w) { requested << w; });
    session.start();
    EXPECT_FALSE(front.clickStatusLabel(FrontPanelLogic::Label::Nutara));
    EXPECT_TRUE(poll().longCommand().isEmpty());
    rt.advance(600);
    EXPECT_TRUE(front.clickStatusLabel(FrontPanelLogic::Label::Nutara));
    EXPECT_EQ(poll().longCommand(), "^0067\r\n");
    EXPECT_TRUE(front.clickStatusLabel(FrontPanelLogic::Label::Tracking));
    EXPECT_EQ(poll().longCommand(), "C");
    EXPECT_TRUE(front.clickStatusLabel(FrontPanelLogic::Label::Error));
    EXPECT_EQ(requested, QList<statusbits::Window>{statusbits::Window::Error});
    EXPECT_TRUE(front.clickStatusLabel(FrontPanelLogic::Label::PortStatus));
    EXPECT_FALSE(link().portOpen());
}

} // namespace
