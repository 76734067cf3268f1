// The chip compare: load and check the image, then read the chip over its length.
#include "target/CompareChip.h"

#include <algorithm>
#include <vector>

#include "image/ImageBuffer.h"
#include "target/DeviceRunner.h"
#include "target/DeviceSession.h"
#include "target/RunReport.h"
#include "target/TargetState.h"
#include "view/OperationView.h"
#include "view/Strings.h"

namespace {

QString text(const char* latin1) { return QString::fromLatin1(latin1); }

void compareWith(DeviceSession& session, const ImageBuffer& image, qint32 length)
{
    OperationView& view = session.view();
    view.setCancelRequested(false);
    view.showPhase(text(Str::kVerifying));
    view.showProgress(0, length, QString());
    RunReport& report = session.report();
    report.kind = RunKind::Compare;
    report.total = length;
    report.chipBytes.reserve(length);
    int differences = 0;
    qint32 compared = 0;
    std::vector<uint8_t> values;
    bool more = true;
    for (qint32 first = 0; first < length && more;) {
        // A batch of reads goes out together; each byte is then compared as if read alone.
        session.readBytes(first, std::min(session.batchLength(1), length - first), values);
        for (size_t i = 0; i < values.size() && more; ++i) {
            const qint32 address = first++;
            compared = address + 1;
            const uint8_t value = values[i];
            const uint8_t expected = image[static_cast<size_t>(address)];
            report.chipBytes.append(static_cast<char>(value));
            report.done = compared;
            if (value != expected) {
                if (differences == 0) {
                    report.firstDifference = address;
                    report.chipValue = value;
                    report.fileValue = expected;
                }
                ++differences;
                report.differences = differences;
            }
            view.showProgress(compared, length,
                              QStringLiteral("%1 %2").arg(differences).arg(QLatin1String(Str::kDifferentBytes)));
            more = session.step();
        }
    }
    session.release();
    if (differences > 0) {
        view.showMessage(MessageIcon::None, text(Str::kProgramName), text(Str::kDevergenceInData));
        session.fail();
    } else {
        view.showProgress(compared, length, text(Str::kIdenticalData));
    }
    view.showResult(text(Str::kDone), false);
    view.setCancelRequested(false);
}

}  // namespace

RunOutcome compareChip(DeviceRunner& runner, const QString& fileName)
{
    if (runner.busy())
        return RunOutcome::Busy;
    OperationView& view = runner.view();
    ImageBuffer image;
    view.showPhase(text(Str::kWait));
    const LoadedImage loaded = loadImageFile(fileName, image);
    if (loaded.tooBig)
        view.showMessage(MessageIcon::Error, text(Str::kErrorCaption), text(Str::kFileSizeTooBig));
    view.showPhase(QString());
    // Comparing zero bytes of a refused file would report a comparison that never
    // happened as identical data.
    if (loaded.tooBig)
        return RunOutcome::Failed;

    const bool eeprom = runner.target().eepromSelected();
    if (loaded.length > runner.target().selectedCapacity()) {
        view.showMessage(MessageIcon::Error, text(Str::kErrorCaption),
                         text(eeprom ? Str::kFileTooBigForEeprom : Str::kFileTooBigForFlash));
        return RunOutcome::Failed;
    }
    const qint32 length = loaded.length;
    return runner.run([&](DeviceSession& session) { compareWith(session, image, length); });
}
