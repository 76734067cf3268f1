// The chip compare: load and check the image, then read the chip over its length.
#include "target/CompareChip.h"

#include "image/ImageBuffer.h"
#include "target/ChipCatalogue.h"
#include "target/DeviceRunner.h"
#include "target/DeviceSession.h"
#include "view/OperationView.h"
#include "view/Strings.h"

namespace {

void compareWith(DeviceSession& session, const ImageBuffer& image, qint32 length)
{
    OperationView& view = session.view();
    view.setCancelRequested(false);
    view.setPanelText(0, QString::fromLatin1(Str::kVerifying));
    view.setGauge(0, length - 1);
    int differences = 0;
    for (qint32 address = 0; address < length; ++address) {
        const uint8_t value = session.readByte(address);
        view.setGauge(address, length - 1);
        if (value != image[static_cast<size_t>(address)])
            ++differences;
        view.setPanelText(1, QStringLiteral("%1 %2").arg(differences).arg(QLatin1String(Str::kDifferentBytes)));
        if (!session.step())
            break;
    }
    session.release();
    if (differences > 0) {
        view.showMessage(MessageIcon::None, QString::fromLatin1(Str::kProgramName),
                         QString::fromLatin1(Str::kDevergenceInData));
        session.fail();
    } else {
        view.setPanelText(1, QString::fromLatin1(Str::kIdenticalData));
    }
    view.setPanelText(0, QString::fromLatin1(Str::kDone));
    view.setCancelRequested(false);
}

}  // namespace

RunOutcome CompareChip(DeviceRunner& runner)
{
    // A click during another operation must not even open the dialog.
    if (runner.busy())
        return RunOutcome::Busy;
    const QString fileName = runner.view().askOpenFileName(QString::fromLatin1(Str::kFilterBinHex));
    if (fileName.isEmpty())
        return RunOutcome::Cancelled;
    return CompareChip(runner, fileName);
}

RunOutcome CompareChip(DeviceRunner& runner, const QString& fileName)
{
    if (runner.busy())
        return RunOutcome::Busy;
    OperationView& view = runner.view();
    ImageBuffer image;
    view.setPanelText(0, QString::fromLatin1(Str::kWait));
    const qint32 length = LoadImageFile(fileName, image, view);
    view.setPanelText(0, QString());
    // The loader has shown "File size too big" and given no image: comparing zero
    // bytes would report a comparison that never happened as identical data.
    if (length == 0 && FileSizeByName(fileName) > kMaxImageFileSize)
        return RunOutcome::Failed;

    const bool eeprom = eepromSelected(runner.target());
    if (length > selectedCapacity(runner.target())) {
        view.showMessage(MessageIcon::Error, QString::fromLatin1(Str::kErrorCaption),
                         QString::fromLatin1(eeprom ? Str::kFileTooBigForEeprom : Str::kFileTooBigForFlash));
        return RunOutcome::Failed;
    }
    return runner.run([&](DeviceSession& session) { compareWith(session, image, length); });
}
