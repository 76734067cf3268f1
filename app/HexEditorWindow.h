// HexEditorWindow: the hex editor window. A strip with the insert and read-only
// check boxes over a HexView, the File and Edit menus, the caret's offset in the
// status bar, and the question about unsaved changes when it closes. Closing only
// hides it, emptied, so the next opening starts afresh.
#pragma once

#include <QMainWindow>
#include <memory>

class FileDialog;
class HexView;
class QAction;
class QCheckBox;
class QLabel;
class QMenu;

class HexEditorWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit HexEditorWindow(QWidget* parent = nullptr);
    ~HexEditorWindow() override;

    // File menu. openFile() asks for the file; unsaved changes are asked about first.
    void openFile();
    // Loads the file, or refuses it with "File size too big" and keeps the content.
    // File errors are thrown.
    void openFile(const QString& name);
    // Both true when the content was written (or there was nothing to keep).
    bool save();
    bool saveAs();
    // Shows bytes that come from no file (a chip's contents) under a title of their
    // own, the caret at an offset; unsaved changes are asked about first.
    void showBytes(const QByteArray& bytes, const QString& title, qint64 caret);

    // Edit menu: go to an offset typed in hex ("1F0", "0x1F0", "1F0h") or decimal ("#496").
    void goToOffset(const QString& text);
    // Selects the next match of the search at or after the selection; F3 goes on past it.
    void find(const QString& text, bool asText);
    void findNext();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Watches the main window: when it closes, unsaved changes here are asked about first.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A file dropped on the window opens in it.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildLayout();
    void buildFileMenu();
    void buildEditMenu();
    void buildStatusBar();
    bool saveTo(const QString& name);  // reports a failure in the "Error" box
    // Asks about unsaved changes; false when the user cancelled or the save failed.
    bool settleChanges();
    void findFrom(qint64 from);
    void showError(const QString& text);
    void updateStatus();
    void updateTitle();

    HexView* hexView_ = nullptr;
    QCheckBox* insertBox_ = nullptr;
    QCheckBox* readOnlyBox_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* editMenu_ = nullptr;
    QAction* openItem_ = nullptr;
    QAction* saveItem_ = nullptr;
    QAction* saveAsItem_ = nullptr;
    QAction* exitItem_ = nullptr;
    QAction* findItem_ = nullptr;
    QLabel* offsetLabel_ = nullptr;  // the caret and the selection
    QLabel* sizeLabel_ = nullptr;
    QLabel* fileLabel_ = nullptr;  // the file's name, starred while modified

    // No filters: any file opens. Each showing starts with an empty name.
    std::unique_ptr<FileDialog> openDialog_;
    std::unique_ptr<FileDialog> saveDialog_;
    QString contentTitle_;  // what the bytes are when they come from no file
    QString searchText_;
    bool searchAsText_ = false;
};
