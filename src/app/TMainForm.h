#pragma once
// The main window: owns the audio document and every long-lived object, builds the
// controls and the menu, runs the start-up steps and carries one handler per command.
// Everything here runs on the window thread.

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QMap>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "AudioDocument.h"
#include "FileMemory.h"
#include "RecentFiles.h"
#include "Mp3CodecFormats.h"
#include "MakeMp3Decoder.h"
#include "OpenSoundFile.h"
#include "TranslationContext.h"
#include "PlaybackController.h"
#include "PlaybackState.h"
#include "SoundOutput.h"
#include "CdAccess.h"
#include "SettingsFile.h"
#include "WaveformViewModel.h"
#include "WindowPlaybackControls.h"
#include "TFloatSpinEdit.h"
#include "BackgroundJob.h"
#include "WindowThreadPost.h"
#include <QPointer>
#include <vector>

namespace sonvira {

class MenuItemNamer;
class TAboutBox;
class TKeysForm;
class GlobalHotKeys;
class TOpenDialog;
class TPaintBox;
class TMP3ConfigForm;
class TSampleFormat;
class TEchoForm;
enum class EditResult;
class TProgressPanel;
class TRecordForm;
class TMusikCDForm;
struct SaveOutcome;
class TTranslateForm;
class CaptureDevice;
struct OpenImport;
enum class Msg : int32_t;

// The platform parts the main window opens at start-up. The program passes the real
// ones; tests leave them out or pass fakes.
struct PlatformParts {
    // Opens the sound output; returning null means there is none (message 16, then the
    // program ends). Left empty: no output is opened and nothing is reported.
    std::function<std::unique_ptr<SoundOutput>()> openOutput;
    // Makes the global hot keys, owned by the given window. Left empty: none.
    std::function<GlobalHotKeys*(QWidget*)> makeHotKeys;
    // Opens the sound input for each recording. Left empty: no recorder ("Aufnehmen"
    // stays disabled).
    std::function<std::unique_ptr<CaptureDevice>()> openCapture;
    // The CD drives: what finds them and what sends them commands (the real SG_IO ones, or
    // a simulated drive). Left empty: no CD import ("Von Musik-CD einlesen..." disabled).
    std::function<CdAccess()> openCd;
    // This copy's own folder for temporary files (see PrivateTempFolder). Left empty: the
    // system's temporary folder, where names are still taken atomically.
    std::string tempFolder;
};

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // `appDir` overrides the program's folder (tests); empty means the executable's folder.
    explicit TMainForm(const QString& appDir = {}, PlatformParts platform = {},
                       QWidget* parent = nullptr);
    ~TMainForm() override;

    // ---- what the window holds that no control shows ----
    // The sound being worked on, with its selection.
    AudioDocument& Document() { return Doc; }
    const AudioDocument& Document() const { return Doc; }
    // The play command's logic without the window: range, stop rule, pause, hot keys,
    // field coupling.
    PlaybackController& Playback() { return playback_; }
    // Playback position, range, pause, both factors and the loop flag, shared with the
    // stream thread (atomics); owned by the controller.
    PlaybackState& PlayState() { return State; }
    // The program's folder, ending in '/'.
    const QString& ProgramFolder() const { return AppDir; }
    // Where options.dat, translate.dbf and settings.conf are kept, ending in '/': the
    // program's folder, or the user's data folder for an installed or write-protected copy.
    const QString& DataFolder() const { return DataDir; }
    // Where the open and save dialogs start: the program's folder, or for a user whose
    // files are kept in their data folder, their home folder.
    QString DialogStartFolder() const;
    // The language column in effect (0 German, 1 English, 2 French, ...).
    int32_t Language() const { return LanguageIndex; }
    // The program's arguments; the first names a sound to open at the first showing.
    // Taken from the application when the window is made; tests replace them before that
    // showing.
    void SetCommandLine(const QStringList& arguments) { CommandLine = arguments; }

    // ---- seams: replaced by tests and by parts of the program made later ----
    // Shows a message box (message kinds as the platform's: error, information, ...).
    // Every box of the program goes through here; tests replace it to record messages
    // instead of opening a modal box.
    std::function<void(QMessageBox::Icon, const QString&)> ShowMessage;
    // Reads a sound file into `out` on the import job's worker thread, as OpenSoundFile
    // does (the default, with a decoder stream of its own); `stop` is set once the job is
    // cancelled and read after each hooks.processEvents. Tests replace it with a decoder
    // they hold up. Must not touch the window.
    std::function<OpenOutcome(const std::string& path, const std::string& tempDir,
                              std::atomic<bool>& stop, const Mp3ImportHooks& hooks, WavSound& out)>
        ImportSound;
    // Raises the recorder's own stop request (set by the recorder when it exists).
    std::function<void()> OnStopRecording;
    // Whether "Aufnehmen" can be used (the recorder exists).
    bool RecordBtnAvailable = false;
    // Asks a question with OK and Cancel under the given caption, with the error icon;
    // true for OK. Tests replace it to answer without a modal box.
    std::function<bool(const QString& caption, const QString& text)> AskOkCancel;

    // Menu items by their object names (e.g. "ffnen1", "Weicheinblenden1").
    QAction* MenuItem(const QString& objectName) const;

    // ---- long work ----
    // Whether a job (an import, a CD rip) or a recording runs: every command that would
    // change the sound, play, open or save, start another job or change the language is
    // refused meanwhile; only the job's own cancel is live.
    bool Busy() const;
    // The running job's cancel (STOP and Esc during an import): it ends at its next check.
    void CancelJob();

    // ---- start-up and ending ----
    void FormCreate(const PlatformParts& platform);
    void FormShow();
    void LoadOptions();
    void SaveOptions();

    // ---- the "Sprache" menu ----
    // Choose the language column for the next start: the item is ticked, the choice kept
    // in options.dat, and message 1 (already in the chosen language) asks for a restart.
    void Deutsch1Click();
    void English1Click();
    void Franais1Click();
    // The translation editor on translate.dbf, every column 300 pixels wide; when it has
    // closed, message 1 asks for a restart (window texts take translations at start-up).
    void bersetzen1Click();

    // ---- commands ----
    void OpenBtnClick();
    void OpenFileWithName(const QString& fileName);
    // Opens `fileName` as "Öffnen..." does once a file is chosen; while a sound plays or
    // records, that ends first (a drop, "Zuletzt geöffnet").
    void OpenWhenStopped(const QString& fileName);
    // The file the sound was opened from, absolute; empty for a recording, a CD track or
    // no sound.
    const QString& OpenedFile() const { return CurrentFile; }
    void SelectNothingBtnClick();
    void Timer1Timer();
    void Timer2Timer();

    // ---- the waveform view (sample positions, columns) ----
    void PaintBox1Paint();  // draws the whole view now
    void ZoomOutEdChange();
    void ZoomOutFullClick();
    void ZoomInFullClick();
    void ZoomSelClick();
    void ZoomKleinerBtnClick();
    void ZoomGroesserBtnClick();
    void BackBtnClick();
    void PaintBox1MouseDown(int x);
    void PaintBox1MouseMove(int x, bool leftButton);
    void PaintBox1MouseUp(int x);
    // The sample position under column x, limited to the sound (-1 when it is empty).
    int32_t SamplePositionAt(int x) const;
    // The view's scroll position and zoom as its controls hold them.
    ViewGeometry CurrentView() const;

    // ---- recording ----
    // "Aufnehmen": records from the sound input until STOP (or closing, or the largest
    // sound the program can hold) and makes the recording the sound. Returns when the
    // recording has been taken over.
    void RecordBtnClick();

    // ---- CD import ----
    // "Von Musik-CD einlesen...": finds the drives on first use, shows the CD import
    // dialog, and makes what a rip read the sound.
    void MusikCDBtnClick();

    // ---- playback ----
    // "F11 -Abspielen": plays the selection or the whole sound until STOP, the end, or
    // closing; returns when playback has ended.
    void PlayBtnClick();
    void StopBTNClick();
    void PauseBtnClick();
    void SpeedEdChange();
    void PitchEdChange();
    // A hot key: 0 plays or pauses, 1 slows down, 2 speeds up by 0.1.
    void HotKeyPressed(int id);
    // The same, delivered by the desktop while any program has the focus.
    void GlobalHotKeyPressed(int id);
    // The same, pressed while this window has the focus.
    void WindowHotKeyPressed(int id);
    // Space in the window (see TMainFormKeys.cpp).
    void SpaceKeyPressed();
    // The hot keys only work while the window has the focus on this desktop: the hint
    // label says so once, in the window's language (at the first showing, if not yet).
    void HotKeysNeedFocus();
    // "Stimmen Effekt dauerhaft anwenden...": the current pitch into the samples (through
    // the high-quality engine while it is chosen), the speed into the rate; both fields
    // back to 1.
    void DoEffektClick();
    // "Hohe Klangqualität": playback through the high-quality engine (kept in settings.conf).
    void HighQualityCheckClick(bool on);

    // ---- editing and effects ----
    void CropToSelectionClick();
    void CutSelectionBtnClick();
    void ChangeFormatClick();
    // Stops a running playback and waits until its thread has ended (before the block
    // is replaced or shortened).
    void StopPlayback();

    // "Speichern als WAV/MP3...": the whole sound as WAV or MP3, by the chosen file type.
    void SaveBtnClick();

    // A German program text, and a message of the catalogue, in the current language.
    QString Tr(const char* german);
    QString RefusalText(Msg id, const QString& fileName, const char* why);
    QString Message(Msg id);

    // ---- progress in the status bar (0 … 100) ----
    void SetProStatus(int32_t percent);
    // Moves the playback position (frames); a running playback continues from there.
    void SetPlayPosition(double frame);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // ---- the audio document and the state the commands share ----
    AudioDocument Doc;
    WindowPlaybackControls playbackControls_{*this};
    PlaybackController playback_{Doc, playbackControls_};
    PlaybackState& State = playback_.State();
    std::atomic<bool>& StopRequested = playback_.StopRequested();
    int32_t PlayMarkerX = 0;
    QImage ViewBitmap;
    QString AppDir;  // the program's folder, ending in '/'
    QString DataDir;  // see DataFolder()
    std::string TempFolder;  // see PlatformParts::tempFolder
    bool DataPerUser = false;
    void ChooseDataDir();
    // The local path of one of the program's files in DataDir ("options.dat", ...).
    std::string DataFile(const char* name) const;
    // settings.conf beside options.dat: the program's own settings ("Hohe Klangqualität").
    SettingsFile Settings{std::string()};
    static constexpr char kHighQualitySetting[] = "playback.high_quality";
    // The "Zuletzt geöffnet" list and where the user was in each file, kept in Settings.
    RecentFiles Recent;
    FileMemory Memory;
    QString CurrentFile;       // see OpenedFile()
    std::optional<FileStamp> CurrentStamp;  // that file's state when it was opened
    QString PendingOpen;       // a file to open once playback has ended
    // The selection remembered for the file just opened, put back after Timer1's clearing.
    std::optional<FilePlace> RestoredSelection;
    QMenu* RecentMenu = nullptr;
    QObject* RecentItems = nullptr;  // owns the menu's file items
    struct {
        int id = -1;
        bool global = false;
        QElapsedTimer when;
    } LastHotKey;  // the last hot key acted on, and which way it came
    bool SecondDeliveryOfAHotKey(int id, bool global);
    int32_t LanguageIndex = 0;
    int32_t StoredLanguageIndex = 0;
    bool FirstShowDone = false;
    QStringList CommandLine;
    // The program's title, translated at the first showing: every message box's caption.
    QString ApplicationTitle = "Sonvira";

    // The translation table with its index and the current language column.
    TranslationContext Translation;
    // The MP3 formats the decoder offers (each import opens a decoder stream of its own).
    Mp3FormatList Mp3CodecFormats;

    // ---- controls (names as the commands refer to them; each carries its name as its
    // object name too, by which tests find it) ----
    QPushButton* OpenBtn = nullptr;
    TFloatSpinEdit* SpeedEd = nullptr;
    TFloatSpinEdit* PitchEd = nullptr;
    QCheckBox* PitchSpeedCombineCheck = nullptr;
    TFloatSpinEdit* SpulEd = nullptr;
    QPushButton* PlayBtn = nullptr;
    QPushButton* RecordBtn = nullptr;
    QPushButton* StopBtn = nullptr;
    QPushButton* PauseBtn = nullptr;
    QCheckBox* SchleifeCheck = nullptr;
    QCheckBox* HighQualityCheck = nullptr;  // "Hohe Klangqualität": the high-quality engine
    QPushButton* DoEffektBtn = nullptr;
    QLabel* HintLabel = nullptr;
    TPaintBox* PaintBox1 = nullptr;
    QScrollBar* ScrollBar1 = nullptr;
    QSpinBox* ZoomOutEd = nullptr;
    QLabel* StatusText = nullptr;
    TProgressPanel* ProgressPanel = nullptr;
    TOpenDialog* OpenDialog1 = nullptr;
    TSampleFormat* SampleFormatDlg = nullptr;
    TAboutBox* AboutBox = nullptr;
    TKeysForm* KeysForm = nullptr;
    TEchoForm* EchoForm = nullptr;
    TMP3ConfigForm* MP3ConfigForm = nullptr;
    TOpenDialog* SaveDialog1 = nullptr;
    TRecordForm* RecordForm = nullptr;
    TMusikCDForm* MusikCDForm = nullptr;
    TTranslateForm* TranslateForm = nullptr;
    // Shared with the CD dialog's rips: a rip given up over a hanging read keeps the drive's
    // transport alive until the read returns.
    std::shared_ptr<CdAccess> Cd;
    bool DrivesSearched = false;
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    GlobalHotKeys* HotKeys = nullptr;
    bool hotKeysNeedFocus_ = false;
    static constexpr int kMarkerStepMs = 16;

    void BuildLayout();
    void CreateTimers();
    void CreateDialogs();
    void SetSoundFileFilters(const QString& all, const QString& decoded);
    void ConnectFileCommands();
    void BuildTopBar(QWidget* bar);
    void BuildTransportBar(QWidget* bar);
    void BuildZoomBar(QWidget* bar);
    void BuildStatusBar();
    void BuildMenu();
    QAction* AddMenuItem(QMenu* menu, const QString& caption, MenuItemNamer& namer);
    // Starts importing `fileName` as a job; what it read becomes the sound when it ends.
    // `thenClearSelection`: the open dialog's way (Timer1 runs once the sound is in).
    void OpenCommonSteps(const QString& fileName, bool thenClearSelection = false);
    void TakeOverImport(OpenImport& import, const QString& fileName, bool thenClearSelection);
    // Runs `work` as the window's job: the busy state from now until `finished` has run
    // on the window thread. A cancellable job's cancel is STOP meanwhile.
    void RunJob(std::function<void(JobContext&)> work, std::function<void()> finished, bool cancellable = true);
    // Runs `work` on the sound as a job: playback stops, the sound is lent to the worker
    // (the window keeps only its selection and format, the view its last picture) and is
    // back when `finished` runs. An exception from the work is shown in an error box instead.
    void RunSoundJob(std::function<void(AudioDocument&, JobContext&)> work, std::function<void()> finished,
                     bool cancellable);
    bool soundLent_ = false;
    // The busy state's controls: disabled on entering, given back their state on leaving.
    void EnterBusy();
    void LeaveBusy();
    std::vector<QObject*> IdleOnlyControls() const;
    // Enables or disables one of the idle-only controls; while busy, the state it gets back.
    void SetEnabledWhenIdle(QObject* control, bool enabled);
    bool jobCancellable_ = false;
    std::vector<std::pair<QPointer<QObject>, bool>> busyControls_;
    bool busy_ = false;
    void BuildRecentMenu(QMenu* fileMenu, MenuItemNamer& namer);
    void RebuildRecentMenu();
    void LoadFilePlaces();
    void SaveFilePlaces();
    FilePlace CurrentPlace() const;
    void LeaveCurrentFile();
    void SavedOverOpenedFile(const QString& savedName);
    void EnterFile(const QString& fileName);
    void RestorePlace(const FilePlace& place);
    void ApplyRestoredSelection();
    void CreateWindowKeys();
    void GiveMenusAccessKeys();
    void ShowKeysPage();
    // Draws the whole view into ViewBitmap at the view's current size.
    void DrawViewBitmap();
    void ConnectView();
    void ConnectEditCommands();
    void ConnectPlaybackControls();
    void ConnectLanguageCommands();
    void ChooseLanguage(int32_t index, const char* item);
    void LoadSettings();
    bool loadingOptions_ = false;
    bool OpenOutput(const std::function<std::unique_ptr<SoundOutput>()>& open);
    void ReportNoSoundOutput();
    void RegisterHotKeys(GlobalHotKeys* keys);
    void AddHotKeyFocusNote();
    void CreateRecorder(std::function<std::unique_ptr<CaptureDevice>()> openCapture);
    void CreateCdImport(CdAccess access);
    void TakeOverRip();
    void CentreOnScreen(QWidget* dialog);
    QString LargestSoundMessage();
    void ShowRecordingTime();
    void TakeOverRecording();
    // Moves the play marker to column x and shows the change.
    void MovePlayMarker(int32_t x);
    friend class WindowPlaybackControls;
    void SetTransportPlaying(bool playing);
    void ShowEditResult(EditResult result);
    // Runs an editing command on the sound as a job and shows its outcome.
    void RunEditCommand(std::function<EditResult(AudioDocument&)> command);
    int64_t AskSpanFrames(double preset);
    void RunSpanCommand(double presetSeconds, EditResult (*effect)(AudioDocument&, int64_t));
    void ShowSaveOutcome(const SaveOutcome& outcome, const std::string& name);
    void DefaultShowMessage(QMessageBox::Icon icon, const QString& text);
    bool DefaultAskOkCancel(const QString& caption, const QString& text);

    QMap<QString, QAction*> menuItems_;
    // Declared last: destroyed first, so its work never outlives what it reports to.
    BackgroundJob Job{QueuedOn(this)};
};

}  // namespace sonvira
