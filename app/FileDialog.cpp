// A fresh QFileDialog per showing: Qt keeps the last name in a dialog's field and
// offers no way to clear it, so only the settings worth keeping are carried over.
#include "app/FileDialog.h"

FileDialog::FileDialog(QWidget* parent, QFileDialog::AcceptMode mode, QString objectName)
    : parent_(parent), mode_(mode), objectName_(std::move(objectName))
{
}

namespace {
QString& sharedFolder()
{
    static QString folder;
    return folder;
}
}  // namespace

QString FileDialog::folder() { return sharedFolder(); }

void FileDialog::setFolder(const QString& folder) { sharedFolder() = folder; }

void FileDialog::setFilter(const QString& filter)
{
    // "Description|*.bin|Description|*.hex" -> {"Description (*.bin)", "Description (*.hex)"}
    const QStringList parts = filter.split(QLatin1Char('|'));
    nameFilters_.clear();
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        nameFilters_ << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    selectedFilter_.clear();
}

QString FileDialog::suffixOf(const QString& nameFilter, const QString& otherwise)
{
    // "Description (*.hex *.ihx)": the first pattern's extension; none for "*".
    const qsizetype open = nameFilter.lastIndexOf(QLatin1Char('('));
    const QString first = nameFilter.mid(open + 1).section(QLatin1Char(' '), 0, 0).remove(QLatin1Char(')'));
    return first.startsWith(QLatin1String("*.")) ? first.mid(2) : otherwise;
}

void FileDialog::setDefaultSuffix(const QString& suffix)
{
    defaultSuffix_ = suffix.startsWith(QLatin1Char('.')) ? suffix.mid(1) : suffix;
}

QString FileDialog::exec()
{
    QFileDialog dialog(parent_);
    dialog.setObjectName(objectName_);
    dialog.setAcceptMode(mode_);
    dialog.setFileMode(mode_ == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilters(nameFilters_);
    if (!selectedFilter_.isEmpty())
        dialog.selectNameFilter(selectedFilter_);
    // A name typed without an extension gets the one of the form the user picked.
    dialog.setDefaultSuffix(suffixOf(dialog.selectedNameFilter(), defaultSuffix_));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, this](const QString& filter) {
        dialog.setDefaultSuffix(suffixOf(filter, defaultSuffix_));
    });
    if (!folder().isEmpty())
        dialog.setDirectory(folder());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    setFolder(dialog.directory().absolutePath());
    selectedFilter_ = dialog.selectedNameFilter();
    return dialog.selectedFiles().first();
}
