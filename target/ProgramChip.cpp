// The programming run: preparation (file, memory choice, capacity) outside the
// device frame, then the erase and one of three writing paths inside it: the
// ATmega8 flash through its page buffer with a separate verify pass, every other
// memory byte by byte with a read-back and the timing ladder on a mismatch, and
// Differential mode, which writes only the bytes the chip does not already hold.
#include "target/ProgramChip.h"

#include <QFileInfo>

#include "image/ImageBuffer.h"
#include "target/ChipCatalogue.h"
#include "target/DeviceRunner.h"
#include "target/DeviceSession.h"
#include "target/EraseChip.h"
#include "target/TargetState.h"
#include "view/OperationView.h"
#include "view/Strings.h"

namespace {

constexpr int kFastReadBacks = 15;  // Fast mode reads back only this many bytes
constexpr int32_t kFirstRung = 5;   // ClockDelay after a failed run
constexpr uint8_t kPadding = 0xFF;  // high byte of an odd-length image's last word

QString text(const char* latin1) { return QString::fromLatin1(latin1); }

bool erasesBeforeWriting(int32_t kind) { return kind == 3 || kind == 5 || kind == 7; }

class ProgramRun {
public:
    ProgramRun(DeviceSession& session, const ImageBuffer& image, qint32 length, QString& autoRunFile)
        : s_(session), view_(session.view()), target_(session.target()), image_(image), n_(length),
          autoRunFile_(autoRunFile)
    {
    }

    void run()
    {
        view_.setCancelRequested(false);
        if (target_.WriteMode == 1) {
            writeDifferences();
            return;
        }
        view_.setGauge(0, n_ - 1);
        if (erasesBeforeWriting(target_.TargetKind)) {
            view_.setPanelText(0, text(Str::kErasingMemory));
            view_.processEvents();
            // A failed sync here shows "Communication error" and the run writes anyway.
            EraseChip(s_);
        }
        if (target_.TargetKind == 7)
            writePaged();
        else
            writeAndVerify();
    }

private:
    bool fast() const { return target_.WriteMode == 2; }
    uint8_t imageByte(qint32 i) const { return image_[static_cast<size_t>(i)]; }

    // Before each byte: "12 of 4096 bytes", the gauge, and the window's events.
    void showProgress(qint32 i)
    {
        view_.setPanelText(1, QString::number(i + 1) + QLatin1Char(' ') + text(Str::kOf) + QLatin1Char(' ')
                                  + QString::number(n_) + text(Str::kBytes));
        view_.setGauge(i, n_ - 1);
        view_.processEvents();
    }

    bool readsBack(qint32 i) { return s_.readByte(i) == imageByte(i); }

    // ATmega8 flash: bytes go into the page buffer and a page reaches the flash when
    // a byte of another page is loaded; the whole image is verified afterwards.
    void writePaged()
    {
        s_.LoadedPage() = 0;
        view_.setPanelText(0, text(Str::kWriting));
        view_.processEvents();
        for (qint32 i = 0; i < n_; ++i) {
            showProgress(i);
            s_.writeByte(i, imageByte(i));
            if (s_.cancelRequested())
                break;
        }
        if (n_ % 2 != 0)
            s_.writeByte(n_, kPadding);
        // A load into another page commits the last one. An empty image left nothing
        // in the buffer, and has no first byte to load.
        if (n_ > 0) {
            if (s_.LoadedPage() == 0)
                s_.writeByte(2 * target_.FlashPageWords, imageByte(0));
            else
                s_.writeByte(0, imageByte(0));
        }
        s_.release();
        if (endIfCancelled())
            return;

        s_.enter();
        view_.setPanelText(0, text(Str::kVerifying));
        view_.processEvents();
        int VerifyCount = 0;
        for (qint32 i = 0; i < n_; ++i) {
            showProgress(i);
            if (!readsBack(i)) {
                failWriteError();
                return;
            }
            if (fast())
                ++VerifyCount;
            if (s_.cancelRequested() || VerifyCount >= kFastReadBacks)
                break;
        }
        endPass();
    }

    // Every other memory: each byte is read back after its write (in Fast mode only
    // the first 15); a mismatch writes it again one rung slower.
    void writeAndVerify()
    {
        view_.setPanelText(0, text(Str::kWritingAndVerifying));
        view_.processEvents();
        int VerifyCount = 0;
        qint32 i = 0;
        while (i < n_) {
            showProgress(i);
            s_.writeByte(i, imageByte(i));
            bool advance = true;
            if (VerifyCount < kFastReadBacks) {
                if (readsBack(i)) {
                    LastVerifyOk = true;
                } else {
                    // One more try while the ladder has rungs left, or once more at the
                    // last rung when the byte before it read back there.
                    if (!s_.stepLadder() && !LastVerifyOk) {
                        failWriteError();
                        return;
                    }
                    s_.release();
                    s_.enter();
                    LastVerifyOk = false;
                    advance = false;
                }
                if (fast())
                    ++VerifyCount;
            } else {
                view_.setPanelText(0, text(Str::kWriting));
            }
            if (advance)
                ++i;
            if (s_.cancelRequested())
                break;
        }
        endPass();
    }

    // Differential: no erase; a byte the chip already holds is not written.
    void writeDifferences()
    {
        view_.setGauge(0, n_ - 1);
        view_.setPanelText(0, text(Str::kWriting));
        view_.processEvents();
        s_.enter();
        for (qint32 i = 0; i < n_; ++i) {
            showProgress(i);
            if (!readsBack(i)) {
                s_.writeByte(i, imageByte(i));
                bool same = readsBack(i);
                if (same)
                    LastVerifyOk = true;
                while (!same) {
                    if (!s_.stepLadder() && !LastVerifyOk) {
                        failWriteError();
                        return;
                    }
                    s_.release();
                    s_.enter();
                    s_.writeByte(i, imageByte(i));
                    LastVerifyOk = false;
                    same = readsBack(i);
                    if (same)
                        LastVerifyOk = true;
                }
            }
            // Also after a byte that needed no write, so a cancel stops a long
            // comparison of a chip that already holds the image.
            if (s_.cancelRequested())
                break;
        }
        endPass();
    }

    // A cancel ends the run quietly and leaves AutoRunFile for the next "Write".
    bool endIfCancelled()
    {
        if (!s_.cancelRequested())
            return false;
        view_.setCancelRequested(false);
        return true;
    }

    void endPass()
    {
        s_.release();
        if (endIfCancelled())
            return;
        view_.setPanelText(0, text(Str::kDone));
        autoRunFile_.clear();
    }

    // The bytes already written stay; the next run starts from the fastest rung and
    // the chip's own write delay.
    void failWriteError()
    {
        view_.setPanelText(0, text(Str::kWriteError));
        s_.release();
        autoRunFile_.clear();
        s_.ClockDelay() = kFirstRung;
        target_.WriteDelay = target_.RestoreWriteDelay;
        s_.fail();
    }

    DeviceSession& s_;
    OperationView& view_;
    TargetState& target_;
    const ImageBuffer& image_;
    const qint32 n_;
    QString& autoRunFile_;
    bool LastVerifyOk = false;  // the last read-back matched (reset by each retry)
};

// Stops the run with an "Error" box before anything reaches the chip.
RunOutcome refuse(OperationView& view, QString& autoRunFile, const char* message)
{
    view.showMessage(MessageIcon::Error, text(Str::kErrorCaption), text(message));
    autoRunFile.clear();
    return RunOutcome::Failed;
}

}  // namespace

RunOutcome ProgramChip(DeviceRunner& runner, QString& autoRunFile, bool eepromChecked)
{
    // A click handled while another operation lets events run: no dialog, no load.
    if (runner.busy())
        return RunOutcome::Busy;
    OperationView& view = runner.view();
    TargetState& target = runner.target();

    if (autoRunFile.isEmpty()) {
        const QString chosen = view.askOpenFileName(text(Str::kFilterBinHex));
        if (chosen.isEmpty())
            return RunOutcome::Cancelled;
        autoRunFile = chosen;
    }
    if (!QFileInfo(autoRunFile).isFile()) {
        autoRunFile.clear();
        return RunOutcome::Cancelled;
    }

    ApplyMemoryChoice(target, eepromChecked);
    view.setPanelText(0, text(Str::kWait));
    // The loader refuses an oversized file with its own box and an empty image; the
    // run must stop there rather than erase the chip for a file it never loaded.
    const bool refused = FileSizeByName(autoRunFile) > kMaxImageFileSize;
    ImageBuffer image;
    qint32 n = 0;
    try {
        n = LoadImageFile(autoRunFile, image, view);
    } catch (...) {
        // A broken file must not be written again by every later "Write".
        view.setPanelText(0, QString());
        autoRunFile.clear();
        throw;
    }
    view.setPanelText(0, QString());
    if (refused) {
        autoRunFile.clear();
        return RunOutcome::Failed;
    }
    if (eepromChecked && n > target.EepromCapacity)
        return refuse(view, autoRunFile, Str::kFileTooBigForEeprom);
    if (!eepromChecked && n > target.FlashCapacity)
        return refuse(view, autoRunFile, Str::kFileTooBigForFlash);

    const RunOutcome outcome =
        runner.run([&](DeviceSession& session) { ProgramRun(session, image, n, autoRunFile).run(); });
    if (outcome == RunOutcome::NoSync || outcome == RunOutcome::PortFailed) {
        autoRunFile.clear();
        target.WriteDelay = target.RestoreWriteDelay;
    }
    return outcome;
}
