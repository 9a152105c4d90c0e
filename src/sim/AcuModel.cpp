#include "AcuModel.h"

#include "AcuBootModules.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcSimAcu, "qvrsim.acu", QtWarningMsg)

AcuModel::AcuModel(Runtime& runtime, quint64 seed, QObject* parent)
    : AcuModel(runtime, std::make_shared<AcuUnit>(runtime, seed), seed, parent)
{
}

AcuModel::AcuModel(Runtime& runtime, std::shared_ptr<AcuUnit> unit, quint64 seed, QObject* parent)
    : UnitLine(runtime, seed, parent), m_unit(std::move(unit)), m_vocabulary(AcuVocabulary::standard()),
      m_assembler([this](quint8 byte) { return m_vocabulary.isSingle(byte); })
{
}

AcuModel::~AcuModel() = default;

void AcuModel::received(const QByteArray& bytes)
{
    for (const QByteArray& command : m_assembler.feed(bytes))
        if (!act(command, -1, 0))
            return;
}

void AcuModel::receivedOnWire(const QByteArray& bytes, const WireTiming& timing)
{
    for (const CommandAssembler::Command& command : m_assembler.feedOnWire(bytes, timing))
        if (!act(command.text, command.quietNs, command.earlyNs))
            return;
}

bool AcuModel::act(const QByteArray& command, qint64 quietNs, qint64 earlyNs)
{
    // A hang-up after an earlier command of the same chunk ends the conversation.
    if (hasHungUp())
        return false;
    qCDebug(lcSimAcu) << "command" << command;
    Q_EMIT commandReceived(command);
    // Pass-through pieces and bootloader commands go to the modules first; what they
    // print goes out as reply lines.
    const AcuBootModules::Outcome boot = m_unit->bootModules().handle(command, quietNs, earlyNs);
    for (const QByteArray& line : boot.lines)
        output().reply(line);
    if (boot.taken)
        return true;
    if (const auto reply = m_vocabulary.respond(command, *m_unit))
        output().reply(*reply);
    return true;
}
