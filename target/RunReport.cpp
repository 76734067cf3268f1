// The run summary, the line for scripts, and the time-left estimate.
#include "target/RunReport.h"

#include <algorithm>
#include <array>

#include "target/TargetState.h"
#include "view/Strings.h"

namespace {

constexpr std::array<int32_t, 6> kRungs = {5, 7, 25, 205, 2005, 20000};

int rungIndex(int32_t clockDelay)
{
    const auto it = std::find(kRungs.begin(), kRungs.end(), clockDelay);
    return it == kRungs.end() ? -1 : static_cast<int>(it - kRungs.begin());
}

QString str(const char* utf8) { return QString::fromUtf8(utf8); }

QString seconds(qint64 ms) { return QString::number(ms / 1000.0, 'f', 1); }

// "8192 bytes" or, for a run that stopped early, "3845 of 8192 bytes".
QString byteCount(const RunReport& r)
{
    if (r.done < r.total)
        return str(Str::kSummaryPartOf).arg(r.done).arg(r.total);
    return str(Str::kSummaryBytes).arg(r.done);
}

QString writeSummary(const RunReport& r, const QString& timing)
{
    QString text;
    if (r.written < r.done)  // Differential: most bytes were already right
        text = str(Str::kSummaryChecked).arg(byteCount(r)).arg(r.written);
    else if (r.verified >= r.written)
        text = str(Str::kSummaryWrittenVerified).arg(byteCount(r));
    else
        text = str(Str::kSummaryWrittenSomeVerified).arg(byteCount(r)).arg(r.verified);
    text += timing;
    if (r.rewrites > 0) {
        const int rungs = rungsBetween(r.startClockDelay, r.endClockDelay);
        text += rungs == 1 ? str(Str::kSummaryRewritesOneRung).arg(r.rewrites)
            : rungs > 1    ? str(Str::kSummaryRewritesRungs).arg(r.rewrites).arg(rungs)
                           : str(Str::kSummaryRewrites).arg(r.rewrites);
    }
    return text;
}

double microsecondsFor(const IspInstruction& instruction, int32_t clockDelay)
{
    return instruction.length() * 8.0 * 2.0 * clockDelay;
}

// The waits one byte of the current pass mandates, in µs.
double mandatedPerByte(const RunReport& r, const TargetState& target, int32_t clockDelay)
{
    const MemorySpec* memory = target.selectedMemory();
    if (!memory)
        return 0;
    const double read = microsecondsFor(memory->read, clockDelay);
    if (r.kind != RunKind::Write || r.verifyPass)
        return read;
    const double writeDelayUs = 1000.0 * (memory->writeDelay >= 0 ? memory->writeDelay : target.writeDelay);
    if (memory->paged()) {
        const double commit = microsecondsFor(memory->commitPage, clockDelay) + writeDelayUs;
        return microsecondsFor(memory->loadPage, clockDelay) + commit / std::max(memory->pageBytes, 1);
    }
    return microsecondsFor(memory->write, clockDelay) + writeDelayUs + read;
}

}  // namespace

int rungsBetween(int32_t fromClockDelay, int32_t toClockDelay)
{
    const int from = rungIndex(fromClockDelay);
    const int to = rungIndex(toClockDelay);
    return from < 0 || to < 0 ? 0 : to - from;
}

QString runSummaryText(const RunReport& r)
{
    const QString timing = str(Str::kSummaryTiming).arg(seconds(r.elapsedMs)).arg(r.startClockDelay);
    switch (r.kind) {
    case RunKind::Write: return writeSummary(r, timing);
    case RunKind::Read: return str(Str::kSummaryRead).arg(byteCount(r)) + timing;
    case RunKind::Compare: {
        QString text = str(Str::kSummaryCompared).arg(byteCount(r)) + timing;
        if (r.hasDifference())
            text += QStringLiteral("; ") + firstDifferenceText(r);
        return text;
    }
    case RunKind::Erase: return str(Str::kSummaryErased).arg(seconds(r.elapsedMs));
    case RunKind::None:
    case RunKind::Other: break;
    }
    return {};
}

QString firstDifferenceText(const RunReport& r)
{
    if (!r.hasDifference())
        return {};
    const auto hex = [](uint32_t value, int digits) {
        return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
    };
    return str(Str::kFirstDifference)
        .arg(QStringLiteral("0x") + hex(static_cast<uint32_t>(r.firstDifference), 4), hex(r.chipValue, 2),
             hex(r.fileValue, 2));
}

QString runResultLine(const RunReport& r, const QString& command, const QString& outcome, int exitStatus)
{
    QString line = QStringLiteral("result: command=%1 outcome=%2 exit=%3").arg(command, outcome).arg(exitStatus);
    if (r.kind == RunKind::None)
        return line;
    line += QStringLiteral(" bytes=%1 total=%2 seconds=%3 clock-delay-us=%4")
                .arg(r.done)
                .arg(r.total)
                .arg(QString::number(r.elapsedMs / 1000.0, 'f', 3))
                .arg(r.startClockDelay);
    if (r.kind == RunKind::Write)
        line += QStringLiteral(" written=%1 verified=%2 rewrites=%3 end-clock-delay-us=%4")
                    .arg(r.written)
                    .arg(r.verified)
                    .arg(r.rewrites)
                    .arg(r.endClockDelay);
    if (r.kind == RunKind::Compare) {
        line += QStringLiteral(" differences=%1").arg(r.differences);
        if (r.hasDifference())
            line += QStringLiteral(" first-difference=0x%1 chip=%2 file=%3")
                        .arg(r.firstDifference, 4, 16, QLatin1Char('0'))
                        .arg(r.chipValue, 2, 16, QLatin1Char('0'))
                        .arg(r.fileValue, 2, 16, QLatin1Char('0'));
    }
    return line;
}

double secondsLeft(const RunReport& r, const TargetState& target, int32_t clockDelay, int32_t done, int32_t total,
                   qint64 elapsedMs)
{
    if (total <= 0 || done < 0 || done > total)
        return -1;
    const int32_t left = total - done;
    double perByteUs = mandatedPerByte(r, target, clockDelay);
    // A paged write still has its verify pass to come.
    double laterPassUs = 0;
    if (r.kind == RunKind::Write && r.pagedWrite && !r.verifyPass) {
        if (const MemorySpec* memory = target.selectedMemory())
            laterPassUs = total * microsecondsFor(memory->read, clockDelay);
    }
    if (done > 0 && elapsedMs > 0 && !r.verifyPass)
        perByteUs = std::max(perByteUs, elapsedMs * 1000.0 / done);
    if (perByteUs <= 0)
        return -1;
    return (left * perByteUs + laterPassUs) / 1e6;
}

QString durationText(double seconds)
{
    if (seconds < 0)
        return {};
    if (seconds < 60)
        return QStringLiteral("%1 s").arg(QString::number(seconds, 'f', seconds < 10 ? 1 : 0));
    const int whole = static_cast<int>(seconds + 0.5);
    return QStringLiteral("%1:%2").arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0'));
}
