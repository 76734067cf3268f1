// The chip compare: load and check the image, then read the chip over its length.
#include "target/CompareChip.h"

#include <algorithm>
#include <vector>

#include "image/ImageBuffer.h"
#include "target/DeviceRunner.h"
#include "target/DeviceSession.h"
#include "target/RunImage.h"
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
            // The cancel flag counts only while bytes remain.
            more = compared == length || session.step();
        }
    }
    session.release();
    if (differences > 0) {
        view.showMessage(MessageIcon::None, text(Str::kProgramName), text(Str::kDevergenceInData));
        session.fail();
    } else {
        view.showProgress(compared, length, text(Str::kIdenticalData));
    }
    view.showResult(text(compared < length ? Str::kCancelled : Str::kDone), false);
    view.setCancelRequested(false);
}

}  // namespace

RunOutcome compareChip(DeviceRunner& runner, const QString& fileName)
{
    if (runner.busy())
        return RunOutcome::Busy;
    OperationView& view = runner.view();
    ImageBuffer image;
    const qint32 length = loadRunImage(view, fileName, image);
    // Comparing zero bytes of a refused file would report a comparison that never
    // happened as identical data.
    if (length < 0)
        return RunOutcome::Failed;
    const TargetState& target = runner.target();
    if (!fitsMemory(view, target, target.eepromSelected(), fileName, length))
        return RunOutcome::Failed;
    return runner.run([&](DeviceSession& session) { compareWith(session, image, length); });
}
