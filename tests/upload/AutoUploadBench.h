#pragma once

// A unit at the end of a simulated line at the module's speed and the window's upload
// objects, in virtual time: the far end of every Auto Upload scenario.
#include "AutoUpload.h"
#include "ManualUpload.h"
#include "ModuleSelection.h"
#include "SRecordBuilder.h"

#include <AcuBootModules.h>
#include <AcuModel.h>
#include <AcuUnit.h>
#include <ModuleUnit.h>
#include <Prompter.h>
#include <SettingsStore.h>
#include <SimByteLink.h>
#include <SimRuntime.h>
#include <SimUsbAttachment.h>
#include <TerminalScreen.h>
#include <TerminalSession.h>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

struct AutoBench {
    AutoBench(Module module, std::optional<BootTarget> boardTarget = std::nullopt, quint64 seed = 5)
    {
        if (boardTarget) {
            board = std::make_unique<ModuleUnit>(rt, *boardTarget, seed);
            serial.attachPeer(board.get());
            usb = std::make_unique<SimUsbAttachment>(*board, serial);
        } else {
            acu = std::make_unique<AcuModel>(rt, seed);
            serial.attachPeer(acu.get());
        }
        session = std::make_unique<TerminalSession>(rt, prompter, store, serial, tcp, 1);
        selection = std::make_unique<ModuleSelection>(*session);
        manual = std::make_unique<ManualUpload>(*session, *selection);
        autoUpload = std::make_unique<AutoUpload>(*session, *selection, *manual);
        QObject::connect(&session->screen(), &TerminalScreen::textAppended,
                         [this](const QString& text) { shown += text; });
        selection->select(module);
        serial.setBaud(ModuleTable::row(module).speed);
        session->start();
        shown.clear();
    }

    BootModule& acuBoot() { return acu->unit().bootModules().acu(); }
    BootModule& behind(BootTarget t) { return acu->unit().bootModules().module(t); }

    // An S-record file of size bytes at base whose data carries the version text, ending
    // with the given start address.
    QString firmware(quint32 base, int size, const QByteArray& version, quint16 start)
    {
        image = srec::pattern(size, int(base));
        image.replace(16, version.size(), version);
        QList<QByteArray> lines{srec::header()};
        lines += srec::image(image, base, 16);
        lines << srec::end(start);
        recordCount = int(lines.size()) - 2;
        const QString path = dir.filePath(QStringLiteral("fw%1.s19").arg(++files));
        EXPECT_TRUE(srec::write(path, lines));
        return path;
    }
    QString binary(const QByteArray& bytes)
    {
        const QString path = dir.filePath(QStringLiteral("771206_SLCD_%1.bin").arg(++files));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        return path;
    }
    // What the flash holds, from its lowest address.
    static QByteArray stored(const BootModule& m) { return m.flash().span(); }

    UploadJob run(const QString& path)
    {
        prompter.fileNames << path;
        const UploadJob job = autoUpload->run();
        rt.advance(500);
        return job;
    }
    QByteArray wire() const
    {
        QByteArray out;
        for (const auto& r : serial.transcript())
            if (r.direction == SimByteLink::Direction::ToUnit)
                out += r.bytes;
        return out;
    }
    // The Cancel button, pressed after ms of virtual time.
    void cancelAfter(int ms)
    {
        rt.singleShot(ms, session.get(), [this] { session->requestCancel(); });
    }

    SimRuntime rt;
    ScriptedPrompter prompter;
    MemorySettingsStore store;
    QTemporaryDir dir;
    std::unique_ptr<AcuModel> acu;
    std::unique_ptr<ModuleUnit> board;
    SimByteLink serial{rt, ByteLink::Kind::Serial};
    SimByteLink tcp{rt, ByteLink::Kind::Tcp};
    std::unique_ptr<SimUsbAttachment> usb;
    std::unique_ptr<TerminalSession> session;
    std::unique_ptr<ModuleSelection> selection;
    std::unique_ptr<ManualUpload> manual;
    std::unique_ptr<AutoUpload> autoUpload;
    QString shown;
    QByteArray image;
    int recordCount = 0;
    int files = 0;
};

