#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The ACU's command language as data: the command strings the panel sends, how they go
// on the wire, and the shape of each reply (key letter, the window it must stand in,
// field offsets and widths, sync error code). The panel's parser checks replies against
// these tables and the simulated units shape their replies from the same tables, so one
// change of a shape reaches both.
//
// Positions count from 1, as the unit's documents count them: "position 1 to 3" is
// the first three characters of the line. Field offsets are relative to the position k
// of the key in the line (offset 1 is the character after a one-letter key).
namespace vocab {

inline constexpr char kCr = '\r';
inline constexpr QByteArrayView kCrLf = "\r\n";

// ACU single-character commands (written without a terminator).
inline constexpr char kStatus = 'S';
inline constexpr char kPosition = 'P';
inline constexpr char kHeading = 'H';
inline constexpr char kGps = '@';
inline constexpr char kAuxiliary = 'u';
inline constexpr char kReceiver = 'q';
inline constexpr char kLevel = '%';
inline constexpr char kVersion = 'V';
inline constexpr char kTrackingOn = 'C';
inline constexpr char kTrackingOff = 'D';

// Five-character ACU commands (written with CR LF).
inline constexpr QByteArrayView kFindSatellite = "F1234";
inline constexpr QByteArrayView kResetAcuErrors = "&    ";
inline constexpr QByteArrayView kSaveAcu = "\\0087";
inline constexpr QByteArrayView kRebootAcu = "\\0090";
inline constexpr QByteArrayView kLockPort = "[L   ";
inline constexpr QByteArrayView kUnlockPort = "[M   ";
inline constexpr QByteArrayView kCommIfVersion = "[V   ";
// The DVB receiver's version is read in two steps: "wV   " (no reply), then "w!123" on the
// next poll tick, which is answered.
inline constexpr QByteArrayView kDvbVersion = "wV   ";
inline constexpr QByteArrayView kDvbVersionFollowUp = "w!123";
inline constexpr QByteArrayView kNoReplyPrefix = "wV";

// Receiver set command codes ("c" + four digits).
inline constexpr int kBandA = 30;
inline constexpr int kBandB = 31;
inline constexpr int kToneOff = 32;
inline constexpr int kToneOn = 33;
inline constexpr int kLnb13V = 34;
inline constexpr int kLnb18V = 35;

// PCU pass-through: "?" + three spaces + a letter.
inline constexpr QByteArrayView kPcuPrefix = "?   ";
inline constexpr char kPcuStatus = 'S';
inline constexpr char kPcuVersion = 'V';
inline constexpr char kPcuReference = 'v';
inline constexpr char kPcuRate = 'w';
inline constexpr char kPcuLoop = 'x';
inline constexpr char kPcuTorque = 'y';
inline constexpr char kPcuQualifiedGps = '@';
inline constexpr char kPcuRawGps = '?';
inline constexpr char kPcuFineGps = '=';
inline constexpr char kPcuResetErrors = '&';
// The position of the PCU letter in a pass-through command (1-based).
inline constexpr int kPcuLetterPosition = 5;

// PCU mode commands ("^" + four digits).
inline constexpr QByteArrayView kNutaraToggle = "^0067";
inline constexpr QByteArrayView kSatReferenceMode = "^0071";
inline constexpr QByteArrayView kSlowScanMode = "^0070";
inline constexpr QByteArrayView kTiltTestMode = "^0084";
inline constexpr QByteArrayView kNormalMode = "^0000";
inline constexpr QByteArrayView kSavePcu = "^0087";
inline constexpr QByteArrayView kRebootPcu = "^0090";
inline constexpr QByteArrayView kClearAzHfError = "^0082";

// Parameter read and write: "m" + letter + three digits; "999" reads.
inline constexpr char kParameter = 'm';
inline constexpr QByteArrayView kReadValue = "999";

// The parameter letters the panel uses. Codes 129, 134, 135, 136 and 138 travel as single
// bytes of those values.
inline constexpr quint8 kTrackDisplay = 129;
inline constexpr quint8 kElLimit12 = 134;
inline constexpr quint8 kElLimit34 = 135;
inline constexpr quint8 kElLimit56 = 136;
inline constexpr quint8 kSkew = 138;

// The wire form: one character goes as it is, anything longer is followed by CR LF.
QByteArray wireForm(QByteArrayView command);
// "?   " + letter.
QByteArray pcuQuery(char letter);
// "m" + letter + "999" (without terminator).
QByteArray parameterRead(quint8 letter);
// "m" + letter + three digits of value (0..999, without terminator).
QByteArray parameterWrite(quint8 letter, int value);
// True for what the unit takes without a reply line: "C", "D" and anything beginning "wV".
// The text may carry its CR LF.
bool expectsNoReply(QByteArrayView sent);
// True when a character is a known single-character ACU command.
bool isSingleCommand(char c);

// Reply shapes -------------------------------------------------------------------------

// Codes shown as "Status: Sync Error " + code when a reply's shape check fails.
enum SyncError : int {
    SyncNone = 0,
    SyncParameter = 1,
    SyncGps = 2,
    SyncHeading = 3,
    SyncReceiver = 4,
    SyncAuxiliary = 5,
    SyncLevel = 6,
    SyncVersion = 7,
    SyncPosition = 8,
    SyncStatus = 9,
};

// Where a key must be found. The key's first occurrence in the line is taken (as the
// unit's own tools search) and must lie between first and last; last = 0 means anywhere.
struct KeyWindow {
    QByteArrayView key;
    int first;
    int last;
};

// A field: width characters at k + offset.
struct Field {
    int offset;
    int width;
};

// "m" + letter + three digits.
struct ParameterShape {
    static constexpr KeyWindow key{"m", 1, 0};
    static constexpr Field value{2, 3};
    static constexpr int syncError = SyncParameter;
};

// "@": hemisphere letters and tenths of a degree, e.g. " N0377W1222". The key is the
// longitude hemisphere: "E" is tried first, then "W".
struct GpsShape {
    static constexpr KeyWindow east{"E", 6, 8};
    static constexpr KeyWindow west{"W", 6, 8};
    static constexpr Field latHemisphere{-5, 1};
    static constexpr Field latitude{-4, 4};
    static constexpr Field lonHemisphere{0, 1};
    static constexpr Field longitude{1, 4};
    static constexpr int syncError = SyncGps;
};

// "H": relative azimuth and heading in tenths, e.g. "R1234H0456".
struct HeadingShape {
    static constexpr KeyWindow key{"R", 1, 3};
    static constexpr Field relativeAzimuth{1, 4};
    static constexpr Field heading{6, 4};
    static constexpr int syncError = SyncHeading;
};

// "q": receiver frequency group, two four-character fields.
struct ReceiverShape {
    static constexpr KeyWindow key{"Q", 1, 3};
    static constexpr Field first{1, 4};
    static constexpr Field second{6, 4};
    static constexpr int syncError = SyncReceiver;
};

// "u": polarisation; when the line holds a "V" anywhere, also the external AGC and the
// tracking threshold.
struct AuxiliaryShape {
    static constexpr KeyWindow key{"G", 1, 3};
    static constexpr char extendedMarker = 'V';
    static constexpr Field polarisation{1, 4};
    static constexpr Field externalAgc{6, 4};
    static constexpr Field threshold{11, 4};
    static constexpr int syncError = SyncAuxiliary;
};

// "%" and the reply to "c" + frequency: a level line.
struct LevelShape {
    static constexpr KeyWindow key{"L", 1, 3};
    static constexpr Field level{1, 4};
    static constexpr int syncError = SyncLevel;
};

// "V": any line holding "VER" is the version text.
struct VersionShape {
    static constexpr KeyWindow key{"VER", 1, 0};
    static constexpr int syncError = SyncVersion;
};

// "P": elevation, azimuth, cross-level in tenths, e.g. "E0123A1234C0012".
struct PositionShape {
    static constexpr KeyWindow key{"E", 1, 9};
    static constexpr Field elevation{1, 4};
    static constexpr Field azimuth{6, 4};
    static constexpr Field crossLevel{11, 4};
    static constexpr int syncError = SyncPosition;
};

// "S": "S" + status bytes 1..4 + "L" + four AGC characters + one character + the
// extended bytes E1 and E2.
struct StatusShape {
    static constexpr KeyWindow key{"S", 1, 6};
    static constexpr int minAfterKey = 4; // characters that must follow the key
    static constexpr int byte1 = 1, byte2 = 2, byte3 = 3, byte4 = 4;
    static constexpr char agcMarker = 'L';
    static constexpr int agcMarkerOffset = 5;
    static constexpr Field agc{6, 4};
    static constexpr int extended1 = 11, extended2 = 12;
    static constexpr int syncError = SyncStatus;
};

// PCU "?   S": status bytes 1..4; a missing status character counts as "@".
struct PcuStatusShape {
    static constexpr KeyWindow key{"S", 1, 6};
    static constexpr int byte1 = 1;
    static constexpr int byte4MinLineLength = 6;
    static constexpr char missing = '@';
};

// PCU sensor replies ("?   v", "w", "x", "y"): a two-character key in position 1 to 3 and
// three four-character axis fields (CL, LV, AZ). "x" carries hexadecimal fields and the
// pattern phase as a character right after its key.
struct PcuSensorShape {
    static constexpr KeyWindow reference{"v ", 1, 3};
    static constexpr KeyWindow referenceRaw{"V ", 1, 3};
    static constexpr KeyWindow rate{"w ", 1, 3};
    static constexpr KeyWindow loop{"iv", 1, 3};
    static constexpr KeyWindow torque{"tc", 1, 3};
    static constexpr Field cl{3, 4};
    static constexpr Field lv{8, 4};
    static constexpr Field az{13, 4};
    static constexpr Field phase{2, 1};
    static constexpr char phaseZero = '@';
};

// The 1-based position k of the key in the line, or 0 when the key's first occurrence is
// missing or outside its window.
int locateKey(QByteArrayView line, const KeyWindow& window);
// The field's characters, clipped to the line (empty when it lies outside).
QByteArrayView fieldAt(QByteArrayView line, int k, const Field& field);
// The character code at 1-based position pos, or -1 when the line is shorter.
int charAt(QByteArrayView line, int pos);

} // namespace vocab
