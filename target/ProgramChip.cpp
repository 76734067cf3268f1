// The programming run: preparation (file, memory choice, capacity) outside the
// device frame, then the erase and one of three writing paths inside it: a memory
// with a page buffer (the ATmega8 flash) with a separate verify pass, every other
// memory byte by byte with a read-back and the timing ladder on a mismatch, and
// Differential mode, which writes only the bytes the chip does not already hold.
#include "target/ProgramChip.h"

#include <QFileInfo>
#include <algorithm>
#include <vector>

#include "image/ImageBuffer.h"
#include "target/ChipCatalogue.h"
#include "target/DeviceRunner.h"
#include "target/DeviceSession.h"
#include "target/EraseChip.h"
#include "target/RunImage.h"
#include "target/RunReport.h"
#include "target/TargetState.h"
#include "view/OperationView.h"
#include "view/Strings.h"

namespace {

constexpr int kFastReadBacks = 15;  // Fast mode reads back only this many bytes
constexpr int32_t kFirstRung = 5;   // the clock delay after a failed run
constexpr uint8_t kPadding = 0xFF;  // high byte of an odd-length image's last word

QString text(const char* latin1) { return QString::fromLatin1(latin1); }

class ProgramRun {
public:
    ProgramRun(DeviceSession& session, const ImageBuffer& image, qint32 length, QString& autoRunFile)
        : s_(session), view_(session.view()), target_(session.target()), memory_(*target_.selectedMemory()),
          image_(image), n_(length), autoRunFile_(autoRunFile), report_(session.report())
    {
    }

    void run()
    {
        view_.setCancelRequested(false);
        report_.kind = RunKind::Write;
        report_.total = n_;
        report_.pagedWrite = memory_.paged() && target_.writeMode != WriteMode::Differential;
        if (target_.writeMode == WriteMode::Differential) {
            writeDifferences();
            return;
        }
        view_.showProgress(0, n_, QString());
        if (memory_.erasedBeforeWrite) {
            view_.showPhase(text(Str::kErasingMemory));
            view_.processEvents();
            // A failed sync here shows "Communication error" and the run writes anyway.
            eraseChip(s_);
        }
        if (memory_.paged())
            writePaged();
        else
            writeAndVerify();
    }

private:
    bool fast() const { return target_.writeMode == WriteMode::Fast; }
    uint8_t imageByte(qint32 i) const { return image_[static_cast<size_t>(i)]; }

    // Before each byte: "12 of 4096 bytes" (the byte in hand counts, so the last one
    // fills the gauge), and the window's events.
    void showProgress(qint32 i)
    {
        view_.showProgress(i + 1, n_,
                           QString::number(i + 1) + QLatin1Char(' ') + text(Str::kOf) + QLatin1Char(' ')
                               + QString::number(n_) + text(Str::kBytes));
        view_.processEvents();
    }

    bool readsBack(qint32 i) { return s_.readByte(i) == imageByte(i); }

    // A memory with a page buffer (an AVR flash, a paged EEPROM): bytes go into the
    // buffer and a page reaches the memory when a byte of another page is loaded; the
    // whole image is verified afterwards.
    void writePaged()
    {
        s_.setLoadedPage(0);
        view_.showPhase(text(Str::kWriting));
        view_.processEvents();
        // Loads, their page's commit and its write cycle go out in batches.
        const int32_t batch = s_.batchLength(1, s_.writeWaitUs() / std::max(memory_.pageBytes, 1));
        for (qint32 i = 0; i < n_; ++i) {
            showProgress(i);
            s_.queueWrite(i, imageByte(i));
            report_.done = report_.written = i + 1;
            if ((i + 1) % batch == 0)
                s_.flush();
            if (stopRequested(i + 1))
                break;
        }
        // An odd-length image leaves half a word; a memory loaded byte by byte (a paged
        // EEPROM) gets nothing the image does not have.
        if (n_ % 2 != 0 && memory_.loadPage.selectsByte())
            s_.writeByte(n_, kPadding);
        // A load into another page commits the last one. An empty image left nothing
        // in the buffer, and has no first byte to load.
        if (n_ > 0) {
            if (s_.loadedPage() == 0)
                s_.writeByte(memory_.pageBytes, imageByte(0));
            else
                s_.writeByte(0, imageByte(0));
        }
        s_.release();
        if (endIfCancelled())
            return;

        s_.enter();
        report_.verifyPass = true;
        view_.showPhase(text(Str::kVerifying));
        view_.processEvents();
        int verifyCount = 0;
        std::vector<uint8_t> held;
        for (qint32 i = 0; i < n_;) {
            // A batch of reads goes out together; each byte is then checked as if read alone.
            qint32 length = std::min(s_.batchLength(1), n_ - i);
            if (fast())
                length = std::min(length, kFastReadBacks - verifyCount);
            s_.readBytes(i, length, held);
            for (const uint8_t value : held) {
                showProgress(i);
                if (value != imageByte(i)) {
                    failWriteError();
                    return;
                }
                ++report_.verified;
                ++i;
                if (fast())
                    ++verifyCount;
                if (verifyCount >= kFastReadBacks || stopRequested(i)) {
                    endPass();
                    return;
                }
            }
        }
        endPass();
    }

    // Every other memory: each byte is read back after its write (in Fast mode only
    // the first 15); a mismatch writes it again one rung slower.
    void writeAndVerify()
    {
        view_.showPhase(text(Str::kWritingAndVerifying));
        view_.processEvents();
        int verifyCount = 0;
        bool writingOnly = false;
        qint32 i = 0;
        while (i < n_) {
            // Writes and their read-backs go out in batches (of one byte on the modem
            // lines). A byte that did not stay ends its batch: it is written again one rung
            // slower, and so is every byte the batch wrote after it.
            const std::vector<QueuedWrite> batch = queueWrites(i, fast() ? kFastReadBacks - verifyCount : n_);
            s_.flush();
            for (const QueuedWrite& written : batch) {
                showProgress(written.address);
                bool advance = true;
                if (written.verified) {
                    if (s_.value(written.readBack) == imageByte(written.address)) {
                        lastVerifyOk_ = true;
                        ++report_.verified;
                    } else {
                        // One more try while the ladder has rungs left, or once more at the
                        // last rung when the byte before it read back there.
                        if (!s_.stepLadder() && !lastVerifyOk_) {
                            failWriteError();
                            return;
                        }
                        s_.release();
                        s_.enter();
                        lastVerifyOk_ = false;
                        advance = false;
                        ++report_.rewrites;
                    }
                    if (fast())
                        ++verifyCount;
                } else if (!writingOnly) {
                    // Once: a phase is drawn at once, so setting it for every byte would
                    // repaint the window for every byte.
                    writingOnly = true;
                    view_.showPhase(text(Str::kWriting));
                }
                if (advance) {
                    ++i;
                    report_.done = report_.written = i;
                }
                if (stopRequested(i)) {
                    endPass();
                    return;
                }
                if (!advance)
                    break;
            }
        }
        endPass();
    }

    // Differential: no erase; a byte the chip already holds is not written.
    void writeDifferences()
    {
        view_.showProgress(0, n_, QString());
        view_.showPhase(text(Str::kWriting));
        view_.processEvents();
        s_.enter();
        std::vector<uint8_t> held;
        std::vector<DeviceSession::Read> readBacks;
        qint32 i = 0;
        while (i < n_) {
            // A batch of reads (one byte on the modem lines); the bytes the chip does not
            // hold are then written and read back together.
            s_.readBytes(i, std::min(s_.batchLength(3, s_.writeWaitUs()), n_ - i), held);
            readBacks.assign(held.size(), 0);
            for (size_t k = 0; k < held.size(); ++k) {
                if (held[k] != imageByte(i + static_cast<qint32>(k))) {
                    ++report_.written;
                    s_.queueWrite(i + static_cast<qint32>(k), imageByte(i + static_cast<qint32>(k)));
                    readBacks[k] = s_.queueRead(i + static_cast<qint32>(k));
                }
            }
            s_.flush();
            for (size_t k = 0; k < held.size(); ++k) {
                showProgress(i);
                bool ranAhead = false;
                if (held[k] != imageByte(i)) {
                    if (s_.value(readBacks[k]) == imageByte(i)) {
                        lastVerifyOk_ = true;
                        ++report_.verified;
                    } else {
                        if (!writeSlowerUntilItStays(i))
                            return;
                        // What the batch wrote after this byte went at the faster rung:
                        // it is read and, where it did not stay, written again.
                        ranAhead = true;
                    }
                }
                ++i;
                report_.done = i;
                // Also after a byte that needed no write, so a cancel stops a long
                // comparison of a chip that already holds the image.
                if (stopRequested(i)) {
                    endPass();
                    return;
                }
                if (ranAhead)
                    break;
            }
        }
        endPass();
    }

    // A byte that did not read back, written again one rung slower until it does;
    // false after the "Write error" that ends the run at the end of the ladder.
    bool writeSlowerUntilItStays(qint32 i)
    {
        bool same = false;
        while (!same) {
            if (!s_.stepLadder() && !lastVerifyOk_) {
                failWriteError();
                return false;
            }
            s_.release();
            s_.enter();
            s_.writeByte(i, imageByte(i));
            ++report_.rewrites;
            lastVerifyOk_ = false;
            same = readsBack(i);
            if (same) {
                lastVerifyOk_ = true;
                ++report_.verified;
            }
        }
        return true;
    }

    struct QueuedWrite {
        qint32 address = 0;
        bool verified = false;
        DeviceSession::Read readBack = 0;
    };

    // Queues the writes of a batch from byte `from` on, each followed by its read-back
    // while `readBacks` last.
    std::vector<QueuedWrite> queueWrites(qint32 from, qint32 readBacks)
    {
        const qint32 length = std::min(s_.batchLength(2, s_.writeWaitUs()), n_ - from);
        std::vector<QueuedWrite> batch;
        for (qint32 k = 0; k < length; ++k) {
            QueuedWrite written{from + k, k < readBacks, 0};
            s_.queueWrite(written.address, imageByte(written.address));
            if (written.verified)
                written.readBack = s_.queueRead(written.address);
            batch.push_back(written);
        }
        return batch;
    }

    // The cancel flag, polled only while bytes remain (next < n): a run that got to
    // its end is done, whenever the flag came.
    bool stopRequested(qint32 next)
    {
        if (next >= n_ || !s_.cancelRequested())
            return false;
        stopped_ = true;
        return true;
    }

    // A cancel ends the run with "Cancelled" and leaves the auto-run file for the next "Write".
    bool endIfCancelled()
    {
        if (!stopped_)
            return false;
        view_.setCancelRequested(false);
        view_.showResult(text(Str::kCancelled), false);
        return true;
    }

    void endPass()
    {
        s_.release();
        if (endIfCancelled())
            return;
        view_.showResult(text(Str::kDone), false);
        autoRunFile_.clear();
    }

    // The bytes already written stay; the next run starts from the fastest rung and
    // the chip's own write delay.
    void failWriteError()
    {
        view_.showResult(text(Str::kWriteError), true);
        s_.release();
        autoRunFile_.clear();
        s_.setClockDelay(kFirstRung);
        target_.writeDelay = target_.restoreWriteDelay;
        s_.fail();
    }

    DeviceSession& s_;
    OperationView& view_;
    TargetState& target_;
    const MemorySpec& memory_;
    const ImageBuffer& image_;
    const qint32 n_;
    QString& autoRunFile_;
    RunReport& report_;
    bool lastVerifyOk_ = false;  // the last read-back matched (reset by each retry)
    bool stopped_ = false;       // the cancel flag stopped a pass before its end
};

}  // namespace

RunOutcome programChip(DeviceRunner& runner, QString& autoRunFile, bool eepromChecked)
{
    // A click handled while another operation lets events run: no load.
    if (runner.busy())
        return RunOutcome::Busy;
    OperationView& view = runner.view();
    TargetState& target = runner.target();

    if (!QFileInfo(autoRunFile).isFile()) {
        autoRunFile.clear();
        return RunOutcome::Cancelled;
    }

    applyMemoryChoice(target, eepromChecked);
    ImageBuffer image;
    qint32 n = -1;
    try {
        n = loadRunImage(view, autoRunFile, image);
    } catch (...) {
        // A broken file must not be written again by every later "Write".
        autoRunFile.clear();
        throw;
    }
    // A refused file stops the run here rather than erase the chip for a file never
    // loaded, or too big for the memory.
    if (n < 0 || !fitsMemory(view, target, eepromChecked, autoRunFile, n)) {
        autoRunFile.clear();
        return RunOutcome::Failed;
    }

    const RunOutcome outcome = runner.run([&](DeviceSession& session) {
        // Only a stray 0x1E on an empty selection gets here without a chip; it gets nothing.
        if (session.target().chip)
            ProgramRun(session, image, n, autoRunFile).run();
    });
    if (outcome == RunOutcome::NoSync || outcome == RunOutcome::PortFailed) {
        autoRunFile.clear();
        target.writeDelay = target.restoreWriteDelay;
    }
    return outcome;
}
