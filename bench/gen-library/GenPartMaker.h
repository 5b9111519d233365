#pragma once

#include "GenPart.h"
#include "GenRandom.h"

// Makes plausible component definitions of the usual families (logic gates, passives, op-amps,
// ICs, connectors, regulators, transistors) from a deterministic random sequence.
class GenPartMaker {
public:
    enum class Family { Gate, Passive, OpAmp, Ic, Connector, Regulator, Transistor };

    explicit GenPartMaker(GenRandom& rng) : m_rng(rng) {}

    // The mix of a typical company library.
    Family pickFamily();
    // `serial` makes the name unique.
    GenPart make(Family family, int serial);

private:
    GenPart makeGate(int serial);
    GenPart makePassive(int serial);
    GenPart makeOpAmp(int serial);
    GenPart makeIc(int serial);
    GenPart makeConnector(int serial);
    GenPart makeRegulator(int serial);
    GenPart makeTransistor(int serial);

    void addIcPins(GenPart& part, int pinCount, bool quad);
    void addIcPattern(GenPart& part);
    void addBitmap(GenPart& part);
    void addMaker(GenPart& part, const char* pkg);
    std::string icPinName(int index);

    GenRandom& m_rng;
};
