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

void TMainForm::RunEditCommand(std::function<EditResult(AudioDocument&)> command) {
    if (Busy()) return;
    if (Doc.DataSize == 0) {
        ShowEditResult(command(Doc));  // nothing to work on: the command says so at once
        return;
    }
    auto result = std::make_shared<EditResult>(EditResult::Unchanged);
    // An edit half done cannot be taken back, so it is not cancelled; it is bounded work.
    RunSoundJob([command = std::move(command), result](AudioDocument& doc, JobContext&) { *result = command(doc); },
                [this, result] { ShowEditResult(*result); }, false);
}

// Asks for a time span (seconds, preset `preset`) and returns it in frames, or -1 when
// the dialog was cancelled.
int64_t TMainForm::AskSpanFrames(double preset) {
    EchoForm->SetSeconds(preset);
    if (EchoForm->exec() != QDialog::Accepted) return -1;
    return SpanFrames(EchoForm->Seconds(), Doc.SampleRate);
}

// An effect over a time span: asks for the span, then runs the effect with it.
void TMainForm::RunSpanCommand(double presetSeconds, EditResult (*effect)(AudioDocument&, int64_t)) {
    if (const int64_t span = AskSpanFrames(presetSeconds); span >= 0)
        RunEditCommand([effect, span](AudioDocument& doc) { return effect(doc, span); });
}

void TMainForm::CropToSelectionClick() { RunEditCommand(&CropToSelection); }

void TMainForm::CutSelectionBtnClick() { RunEditCommand(&CutSelection); }

void TMainForm::ChangeFormatClick() {
    SampleFormatDlg->PresetFrom(Doc);
    if (Doc.DataSize == 0) return;
    if (SampleFormatDlg->exec() != QDialog::Accepted) return;
    RunEditCommand([target = SampleFormatDlg->Target()](AudioDocument& doc) { return ChangeSampleFormat(doc, target); });
}

void TMainForm::ConnectEditCommands() {
    const struct {
        const char* item;
        std::function<void()> command;
    } commands[] = {
        {"ZurAuswahlzurechtschneiden1", [this] { CropToSelectionClick(); }},
        {"DieAuswahlwegschneiden1", [this] { CutSelectionBtnClick(); }},
        {"Sampleformatndern1", [this] { ChangeFormatClick(); }},
        {"Echo1", [this] { RunSpanCommand(0.5, &Echo); }},
        {"Weicheinblenden1", [this] { RunSpanCommand(2, &FadeIn); }},
        {"Weichausblenden1", [this] { RunSpanCommand(2, &FadeOut); }},
        {"EndeaufAnfangberblenden1", [this] { RunSpanCommand(2, &CrossfadeEndOntoStart); }},
        {"MaximaleLautstrke1", [this] { RunEditCommand(&Normalise); }},
        {"Lauter101", [this] { RunEditCommand(&Louder); }},
        {"Leiser101", [this] { RunEditCommand(&Quieter); }},
        {"Rckwrts1", [this] { RunEditCommand(&Reverse); }},
        {"Schneller101", [this] { RunEditCommand(&Faster); }},
        {"Langsamer101", [this] { RunEditCommand(&Slower); }},
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
