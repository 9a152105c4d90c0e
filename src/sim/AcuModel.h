#pragma once

#include "AcuUnit.h"
#include "AcuVocabulary.h"
#include "CommandAssembler.h"
#include "UnitLine.h"

#include <memory>

class Runtime;

// The ACU as the program meets it on one line: its command reader, its vocabulary and its
// transmitter, in front of a unit that may be shared with other lines (a real unit keeps
// its parameters and its antenna whichever port asks).
class AcuModel : public UnitLine {
    Q_OBJECT
public:
    // A unit of its own.
    explicit AcuModel(Runtime& runtime, quint64 seed = 1, QObject* parent = nullptr);
    // A line to a unit shared with other lines; seed drives this line's faults.
    AcuModel(Runtime& runtime, std::shared_ptr<AcuUnit> unit, quint64 seed = 1, QObject* parent = nullptr);
    ~AcuModel() override;

    AcuUnit& unit() { return *m_unit; }
    // The table the commands are answered from; later units add their rows here.
    AcuVocabulary& vocabulary() { return m_vocabulary; }

Q_SIGNALS:
    // Every complete command, as the unit understood it.
    void commandReceived(const QByteArray& command);

protected:
    void received(const QByteArray& bytes) override;
    void receivedOnWire(const QByteArray& bytes, const WireTiming& timing) override;
    void connected() override { m_assembler.reset(); }
    void disconnected() override { m_assembler.reset(); }

private:
    // False once the unit has hung up: the rest of the chunk goes unheard.
    bool act(const QByteArray& command, qint64 quietNs, qint64 earlyNs);

    std::shared_ptr<AcuUnit> m_unit;
    AcuVocabulary m_vocabulary;
    CommandAssembler m_assembler;
};
