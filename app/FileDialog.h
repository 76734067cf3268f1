// FileDialog: an open or save dialog that keeps its filters and default suffix from
// one showing to the next and shares one folder with every other dialog of the
// program, but starts every showing with an empty file-name field. A name left over from
// the last command would let two presses of Return convert the wrong file and
// overwrite another.
#pragma once

#include <QFileDialog>
#include <QString>
#include <QStringList>

class FileDialog {
public:
    FileDialog(QWidget* parent, QFileDialog::AcceptMode mode, QString objectName);

    // "Description|*.ext|Description|*.ext"
    void setFilter(const QString& filter);
    // With or without the leading dot.
    void setDefaultSuffix(const QString& suffix);
    // Shows a new dialog in the folder last used; the chosen file, empty when cancelled.
    QString exec();

    // The one folder every dialog of the program starts in: the one last used by any.
    static QString folder();
    static void setFolder(const QString& folder);

    // The extension a name filter gives a name typed without one: its first
    // pattern's ("hex" for ".HEX files (*.hex *.ihx)"), else otherwise.
    static QString suffixOf(const QString& nameFilter, const QString& otherwise);

private:
    QWidget* parent_;
    QFileDialog::AcceptMode mode_;
    QString objectName_;
    QStringList nameFilters_;
    QString selectedFilter_;
    QString defaultSuffix_;
};
