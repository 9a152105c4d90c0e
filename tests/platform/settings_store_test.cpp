#include "SettingsFolder.h"
#include "SettingsStore.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>

#include <unistd.h>

namespace {

QString readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

void writeFile(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}

} // namespace

TEST(IniSettingsStore, WritesOneIniFilePerApplicationWithSectionsAsGroups)
{
    IniSettingsStore store;
    const QString app = "multQVRRemoteIniTest";
    const QString expected = qEnvironmentVariable("XDG_CONFIG_HOME") + "/Vantrel/" + app + ".ini";
    ASSERT_FALSE(qEnvironmentVariable("XDG_CONFIG_HOME").isEmpty());
    EXPECT_EQ(IniSettingsStore::fileName(app), expected);

    store.set(app, "Properties", "Settings1", "9600,N,8,1");
    store.set(app, "Properties", "CommPort1", "1");
    store.set(app, "Colors", "Color1", "65280");
    const QString text = readFile(expected);
    EXPECT_TRUE(text.contains("[Properties]")) << text.toStdString();
    EXPECT_TRUE(text.contains("[Colors]")) << text.toStdString();
    EXPECT_TRUE(text.contains("CommPort1=1")) << text.toStdString();
    EXPECT_TRUE(text.contains("Color1=65280")) << text.toStdString();
    EXPECT_TRUE(text.contains("Settings1=\"9600,N,8,1\"")) << text.toStdString();
    // The section is the group: the key is not mixed into another section.
    EXPECT_TRUE(text.indexOf("Color1") > text.indexOf("[Colors]"));

    EXPECT_EQ(store.get(app, "Properties", "Settings1", "x"), "9600,N,8,1");
    EXPECT_TRUE(store.contains(app, "Properties", "CommPort1"));
    EXPECT_FALSE(store.contains(app, "Colors", "CommPort1"));
    EXPECT_EQ(store.get(app, "Colors", "CommPort1", "dflt"), "dflt");
    EXPECT_EQ(store.get("NoSuchApp", "Properties", "Select", "1"), "1");
}

TEST(IniSettingsStore, AwkwardTextsComeBackUnchanged)
{
    IniSettingsStore store;
    const QString app = "AwkwardTexts";
    const QStringList values = {"",        " Antenna 1 ", "a=b",         "semi;colon",
                                "#hash",   "@at",         "back\\slash", "quote\"d",
                                "Ünïcode", "line\rbreak", "19200,E,7,2", "True"};
    for (int i = 0; i < values.size(); ++i)
        store.set(app, "Properties", QString("Caption%1").arg(i), values[i]);
    IniSettingsStore fresh;
    for (int i = 0; i < values.size(); ++i)
        EXPECT_EQ(fresh.get(app, "Properties", QString("Caption%1").arg(i), "dflt"), values[i]) << i;
}

TEST(IniSettingsStore, HandEditedAndDamagedValuesFallBack)
{
    IniSettingsStore store;
    const QString app = "HandEdited";
    writeFile(IniSettingsStore::fileName(app), "[Properties]\n"
                                               "Settings2=19200,N,8,1\n"
                                               "CommPort1=abc\n"
                                               "CommPort2=70000\n"
                                               "CommPort3= 7 \n"
                                               "Port1=2000.5\n"
                                               "Serial1=maybe\n"
                                               "Serial2=false\n"
                                               "Enabled1=\n");
    // An unquoted list of values is still the text it was.
    EXPECT_EQ(store.get(app, "Properties", "Settings2", ""), "19200,N,8,1");
    EXPECT_EQ(store.getInt16(app, "Properties", "CommPort1", 1), 1);
    EXPECT_EQ(store.getInt16(app, "Properties", "CommPort2", 2), 2);
    EXPECT_EQ(store.getInt16(app, "Properties", "CommPort3", 3), 7);
    EXPECT_EQ(store.getInt16(app, "Properties", "Port1", 2001), 2000);
    EXPECT_EQ(store.getInt16(app, "Properties", "Missing", -5), -5);
    EXPECT_TRUE(store.getBool(app, "Properties", "Serial1", true));
    EXPECT_FALSE(store.getBool(app, "Properties", "Serial1", false));
    EXPECT_FALSE(store.getBool(app, "Properties", "Serial2", true));
    EXPECT_TRUE(store.getBool(app, "Properties", "Enabled1", true));
    EXPECT_TRUE(store.getBool(app, "Properties", "Missing", true));
}

TEST(MemorySettingsStore, KeepsValuesAndRecordsEveryWriteInOrder)
{
    MemorySettingsStore store;
    store.set("A", "Properties", "Select", "2");
    store.set("A", "Properties", "Query", SettingsStore::boolText(true));
    store.set("B", "Properties", "Select", "3");
    store.set("A", "Properties", "Select", "4");
    EXPECT_EQ(store.get("A", "Properties", "Select", "1"), "4");
    EXPECT_EQ(store.get("B", "Properties", "Select", "1"), "3");
    EXPECT_EQ(store.get("A", "Options", "Select", "1"), "1");
    EXPECT_TRUE(store.getBool("A", "Properties", "Query", false));
    EXPECT_FALSE(store.contains("A", "Properties", "Mode"));

    const auto& w = store.writes();
    ASSERT_EQ(w.size(), 4u);
    QStringList seen;
    for (const auto& x : w)
        seen << x.app + "/" + x.section + "/" + x.key + "=" + x.value;
    EXPECT_EQ(seen, (QStringList{"A/Properties/Select=2", "A/Properties/Query=True", "B/Properties/Select=3",
                                 "A/Properties/Select=4"}));
    store.clearWrites();
    EXPECT_TRUE(store.writes().empty());
    EXPECT_EQ(store.get("A", "Properties", "Select", "1"), "4");

    store.set("A", "Properties", "CommPort1", "x1");
    EXPECT_EQ(store.getInt16("A", "Properties", "CommPort1", 1), 1);
}

namespace {

struct Failures {
    explicit Failures(SettingsStore& store)
    {
        store.onSaveFailure(
            [this](const SettingsStore::SaveFailure& f) { texts << SettingsStore::saveFailureText(f); });
    }
    QStringList texts;
};

} // namespace

TEST(IniSettingsStoreFailures, AFileThatCannotBeWrittenIsReportedOnceWithPathAndCause)
{
    SettingsFolder folder;
    ASSERT_TRUE(folder.blockFile("multQVRRemote"));
    IniSettingsStore store;
    Failures failures(store);
    store.set("multQVRRemote", "Properties", "Query", "True");
    store.set("multQVRRemote", "Properties", "Mode", "DVB");
    EXPECT_EQ(failures.texts,
              QStringList{"Error,\rSettings could not be saved to " + folder.path() +
                          "/Vantrel/multQVRRemote.ini\rA folder of that name is in the way."});
}

TEST(IniSettingsStoreFailures, AFolderThatCannotBeCreatedIsNamed)
{
    SettingsFolder folder;
    // The settings root is a plain file, so its "Vantrel" folder cannot be made.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path() + "/root");
    writeFile(folder.path() + "/root", "not a folder");
    IniSettingsStore store;
    Failures failures(store);
    store.set("QuillanUniv1", "Properties", "Direct", "DATA");
    EXPECT_EQ(failures.texts, QStringList{"Error,\rSettings could not be saved to " + folder.path() +
                                          "/root/Vantrel/QuillanUniv1.ini\rThe folder " + folder.path() +
                                          "/root/Vantrel cannot be created."});
}

TEST(IniSettingsStoreFailures, AReadOnlyFolderIsNamed)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "folder permissions do not apply to root";
    SettingsFolder folder;
    const QString vantrel = folder.path() + "/Vantrel";
    ASSERT_TRUE(QDir().mkpath(vantrel));
    QFile::setPermissions(vantrel, QFile::ReadOwner | QFile::ExeOwner);
    IniSettingsStore store;
    Failures failures(store);
    store.set("multQVRRemote", "Properties", "Select", "2");
    QFile::setPermissions(vantrel, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(failures.texts, QStringList{"Error,\rSettings could not be saved to " + vantrel +
                                          "/multQVRRemote.ini\rThe folder " + vantrel + " is read-only."});
}

TEST(IniSettingsStoreFailures, WritesThatLandSayNothing)
{
    SettingsFolder folder;
    IniSettingsStore store;
    Failures failures(store);
    store.set("multQVRRemote", "Properties", "Select", "2");
    EXPECT_TRUE(failures.texts.isEmpty());
    EXPECT_EQ(IniSettingsStore().get("multQVRRemote", "Properties", "Select", "1"), "2");
}
