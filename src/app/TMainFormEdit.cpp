// The commands of the menus "Bearbeiten" and "Effekte": crop and cut, the sample format,
// and the ten effects. The arithmetic lives in the document library; here each command
// asks what it needs, runs it and shows the outcome.
#include <QAction>

#include "Crossfade.h"
#include "Echo.h"
#include "EditResult.h"
#include "EffectSpan.h"
#include "Fades.h"
#include "FormatConversion.h"
#include "RateSteps.h"
#include "Reverse.h"
#include "SelectionEditing.h"
#include "TEchoForm.h"
#include "TMainForm.h"
#include "TSampleFormat.h"
#include "Volume.h"

namespace sonvira {

void TMainForm::ShowEditResult(EditResult result) {
    switch (result) {
        case EditResult::BlockReplaced:
            ZoomOutFullClick();
            PaintBox1Paint();
            break;
        case EditResult::SamplesChanged:
            PaintBox1Paint();
            break;
        default:
            if (IsEditFailure(result))
                ShowMessage(QMessageBox::Critical, Tr(EditResultMessage(result)));
            break;
    }
}

void TMainForm::RunBlockCommand(const std::function<EditResult()>& command) {
    if (Busy()) return;
    StopPlayback();  // the block is replaced: the playback thread must not read it
    ShowEditResult(command());
}

// Asks for a time span (seconds, preset `preset`) and returns it in frames, or -1 when
// the dialog was cancelled.
int64_t TMainForm::AskSpanFrames(double preset) {
    EchoForm->SetSeconds(preset);
    if (EchoForm->exec() != QDialog::Accepted) return -1;
    return SpanFrames(EchoForm->Seconds(), Doc.SampleRate);
}

void TMainForm::CropToSelectionClick() { RunBlockCommand([this] { return CropToSelection(Doc); }); }

void TMainForm::CutSelectionBtnClick() { RunBlockCommand([this] { return CutSelection(Doc); }); }

void TMainForm::ChangeFormatClick() {
    SampleFormatDlg->PresetFrom(Doc);
    if (Doc.DataSize == 0) return;
    if (SampleFormatDlg->exec() != QDialog::Accepted) return;
    RunBlockCommand([this] { return ChangeSampleFormat(Doc, SampleFormatDlg->Target()); });
}

void TMainForm::ConnectEditCommands() {
    const struct {
        const char* item;
        std::function<void()> command;
    } commands[] = {
        {"ZurAuswahlzurechtschneiden1", [this] { CropToSelectionClick(); }},
        {"DieAuswahlwegschneiden1", [this] { CutSelectionBtnClick(); }},
        {"Sampleformatndern1", [this] { ChangeFormatClick(); }},
        {"Echo1",
         [this] {
             if (const int64_t d = AskSpanFrames(0.5); d >= 0) ShowEditResult(Echo(Doc, d));
         }},
        {"Weicheinblenden1",
         [this] {
             if (const int64_t d = AskSpanFrames(2); d >= 0) ShowEditResult(FadeIn(Doc, d));
         }},
        {"Weichausblenden1",
         [this] {
             if (const int64_t d = AskSpanFrames(2); d >= 0) ShowEditResult(FadeOut(Doc, d));
         }},
        {"EndeaufAnfangberblenden1",
         [this] {
             if (const int64_t d = AskSpanFrames(2); d >= 0)
                 RunBlockCommand([this, d] { return CrossfadeEndOntoStart(Doc, d); });
         }},
        {"MaximaleLautstrke1", [this] { ShowEditResult(Normalise(Doc)); }},
        {"Lauter101", [this] { ShowEditResult(Louder(Doc)); }},
        {"Leiser101", [this] { ShowEditResult(Quieter(Doc)); }},
        {"Rckwrts1", [this] { ShowEditResult(Reverse(Doc)); }},
        {"Schneller101", [this] { ShowEditResult(Faster(Doc)); }},
        {"Langsamer101", [this] { ShowEditResult(Slower(Doc)); }},
    };
    for (const auto& c : commands) {
        QAction* item = MenuItem(c.item);
        item->setEnabled(true);
        connect(item, &QAction::triggered, this, [this, command = c.command] {
            if (!Busy()) command();
        });
    }
}

}  // namespace sonvira
