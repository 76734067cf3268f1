// RunReport: what a device operation did, filled in as it runs, so that the front
// ends can say it when it ends ("8192 bytes written and verified in 7.6 s at
// ClockDelay 5 µs") and estimate the time left while it goes. DeviceRunner keeps
// the report of the last run; the operations fill in their own fields.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

struct TargetState;

enum class RunKind { None, Write, Read, Compare, Erase, Other };

struct RunReport {
    RunKind kind = RunKind::None;
    int32_t total = 0;            // bytes the run set out to handle
    int32_t done = 0;             // bytes handled (written, read or compared)
    int32_t written = 0;          // bytes sent to the chip (Differential: only those that differed)
    int32_t verified = 0;         // bytes read back and found right
    int32_t rewrites = 0;         // bytes written again after a failed read-back
    int32_t startClockDelay = 0;  // µs, the rung the body began at (after the sync)
    int32_t endClockDelay = 0;    // µs, the rung in use when it ended
    bool pagedWrite = false;      // a write pass, then a separate verify pass
    bool verifyPass = false;      // the paged write has reached its verify pass
    bool cancelled = false;
    bool completed = false;  // the body ran to its end (not cancelled, not failed)
    qint64 elapsedMs = 0;    // from the enable to the release

    // Compare: the differing bytes and the first of them.
    int32_t differences = 0;
    int32_t firstDifference = -1;  // address, -1 for none
    uint8_t chipValue = 0;
    uint8_t fileValue = 0;
    // Compare and read to memory: the chip's bytes as read.
    QByteArray chipBytes;

    bool hasDifference() const { return firstDifference >= 0; }
};

// How many rungs of the timing ladder lie between two clock delays (0 when either is
// not on the ladder).
int rungsBetween(int32_t fromClockDelay, int32_t toClockDelay);

// The run's summary in one line; empty for a run that did nothing worth saying.
QString runSummaryText(const RunReport& report);
// "first difference at 0x0040: chip FF, file 0C"; empty without one.
QString firstDifferenceText(const RunReport& report);
// One line for scripts: "result: command=write outcome=done bytes=8192 total=8192 ...".
QString runResultLine(const RunReport& report, const QString& command, const QString& outcome, int exitStatus);

// Seconds a running operation still needs for the bytes it has left: the waits the
// chip's delays and the rung in use mandate, or what the run has taken so far per
// byte when that is more (the line calls cost time too). -1 when unknown.
double secondsLeft(const RunReport& report, const TargetState& target, int32_t clockDelay, int32_t done, int32_t total,
                   qint64 elapsedMs);
// "7.6 s", "1:05"
QString durationText(double seconds);
