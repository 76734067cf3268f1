// UTirel: the main window. It owns the target state, the serial line and the
// configuration file, turns clicks into calls on the library, and implements the
// view through which device operations and file commands report.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

#include "link/LineDriver.h"
#include "view/OperationView.h"
#include "target/ConfigFile.h"
#include "target/DeviceRunner.h"
#include "target/TargetState.h"

class QAction;
class QCheckBox;
class QComboBox;
class FileDialog;
class QGroupBox;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;
class TEndIO;

class UTirel : public QMainWindow, public OperationView {
    Q_OBJECT
public:
    struct Options {
        QString executablePath;           // kestova.ini sits beside it
        LineDriver::PortOpener opener;    // what stands behind a port name
        int startupPauseMs = 800;         // the pause that lets the splash be read
    };

    explicit UTirel(Options options, QWidget* parent = nullptr);
    ~UTirel() override;

    // The creation handler: configuration, priority, stored chip and port, English
    // captions, then the command line (arguments without the program name).
    void FormCreate(const QStringList& arguments);

    // OperationView
    void setPanelText(int panel, const QString& text) override;
    void setGauge(int progress, int maximum) override;
    void processEvents() override;
    bool cancelRequested() const override { return CancelRequested; }
    // A pending close keeps the flag set: the running operation must not clear it.
    void setCancelRequested(bool requested) override { CancelRequested = requested || closeRequested_; }
    void showMessage(MessageIcon icon, const QString& caption, const QString& text) override;
    QString askOpenFileName(const QString& filter) override;
    QString askSaveFileName(const QString& filter, const QString& defaultSuffix) override;
    void setEraseEnabled(bool enabled) override;
    uint8_t avrFuseBits(bool high) const override;
    void setAvrFuseBits(uint8_t low, uint8_t high) override;
    uint8_t avrLockBits() const override;
    void setAvrLockBits(uint8_t lock) override;

    // Chip menu and memory choice
    void menuAT89S8252Click() { selectChip(0); }
    void menuAT89S8253Click() { selectChip(1); }
    void menuAT89S53Click() { selectChip(2); }
    void menuAT89S52Click() { selectChip(3); }
    void menuAT89S51Click() { selectChip(4); }
    void menuATMEGA8Click() { selectChip(5); }
    void ApplyMemoryChoice();

    // Write-mode menu
    void menuNormalClick();
    void menuDiferencialClick();
    void menuRapidaClick();

    static QString usageMessage(const QString& executableFileName);

    // The windows that the Help button and the menus open, created after this one.
    struct Windows {
        QWidget* help = nullptr;
        QWidget* schematic = nullptr;
        QWidget* hexEditor = nullptr;
        TEndIO* portDialog = nullptr;
    };
    void setWindows(const Windows& windows) { windows_ = windows; }
    // The "Information" box of Help > About...
    QString aboutText() const;

    // Runs a command; a file or Intel HEX error it did not catch ends here, in an
    // "Error" box, and the program goes on.
    void runGuarded(const std::function<void()>& command);

    TargetState target;
    LineDriver link;
    ConfigFile config;
    DeviceRunner runner;  // frames every device command; one at a time
    QString AutoRunFile;
    bool CancelRequested = false;

    // Controls, named as in the layout.
    QLabel* LabelTitle = nullptr;
    QGroupBox* GroupMemory = nullptr;
    QPushButton* ButtonWrite = nullptr;
    QPushButton* ButtonRead = nullptr;
    QPushButton* ButtonCompare = nullptr;
    QPushButton* ButtonErase = nullptr;
    QRadioButton* RadioFlash = nullptr;
    QRadioButton* RadioEeprom = nullptr;
    QGroupBox* GroupLock89S = nullptr;
    QComboBox* ComboLock89S = nullptr;
    QPushButton* ButtonLock89S = nullptr;
    QGroupBox* GroupLockAvr = nullptr;
    std::array<QCheckBox*, 6> CheckBoxLock{};   // bit 0 LB1 .. bit 5 BLB12
    QPushButton* ButtonReadLockAvr = nullptr;
    QPushButton* ButtonLockAvr = nullptr;
    QGroupBox* GroupFuse = nullptr;
    std::array<QCheckBox*, 8> CheckboxFuseH{};  // index = bit of the high fuse byte
    std::array<QCheckBox*, 8> CheckboxFuseL{};  // index = bit of the low fuse byte
    QPushButton* ButtonReadFuse = nullptr;
    QPushButton* ButtonWriteFuse = nullptr;
    QPushButton* ButtonExit = nullptr;
    QPushButton* ButtonHelp = nullptr;
    QPushButton* ButtonCancel = nullptr;
    QProgressBar* Gauge = nullptr;
    std::array<QLabel*, 3> Panels{};

    QMenu* MenuChip = nullptr;
    QMenu* MenuWriteMode = nullptr;
    QMenu* MenuTools = nullptr;
    QMenu* MenuPort = nullptr;
    QMenu* MenuHelp = nullptr;
    std::array<QAction*, 6> ChipItems{};
    QAction* menuNormal = nullptr;
    QAction* menuDiferencial = nullptr;
    QAction* menuRapida = nullptr;
    QAction* menuHexToBin = nullptr;
    QAction* menuBinToHex = nullptr;
    QAction* menuHexEditor = nullptr;
    QAction* menuChoosePort = nullptr;
    QAction* menuHelpItem = nullptr;
    QAction* menuSchematic = nullptr;
    QAction* menuAbout = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildForm();        // the layout, with its Portuguese captions
    void connectHandlers();
    void connectWindowMenus();
    void applyEnglishCaptions();
    void selectChip(int index);
    void reportIfConfigFailed(bool written);
    void raiseProcessPriority();
    void progressChanged();
    void showProgressNow();

    Options options_;
    bool closeRequested_ = false;  // a close came during an operation
    // Panel 1 and the gauge are given every byte's values but show them at most this often.
    static constexpr int kProgressPaintMs = 40;
    QElapsedTimer progressShown_;
    QTimer* progressPaintTimer_ = nullptr;  // shows what is left once an operation pauses or ends
    QString progressText_;
    int gaugeProgress_ = 0;
    int gaugeMaximum_ = 0;
    bool progressTextPending_ = false;
    bool gaugePending_ = false;
    std::unique_ptr<FileDialog> OpenDialog1;
    std::unique_ptr<FileDialog> SaveDialog1;
    Windows windows_;
};
