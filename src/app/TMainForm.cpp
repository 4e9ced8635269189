#include "TMainForm.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>

#include <filesystem>

#include "CommandLineRequest.h"
#include "DataFolder.h"
#include "GlobalHotKeys.h"
#include "MessageCatalogue.h"
#include "OptionsFile.h"
#include "PendingFile.h"
#include "PlaybackHotKeys.h"
#include "QtDialogTranslation.h"
#include "RunWhenExposed.h"
#include "SelectionEditing.h"
#include "SonviraApplication.h"
#include "SoundFileExtensions.h"
#include "StartupTranslation.h"
#include "TTranslateForm.h"
#include "TAboutBox.h"
#include "TKeysForm.h"
#include "TEchoForm.h"
#include "TMP3ConfigForm.h"
#include "TMusikCDForm.h"
#include "TOpenDialog.h"
#include "TPaintBox.h"
#include "TProgressPanel.h"
#include "TRecordForm.h"
#include "TSampleFormat.h"

namespace sonvira {
namespace {

QString ProgramFolderOf(const QString& overrideDir) {
    QString dir = overrideDir.isEmpty() ? QCoreApplication::applicationDirPath() : overrideDir;
    if (!dir.endsWith('/')) dir += '/';
    return dir;
}

// Ends the program once its main loop runs (see SonviraApplication::RequestEnd).
void EndProgram() {
    if (auto* app = qobject_cast<SonviraApplication*>(QCoreApplication::instance()))
        app->RequestEnd();
    else
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                  Qt::QueuedConnection);
}

}  // namespace

TMainForm::TMainForm(const QString& appDir, PlatformParts platform, QWidget* parent)
    : QMainWindow(parent) {
    setObjectName("MainForm");
    setWindowTitle("Orlanda Sonvira 1.0");
    QFont font = this->font();
    font.setPointSize(8);
    setFont(font);
    resize(780, 580);
    CommandLine = QCoreApplication::arguments();
    TempFolder = platform.tempFolder;
    ShowMessage = [this](QMessageBox::Icon icon, const QString& text) {
        DefaultShowMessage(icon, text);
    };
    AskOkCancel = [this](const QString& caption, const QString& text) {
        return DefaultAskOkCancel(caption, text);
    };

    BuildLayout();
    BuildMenu();
    CreateTimers();
    CreateDialogs();
    ConnectView();
    ConnectEditCommands();
    ConnectPlaybackControls();
    ConnectFileCommands();
    ConnectLanguageCommands();
    CreateWindowKeys();
    setAcceptDrops(true);

    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    AppDir = ProgramFolderOf(appDir);
    ChooseDataDir();
    FormCreate(platform);
}

// An installed or write-protected copy keeps the files it writes in the user's data
// folder, made and seeded with the shipped translations at the first start (DataFolder.h).
// When that folder cannot be made, the shipped table is at least read where it lies.
void TMainForm::ChooseDataDir() {
    const QByteArray xdgDataHome = qgetenv("XDG_DATA_HOME");
    const std::string programFolder = QFile::encodeName(AppDir).toStdString();
    const DataPlaces places = ChooseDataPlaces(
        programFolder, FolderWritable(programFolder), SONVIRA_DATA_FROM_PROGRAM,
        UserDataFolder(xdgDataHome.isEmpty() ? nullptr : xdgDataHome.constData(),
                       QFile::encodeName(QDir::homePath()).toStdString()));
    std::string problem;
    DataPerUser = places.perUser && PrepareDataFolder(places, problem);
    if (!problem.empty()) qWarning("Sonvira: %s", problem.c_str());
    std::string folder = places.folder;
    if (places.perUser && !DataPerUser)
        folder = places.shippedTable.empty() ? programFolder
                                             : std::filesystem::path(places.shippedTable).parent_path().string() + "/";
    DataDir = QFile::decodeName(QByteArray::fromStdString(folder));
    RemoveLeftoverTempFiles(folder);  // of copies that ended before finishing a save
}

std::string TMainForm::DataFile(const char* name) const {
    return QFile::encodeName(DataDir + QLatin1String(name)).toStdString();
}

// The folder of the file opened last (the recent list, kept in the settings) while it is
// there; otherwise the user's home, or the program's folder for a portable copy.
QString TMainForm::DialogStartFolder() const {
    const std::vector<std::string> recent = Recent.Paths();
    if (!recent.empty()) {
        const QString folder = QFileInfo(QFile::decodeName(QByteArray::fromStdString(recent.front()))).absolutePath();
        if (QFileInfo(folder).isDir()) return folder;
    }
    return DataPerUser ? QDir::homePath() : AppDir;
}

void TMainForm::BuildLayout() {
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* top = new QWidget(central);
    top->setFixedHeight(49);
    BuildTopBar(top);
    auto* transport = new QWidget(central);
    transport->setFixedHeight(104);
    BuildTransportBar(transport);
    PaintBox1 = new TPaintBox(central);
    PaintBox1->Bitmap = &ViewBitmap;
    ScrollBar1 = new QScrollBar(Qt::Horizontal, central);
    ScrollBar1->setObjectName("ScrollBar1");
    ScrollBar1->setFixedHeight(17);
    ScrollBar1->setRange(0, 100);
    ScrollBar1->setSingleStep(10);
    ScrollBar1->setPageStep(100);
    auto* zoom = new QWidget(central);
    zoom->setFixedHeight(40);
    BuildZoomBar(zoom);
    for (QWidget* w : {top, transport}) column->addWidget(w);
    column->addWidget(PaintBox1, 1);
    for (QWidget* w : {static_cast<QWidget*>(ScrollBar1), zoom}) column->addWidget(w);
    setCentralWidget(central);
    BuildStatusBar();
}

void TMainForm::CreateTimers() {
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);
    Timer2 = new QTimer(this);
    Timer2->setObjectName("Timer2");
    Timer2->setInterval(200);
    connect(Timer2, &QTimer::timeout, this, &TMainForm::Timer2Timer);
}

// Every sound file first, the formats FFmpeg reads last. Their descriptions are translated
// on their own, with the window's texts at the first showing: with all the patterns, the
// filter would not fit into one text of the translation table.
void TMainForm::SetSoundFileFilters(const QString& all, const QString& decoded) {
    const std::vector<std::string_view> every = AllSoundExtensions();
    OpenDialog1->SetOuterFilters(
        all + '|' + QString::fromStdString(FilterPatterns(every)),
        decoded + '|' + QString::fromStdString(FilterPatterns(kDecodedSoundExtensions)));
}

// The dialogs in their order of creation, each made once and shown when needed.
void TMainForm::CreateDialogs() {
    OpenDialog1 = new TOpenDialog(this);
    OpenDialog1->SetFilterText("WAV und MP3-Dateien|*.WAV;*.MP3");
    SetSoundFileFilters("Alle Klangdateien", "Weitere Audiodateien");
    OpenDialog1->setDefaultSuffix("WAV");
    SampleFormatDlg = new TSampleFormat(this);
    SampleFormatDlg->setObjectName("SampleFormatDlg");
    AboutBox = new TAboutBox(this);
    KeysForm = new TKeysForm(this);
    EchoForm = new TEchoForm(this);
    EchoForm->setObjectName("EchoForm");
    MP3ConfigForm = new TMP3ConfigForm(this);
    MP3ConfigForm->setObjectName("MP3ConfigForm");
    SaveDialog1 = new TOpenDialog(this);
    SaveDialog1->setObjectName("SaveDialog1");
    SaveDialog1->SetFilterText("MP3-Datei|*.MP3|WAV-Datei|*.WAV");
    // No default suffix of the dialog's own: the command appends the chosen type's
    // extension, so a bare name saved as MP3 does not end up as "name.WAV".
    SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog1->setFileMode(QFileDialog::AnyFile);
    TranslateForm = new TTranslateForm(Translation, this);
}

void TMainForm::ConnectFileCommands() {
    connect(MenuItem("ffnen1"), &QAction::triggered, this, &TMainForm::OpenBtnClick);
    connect(MenuItem("SpeichernalsWAVMP31"), &QAction::triggered, this, &TMainForm::SaveBtnClick);
    // Without a sound there is nothing to save (a WAV of rate 0 that nothing reads).
    connect(findChild<QMenu*>("Datei"), &QMenu::aboutToShow, this,
            [this] { SetEnabledWhenIdle(MenuItem("SpeichernalsWAVMP31"), Doc.DataSize > 0); });
    connect(MenuItem("MP3Ausgabekonfigurieren1"), &QAction::triggered, MP3ConfigForm, &QDialog::exec);
    connect(MenuItem("Beenden1"), &QAction::triggered, this, &QWidget::close);
    connect(MenuItem("Nichtsauswhlen1"), &QAction::triggered, this, &TMainForm::SelectNothingBtnClick);
    connect(MenuItem("Tastenkrzel1"), &QAction::triggered, this, &TMainForm::ShowKeysPage);
    connect(MenuItem("berdasProgramm1"), &QAction::triggered, AboutBox, &QDialog::exec);
    // Commands that need a device stay visible but cannot be chosen until it is found.
    MenuItem("VonMusikCDeinlesen1")->setEnabled(false);
    RecordBtn->setEnabled(false);
}

TMainForm::~TMainForm() {
    // Ending: stop whatever still runs; the output stops its stream thread before it is
    // released, and the document releases its block itself.
    StopRequested = true;
    Playback().SetOutput(nullptr);
}

QAction* TMainForm::MenuItem(const QString& objectName) const {
    return menuItems_.value(objectName, nullptr);
}

void TMainForm::FormCreate(const PlatformParts& platform) {
    ViewBitmap = QImage();
    Playback().TakeFactorsFromFields(SchleifeCheck->isChecked());
    LoadSettings();
    const bool soundOutput = !platform.openOutput || OpenOutput(platform.openOutput);
    if (platform.openCapture) CreateRecorder(platform.openCapture);
    if (platform.openCd) CreateCdImport(platform.openCd());
    EnumerateMp3CodecFormats(Mp3CodecFormats);
    // Each import gets a decoder stream of its own and a copy of the formats: it runs on a
    // worker and may outlive the window when closing gives up on it.
    ImportSound = [formats = Mp3CodecFormats](const std::string& path, const std::string& tempDir,
                                             std::atomic<bool>& stop, const Mp3ImportHooks& hooks,
                                             WavSound& out) {
        TACMConvertor mp3wav = MakeMp3Decoder();
        return OpenSoundFile(path, tempDir, mp3wav, formats, stop, hooks, out);
    };
    // The record array's handler outlives this window; after it, texts go to stderr.
    InstallAllocFailureBox([self = QPointer<TMainForm>(this)](const QString& text) {
        if (self) self->ShowMessage(QMessageBox::Critical, text);
        else qWarning("%s", qPrintable(text));
    });
    const auto showError = [this](const QString& text) { ShowMessage(QMessageBox::Critical, text); };
    const bool tableOpen = OpenTranslationAtCreate(Translation, QFile::encodeName(DataDir).toStdString(), showError);
    if (!soundOutput) ReportNoSoundOutput();
    if (!tableOpen) return;
    if (platform.makeHotKeys) RegisterHotKeys(platform.makeHotKeys(this));
}

bool TMainForm::OpenOutput(const std::function<std::unique_ptr<SoundOutput>()>& open) {
    Playback().SetOutput(open());
    return Playback().HasOutput();
}

// Without sound output the program cannot do its work: it says so and ends as soon as its
// event loop runs; the remaining start-up steps still run. The box comes once the table is
// open, in the stored language, so that a user who chose English or French reads it so.
void TMainForm::ReportNoSoundOutput() {
    Translation.SetLanguageIndex(ReadStoredLanguageIndex(DataFile("options.dat")).value_or(0));
    ShowMessage(QMessageBox::NoIcon, Message(Msg::NoSoundOutput));
    EndProgram();
}

void TMainForm::RegisterHotKeys(GlobalHotKeys* keys) {
    HotKeys = keys;
    connect(HotKeys, &GlobalHotKeys::Activated, this, &TMainForm::GlobalHotKeyPressed);
    connect(HotKeys, &GlobalHotKeys::FocusNeeded, this, &TMainForm::HotKeysNeedFocus);
    RegisterPlaybackHotKeys(*HotKeys);
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FormShow();
}

void TMainForm::FormShow() {
    if (FirstShowDone) return;
    LoadOptions();
    LanguageIndex = StoredLanguageIndex;
    Translation.SetLanguageIndex(LanguageIndex);
    InstallQtDialogTranslation(LanguageIndex, this);
    // The title is kept for the message boxes, not given to Qt as the application's
    // display name: Qt would append that to the caption of every window.
    QList<QWidget*> windows{this, SampleFormatDlg, AboutBox, KeysForm, EchoForm};
    if (RecordForm) windows.append(RecordForm);
    windows.append(MP3ConfigForm);
    if (MusikCDForm) windows.append(MusikCDForm);
    ApplicationTitle = TranslateAtFirstShow(Translation, windows, this, "Sonvira", "Orlanda Sonvira 1.0");
    if (LanguageIndex != 0)
        SetSoundFileFilters(Tr("Alle Klangdateien"), Tr("Weitere Audiodateien"));
    GiveMenusAccessKeys();
    FirstShowDone = true;
    if (hotKeysNeedFocus_) AddHotKeyFocusNote();
    AboutBox->SetWebAddress(Message(Msg::MakersWebAddress));
    MP3ConfigForm->SetDefaults();
    // Opened once the window is on the screen, so that a refusal's box appears over it.
    std::vector<std::string> arguments;
    for (const QString& argument : CommandLine) arguments.push_back(QFile::encodeName(argument).toStdString());
    if (const auto file = FileArgument(arguments))
        RunWhenExposed(this, [this, name = CommandLine[static_cast<qsizetype>(*file)]] { OpenFileWithName(name); });
}

void TMainForm::LoadOptions() {
    // Ticking the stored language's item is no language command.
    loadingOptions_ = true;
    LanguageIndex = 0;
    StoredLanguageIndex = 0;
    MenuItem("Deutsch1")->setChecked(true);
    const auto stored = ReadStoredLanguageIndex(DataFile("options.dat"));
    if (stored) {
        // A value beyond the table's 19 language columns is no language: German.
        StoredLanguageIndex = (*stored >= 0 && *stored <= 18) ? *stored : 0;
        if (StoredLanguageIndex == 1) MenuItem("English1")->setChecked(true);
        if (StoredLanguageIndex == 2) MenuItem("Franais1")->setChecked(true);
    }
    loadingOptions_ = false;
}

void TMainForm::SaveOptions() {
    WriteLanguageIndex(DataFile("options.dat"), LanguageIndex);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // Closing is always allowed; nothing is asked, even for an unsaved sound.
    LeaveCurrentFile();
    SaveFilePlaces();
    if (Job.Running()) {
        // A job ends with the program, without its result or messages.
        Job.Close();
        jobCancellable_ = false;
        StopBtn->setEnabled(false);
        LeaveBusy();
    }
    if (MusikCDForm && MusikCDForm->Ripping()) MusikCDForm->CloseRip();
    StopRequested = true;
    if (OnStopRecording) OnStopRecording();  // a recording ends too, so the program can
    event->accept();
}

void TMainForm::SelectNothingBtnClick() {
    SelectNothing(Doc);
    PaintBox1Paint();
}

void TMainForm::Timer1Timer() {
    Timer1->stop();
    SelectNothingBtnClick();
    ApplyRestoredSelection();
    RestoredSelection.reset();
}

void TMainForm::Timer2Timer() {
    Timer2->stop();
    if (!PendingOpen.isEmpty())
        OpenWhenStopped(std::exchange(PendingOpen, QString()));
    else
        OpenBtnClick();
}


QString TMainForm::Tr(const char* german) {
    return QString::fromStdString(Translation.Translate(german));
}

// Filled when shown: its lines are learnt into the table only by those who look at them.
void TMainForm::ShowKeysPage() {
    KeysForm->Fill([this](const char* german) { return Tr(german); });
    KeysForm->exec();
}

// A refusal names the file and, where known, why, each on a line of its own under the
// message.
QString TMainForm::RefusalText(Msg id, const QString& fileName, const char* why) {
    QString text = Message(id) + QStringLiteral("\n\n") + QDir::toNativeSeparators(fileName);
    if (why && *why) text += QLatin1Char('\n') + Tr(why);
    return text;
}

QString TMainForm::Message(Msg id) {
    return QString::fromStdString(CatalogueText(Translation, id));
}

bool TMainForm::DefaultAskOkCancel(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok | QMessageBox::Cancel,
                    this);
    return box.exec() == QMessageBox::Ok;
}

void TMainForm::DefaultShowMessage(QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, ApplicationTitle, text, QMessageBox::Ok, this);
    box.exec();
}

}  // namespace sonvira
