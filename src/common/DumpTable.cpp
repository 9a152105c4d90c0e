#include "DumpTable.h"

namespace dump {

namespace {

// The query "m" + code byte + "999" for the unit's parameter slots past "~".
QByteArray mQuery(char code)
{
    return QByteArray("m") + code + QByteArray("999");
}

std::vector<Entry> buildPanelTable()
{
    // Written out row by row: this is the unit's parameter map, and reading it as a table is
    // how a technician checks it against a dump file.
    return {
        {"V", 12, ""},
        {"S", 12, ""},
        {"mA999", 0, "*"},
        {"mB999", 3, "El Trim"},
        {"mC999", 0, "*"},
        {"mD999", 3, "Az Trim"},
        {"mE999", 1, "Mode"},
        {"mF999", 1, "Auto Thrs"},
        {"mG999", 1, "El Step Size"},
        {"mH999", 1, "Az Step Size"},
        {"mI999", 1, "Step Integral"},
        {"mJ999", 1, "Search Inc"},
        {"mK999", 1, "Search Limit"},
        {"mL999", 1, "Search Delay"},
        {"mM999", 1, "Sweep Inc"},
        {"mN999", 1, "System Type"},
        {"mO999", 1, "Gyro Type"},
        {"mP999", 1, "Polang Type"},
        {"mQ999", 1, "Pol Offset"},
        {"mR999", 1, "Pol Scale"},
        {"mS999", 0, "*"},
        {"mT999", 3, "Az Limit1"},
        {"mU999", 0, "*"},
        {"mV999", 3, "Az Limit2"},
        {"mW999", 1, "Pol Tx"},
        {"mX999", 1, "Error Type"},
        {"mY999", 0, "*"},
        {"mZ999", 3, "Az Limit3"},
        {"m[999", 0, "*"},
        {"m\\999", 3, "Az Limit4"},
        {"m]999", 0, "*"},
        {"m^999", 3, "Az Limit5"},
        {"m_999", 0, "*"},
        {"m`999", 3, "Az Limit6"},
        {"ma999", 1, "Init Hdg"},
        {"mb999", 0, "*"},
        {"mc999", 3, "Lat  "},
        {"md999", 5, "Lat N/S"},
        {"me999", 0, "*"},
        {"mf999", 3, "Lon  "},
        {"mg999", 6, "Lon E/W"},
        {"mh999", 0, "*"},
        {"mi999", 3, "Sat Lon"},
        {"mj999", 6, "Sat E/W"},
        {"mk999", 0, "*"},
        {"ml999", 7, "Lcl HDG"},
        {"mm999", 0, "*"},
        {"mn999", 3, "Rmt HDG"},
        {"mo999", 0, "*"},
        {"mp999", 2, "THRS"},
        {"mq999", 0, "*"},
        {"mr999", 2, "Freq/MHz"},
        {"ms999", 0, "*"},
        {"mt999", 8, "Baud/KHz"},
        {"mu999", 1, "FEC/T/V"},
        {"mv999", 1, "Pol Sel"},
        {"mw999", 0, "*"},
        {"mx999", 9, "AGC"},
        {"my999", 0, "*"},
        {"mz999", 9, "Ext AGC"},
        {"m{999", 0, "*"},
        {"m|999", 2, "Rem POL"},
        {"m}999", 0, "*"},
        {"m~999", 4, "Target NID"},
        {mQuery('\x7F'), 1, "DispT"},
        {mQuery('\x80'), 1, "KuDisp"},
        {mQuery('\x81'), 1, "TDisp"},
        {mQuery('\x82'), 0, "*  \t5v Offset"},
        {mQuery('\x83'), 3, "Az Limit7 / 5v Scale"},
        {mQuery('\x84'), 0, "*"},
        {mQuery('\x85'), 3, "Az Limit8"},
        {mQuery('\x86'), 10, "El Limit12"},
        {mQuery('\x87'), 10, "El Limit34"},
        {mQuery('\x88'), 10, "El Limit56"},
        {mQuery('\x89'), 10, "El Limit78"},
        {mQuery('\x8A'), 11, "SatSkew"},
        {"?   V", 12, ""},
        {"?   S", 12, ""},
        {"n0999", 1, "Systyp"},
        {"n1999", 1, "CL Kp"},
        {"n2999", 1, "LV Kp"},
        {"n3999", 1, "AZ Kp"},
        {"n4999", 1, "CL Trim"},
        {"n5999", 1, "LV Trim"},
        {"n6999", 1, "HF Trim"},
        {"n7999", 1, "Nutara"},
        {"n8999", 1, "Scan Rate"},
        {"n9999", 1, "Error"},
        {"n:999", 1, "Sys ID"},
        {"n;999", 1, "Stat1"},
        {"[V   ", 12, ""},
        {"", 999, ""},
    };
}

} // namespace

const std::vector<Entry>& panelTable()
{
    static const std::vector<Entry> table = buildPanelTable();
    return table;
}

int panelCode(int index)
{
    const auto& table = panelTable();
    if (index < 0 || index >= int(table.size()))
        return kEndOfDump;
    return table[size_t(index)].code;
}

QByteArray panelCommandList()
{
    QByteArray list;
    for (const Entry& e : panelTable()) {
        if (e.code == kEndOfDump)
            break;
        if (e.query.size() > 1)
            list += '!';
        list += e.query;
    }
    return list;
}

Entry terminalAcuEntry(int entry)
{
    if (entry < 0 || entry >= kTerminalAcuEntries)
        return {QByteArray(), kEndOfDump, QByteArray()};
    Entry e = panelTable()[size_t(entry + 2)];
    // The terminal dumps the 5 V offset as an ordinary high byte and names only the limit
    // that follows it; the skew is shown as the unit holds it.
    if (entry == 65)
        e.description = "*";
    else if (entry == 66)
        e.description = "Az Limit7";
    else if (entry == 73)
        e.code = kAsReceived;
    return e;
}

QByteArray panelHeader()
{
    return "'ACU Parameter Dump - Legacy Mode\r\n'CMD\tValue\tResult\tDescription\r\n";
}

QByteArray terminalAcuHeader()
{
    return "'ACU Parameter Dump, Legacy Mode\r\n'CMD\tValue\tResult\tDescription\r\n";
}

QByteArray panelCancelLines()
{
    return "'Parameter Dump Canceled\r\n\r\n";
}

} // namespace dump
