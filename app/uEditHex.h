// TFormEditHex: the hex editor window. A strip with the insert and read-only check
// boxes over a HexView, the File and Edit menus, the caret's offset in the status
// bar, and the question about unsaved changes when it closes. Closing only hides
// it, emptied, so the next opening starts afresh.
#pragma once

#include <QMainWindow>
#include <memory>

class FileDialog;
class HexView;
class QAction;
class QCheckBox;
class QLabel;
class QMenu;

class TFormEditHex : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormEditHex(QWidget* parent = nullptr);
    ~TFormEditHex() override;

    // File menu
    void Open1Click();
    void Save1Click();
    void SaveAs1Click();
    // Loads the file, or refuses it with "File size too big" and keeps the content.
    // File errors are thrown.
    void openFile(const QString& name);

    // Edit menu: go to an offset typed in hex ("1F0", "0x1F0", "1F0h") or decimal ("#496").
    void goToOffset(const QString& text);
    // Selects the next match of the search at or after the selection; F3 goes on past it.
    void find(const QString& text, bool asText);
    void findNextClick();

    HexView* HexEditor1 = nullptr;
    QCheckBox* CheckInsert = nullptr;
    QCheckBox* CheckReadOnly = nullptr;
    QMenu* MenuFile = nullptr;
    QMenu* MenuEdit = nullptr;
    QAction* menuOpen = nullptr;
    QAction* menuSave = nullptr;
    QAction* menuSaveAs = nullptr;
    QAction* menuExit = nullptr;
    QAction* menuUndo = nullptr;
    QAction* menuRedo = nullptr;
    QAction* menuGoTo = nullptr;
    QAction* menuFind = nullptr;
    QAction* menuFindNext = nullptr;
    QLabel* StatusOffset = nullptr;
    QLabel* StatusSize = nullptr;
    QLabel* StatusFile = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    // Watches the main window: when it closes, unsaved changes here are asked about first.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildForm();
    void buildEditMenu();
    // Both true when the content was written (or there was nothing to keep).
    bool save();
    bool saveAs();
    bool saveTo(const QString& name);  // reports a failure in the "Error" box
    // Asks about unsaved changes; false when the user cancelled or the save failed.
    bool settleChanges();
    void findFrom(qint64 from);
    void showError(const QString& text);
    void updateStatus();

    // No filters: any file opens. Each showing starts with an empty name.
    std::unique_ptr<FileDialog> OpenDialog1;
    std::unique_ptr<FileDialog> SaveDialog1;
    QString searchText_;
    bool searchAsText_ = false;
};
