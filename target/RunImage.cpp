// Loading and checking the image of a run, with the user told why a file is refused.
#include "target/RunImage.h"

#include "target/TargetState.h"
#include "view/OperationView.h"
#include "view/Strings.h"

namespace {

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

void showError(OperationView& view, const QString& message)
{
    view.showMessage(MessageIcon::Error, text(Str::kErrorCaption), message);
}

}  // namespace

qint32 loadRunImage(OperationView& view, const QString& fileName, ImageBuffer& image)
{
    view.showPhase(text(Str::kWait));
    LoadedImage loaded;
    try {
        loaded = loadImageFile(fileName, image);
    } catch (...) {
        view.showPhase(QString());
        throw;
    }
    if (loaded.tooBig) {
        showError(view, fileSizeTooBigText(fileName));
        view.showPhase(QString());
        return -1;
    }
    const char* form = loaded.form == ImageForm::IntelHex ? Str::kReadAsHex : Str::kReadAsBinary;
    view.showPhase(text(form).arg(loaded.length));
    return loaded.length;
}

QString fileSizeTooBigText(const QString& fileName)
{
    return text(Str::kFileSizeTooBig) + QLatin1Char('\n')
        + text(Str::kFileSizeLimit)
              .arg(fileName, QString::number(fileSizeByName(fileName)), QString::number(kMaxImageFileSize));
}

bool fitsMemory(OperationView& view, const TargetState& target, bool eeprom, const QString& fileName, qint32 length)
{
    const MemoryKind kind = eeprom ? MemoryKind::Eeprom : MemoryKind::Flash;
    const qint32 capacity = target.capacity(kind);
    if (length <= capacity)
        return true;
    QString message = text(eeprom ? Str::kFileTooBigForEeprom : Str::kFileTooBigForFlash);
    if (target.chip)
        message += QLatin1Char('\n')
            + text(Str::kImageSizeAgainstMemory)
                  .arg(fileName, QString::number(length), text(target.chip->name),
                       text(eeprom ? Str::kEepromMemory : Str::kFlashMemory), QString::number(capacity));
    showError(view, message);
    return false;
}
