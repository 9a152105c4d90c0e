#pragma once

// What can go wrong between a simulated unit and the program, one knob each. All off by
// default; tests switch on the one they are about.
struct SimFaults {
    int dropEvery = 0;            // every Nth reply is never sent (0 = none dropped)
    int delayMs = 0;              // every reply leaves this much later than it would
    int splitBytes = 0;           // replies leave in pieces of at most this many bytes (0 = whole)
    int splitGapMs = 10;          // time between the pieces of a split reply
    bool joinPairs = false;       // two replies leave together as one chunk
    int joinWindowMs = 500;       // a lone reply waits at most this long for its partner
    double garbleProbability = 0; // each byte sent is changed with this probability
    bool omitCr = false;          // replies stream out without their CR
    double promptProbability = 0; // a reply starts with the ">" prompt with this probability
    // The unit hangs up: after its Nth reply on a connection has gone out (0 = never), or
    // this many milliseconds after the connection was made (0 = never). From that moment
    // it neither answers nor sends anything until the next connection.
    int hangUpAfterReplies = 0;
    int hangUpAfterMs = 0;
};
