// MainWindow: the main window. It owns the target state, the serial line and the
// configuration file, turns clicks into calls on the library, and implements the
// view through which device operations and file commands report. Its parts live in
// MainWindow.cpp (start-up, chip and write-mode choice, closing),
// MainWindowLayout.cpp, MainWindowCommands.cpp (the buttons and menu items that
// call the library), MainWindowView.cpp and MainWindowOtherWindows.cpp.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "link/LineDriver.h"
#include "settings/ConfigFile.h"
#include "target/DeviceRunner.h"
#include "target/TargetState.h"
#include "view/OperationView.h"

class AvrLockGroup;
class FileDialog;
class FuseBitsGroup;
class PortDialog;
class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;

class MainWindow : public QMainWindow, public OperationView {
    Q_OBJECT
public:
    struct Options {
        QString executablePath;                       // kestova.ini sits beside it
        PortOpener::Open opener = PortOpener::open;  // what stands behind a port name
        int startupPauseMs = 800;                     // the pause that lets the splash be read
    };

    explicit MainWindow(Options options, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Configuration, priority, stored chip and port, English captions, then the
    // command line (arguments without the program name).
    void start(const QStringList& arguments);

    static QString usageMessage(const QString& executableFileName);

    // The windows that the Help button and the menus open, created after this one.
    struct Windows {
        QWidget* help = nullptr;
        QWidget* schematic = nullptr;
        QWidget* hexEditor = nullptr;
        PortDialog* portDialog = nullptr;
    };
    void setWindows(const Windows& windows) { windows_ = windows; }

    // What the port dialog stores and opens, and what tests look at.
    ConfigFile& config() { return config_; }
    LineDriver& link() { return link_; }
    const TargetState& target() const { return target_; }
    DeviceRunner& runner() { return runner_; }
    // The file the next "Write" writes without asking; empty once a run has ended.
    const QString& autoRunFile() const { return autoRunFile_; }

    // OperationView: the phase and result in the first status panel, the progress in
    // the second and the gauge, the port in the third.
    void showPhase(const QString& text) override;
    void showResult(const QString& text, bool failed) override;
    void showProgress(int done, int total, const QString& text) override;
    void showPort(const QString& name) override;
    void showMessage(MessageIcon icon, const QString& caption, const QString& text) override;
    void processEvents() override;
    bool cancelRequested() const override { return cancelRequested_; }
    // A pending close keeps the flag set: the running operation must not clear it.
    void setCancelRequested(bool requested) override { cancelRequested_ = requested || closeRequested_; }
    // The "Erase" button is disabled while an erase runs.
    void eraseStarted() override;
    void eraseEnded() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    // The shared file dialogs; an empty answer means the user cancelled. Filters are
    // written "Description|*.ext|..."; an empty filter or suffix keeps what the dialog
    // was last given.
    virtual QString askOpenFileName(const QString& filter);
    virtual QString askSaveFileName(const QString& filter, const QString& defaultSuffix);

private:
    // MainWindowLayout.cpp
    void buildLayout();  // with the layout's Portuguese captions
    void buildStatusBar();
    void buildMenus();
    void applyEnglishCaptions();

    // MainWindowCommands.cpp
    void connectCommands();
    // Runs a command; a file or Intel HEX error it did not catch ends here, in an
    // "Error" box, and the program goes on.
    void runGuarded(const std::function<void()>& command);
    void writeChip();
    void readChipIntoFile();
    void compareChipWithFile();
    void readFuses();
    void writeFuses();
    void readAvrLock();
    void convertHexToBinFile();
    void convertBinToHexFile();

    // MainWindowOtherWindows.cpp
    void connectOtherWindows();
    QString aboutText() const;  // the "Information" box of Help > About...

    // MainWindow.cpp
    void connectChoices();
    void selectChip(int index);
    void memoryChoiceChanged();
    void normalModeChosen() { chooseWriteMode(WriteMode::Normal); }
    void differentialModeChosen() { chooseWriteMode(WriteMode::Differential); }
    void fastModeChosen() { chooseWriteMode(WriteMode::Fast); }
    void chooseWriteMode(WriteMode mode);
    void reportIfConfigFailed(bool written);
    void raiseProcessPriority();

    // MainWindowView.cpp
    void setUpProgressPainting();
    void progressChanged();
    void showProgressNow();

    TargetState target_;
    LineDriver link_;
    ConfigFile config_;
    DeviceRunner runner_;  // frames every device command; one at a time
    Options options_;
    QString autoRunFile_;
    bool cancelRequested_ = false;
    bool closeRequested_ = false;  // a close came during an operation
    Windows windows_;

    // The progress panel and the gauge are given every byte's values but show them at
    // most this often.
    static constexpr int kProgressPaintMs = 40;
    QElapsedTimer progressShown_;
    QTimer* progressPaintTimer_ = nullptr;  // shows what is left once an operation pauses or ends
    QString progressText_;
    int progressDone_ = 0;
    int progressTotal_ = 0;
    bool progressTextPending_ = false;
    bool gaugePending_ = false;

    QLabel* titleLabel_ = nullptr;
    QPushButton* writeButton_ = nullptr;
    QPushButton* readButton_ = nullptr;
    QPushButton* compareButton_ = nullptr;
    QPushButton* eraseButton_ = nullptr;
    QRadioButton* flashRadio_ = nullptr;
    QRadioButton* eepromRadio_ = nullptr;
    QComboBox* lockLevelList_ = nullptr;  // the 89S lock level
    QPushButton* lockLevelButton_ = nullptr;
    AvrLockGroup* avrLockBits_ = nullptr;
    FuseBitsGroup* fuseBits_ = nullptr;
    QProgressBar* gauge_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* helpButton_ = nullptr;
    QPushButton* exitButton_ = nullptr;
    std::array<QLabel*, 3> statusPanels_{};  // phase or result, progress, port

    QMenu* chipMenu_ = nullptr;
    QMenu* moreChipsMenu_ = nullptr;  // the chips after the first six
    QMenu* writeModeMenu_ = nullptr;
    QMenu* toolsMenu_ = nullptr;
    QMenu* portMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    std::vector<QAction*> chipItems_;  // index = the chip table's; the first six are the "CHIP" values
    QAction* normalModeItem_ = nullptr;
    QAction* differentialModeItem_ = nullptr;
    QAction* fastModeItem_ = nullptr;
    QAction* hexToBinItem_ = nullptr;
    QAction* binToHexItem_ = nullptr;
    QAction* hexEditorItem_ = nullptr;
    QAction* choosePortItem_ = nullptr;
    QAction* helpItem_ = nullptr;
    QAction* schematicItem_ = nullptr;
    QAction* aboutItem_ = nullptr;

    QTimer* closeTimer_ = nullptr;  // asks for the close again once a cancel took effect
    // The shared file dialogs keep their folders and filters between commands.
    std::unique_ptr<FileDialog> openDialog_;
    std::unique_ptr<FileDialog> saveDialog_;
};
