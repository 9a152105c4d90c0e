#include "ParameterPages.h"

#include "CommandVocabulary.h"
#include "NumberFormat.h"
#include "PanelState.h"

namespace pages {

namespace {
using K = ParameterPage::Kind;

// clang-format off
constexpr ParameterPage kPages[] = {
    {133, K::TwoByte,  "El Trim       ",  'A', 'B', nullptr},
    {134, K::TwoByte,  "Az Trim       ",  'C', 'D', nullptr},
    {135, K::Single,   "Auto Thrs      ", 'F', 0,   nullptr},
    {136, K::StepSize, "El Step Size   ", 'G', 'Y', "El Sensitivity "},
    {137, K::StepSize, "Az Step Size   ", 'H', 'X', "Az Sensitivity "},
    {138, K::Single,   "Step Integral  ", 'I', 0,   nullptr},
    {139, K::Single,   "Search Inc     ", 'J', 0,   nullptr},
    {140, K::Single,   "Search Limit   ", 'K', 0,   nullptr},
    {141, K::Single,   "Search Delay   ", 'L', 0,   nullptr},
    {142, K::Single,   "Sweep Inc      ", 'M', 0,   nullptr},
    {143, K::Blank,    "",                0,   0,   nullptr},
    {144, K::Single,   "System Type    ", 'N', 0,   nullptr},
    {145, K::Single,   "Gyro Type      ", 'O', 0,   nullptr},
    {146, K::Single,   "Polang Type    ", 'P', 0,   nullptr},
    {147, K::Single,   "Pol Offset     ", 'Q', 0,   nullptr},
    {148, K::Single,   "Pol Scale      ", 'R', 0,   nullptr},
    {149, K::Single,   "Tx Polarity    ", 'W', 0,   nullptr},
    {150, K::Blank,    "",                0,   0,   nullptr},
    {151, K::Single,   "Track Display  ", vocab::kTrackDisplay, 0, nullptr},
    {152, K::TwoByte,  "Az Limit 1     ", 'S', 'T', nullptr},
    {153, K::TwoByte,  "Az Limit 2     ", 'U', 'V', nullptr},
    {154, K::Single,   "El Limit 12    ", vocab::kElLimit12, 0, nullptr},
    {155, K::TwoByte,  "Az Limit 3     ", 'Y', 'Z', nullptr},
    {156, K::TwoByte,  "Az Limit 4     ", '[', '\\', nullptr},
    {157, K::Single,   "El Limit 34    ", vocab::kElLimit34, 0, nullptr},
    {158, K::TwoByte,  "Az Limit 5     ", ']', '^', nullptr},
    {159, K::TwoByte,  "Az Limit 6     ", '_', '`', nullptr},
    {160, K::Single,   "El Limit 56    ", vocab::kElLimit56, 0, nullptr},
};
// clang-format on

// Parameter I (Step Integral) 0 means the unit tracks by sensitivity, not by steps.
constexpr quint8 kStepIntegral = 'I';
} // namespace

std::span<const ParameterPage> parameterPages()
{
    return kPages;
}

const ParameterPage* parameterPage(int page)
{
    if (page < kFirstParameterPage || page > kLastParameterPage)
        return nullptr;
    return &kPages[page - kFirstParameterPage];
}

QByteArray readLetters(const ParameterPage& page)
{
    switch (page.kind) {
    case K::Blank:
        return {};
    case K::Single:
        return QByteArray(1, char(page.first));
    case K::TwoByte:
        return QByteArray(1, char(page.first)) + char(page.second);
    case K::StepSize:
        return QByteArray(1, char(kStepIntegral)) + char(page.first);
    }
    return {};
}

QByteArray pollSequence(const ParameterPage& page)
{
    QByteArray out;
    for (char letter : readLetters(page))
        out += "!m" + QByteArray(1, letter) + vocab::kReadValue.toByteArray();
    return out + "SPHu";
}

int value(const ParameterPage& page, const PanelState& state)
{
    switch (page.kind) {
    case K::Blank:
        return 0;
    case K::Single:
    case K::StepSize:
        return state.parameter(page.first);
    case K::TwoByte:
        return qint16(quint16(state.parameter(page.first) * 256 + state.parameter(page.second)));
    }
    return 0;
}

QString valueLine(const ParameterPage& page, const PanelState& state)
{
    switch (page.kind) {
    case K::Blank:
        return {};
    case K::Single:
        return QLatin1String(page.name) + numfmt::afmtINT3(value(page, state));
    case K::TwoByte:
        return QLatin1String(page.name) + QString::number(value(page, state));
    case K::StepSize: {
        const char* name = state.parameter(kStepIntegral) != 0 ? page.name : page.otherName;
        return QLatin1String(name) + numfmt::afmtINT3(value(page, state));
    }
    }
    return {};
}

} // namespace pages
