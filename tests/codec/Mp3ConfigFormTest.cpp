#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

#include "TBitBtnXP.h"
#include "TMP3ConfigForm.h"

namespace sonvira {
namespace {

int argc = 1;
char arg0[] = "codec_ui_tests";
char* argv[] = {arg0, nullptr};

class Mp3ConfigForm : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!QApplication::instance()) app = new QApplication(argc, argv);
    }
    static QApplication* app;
};
QApplication* Mp3ConfigForm::app = nullptr;

QStringList Entries(const QComboBox* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->itemText(i);
    return out;
}

TEST_F(Mp3ConfigForm, ListsCaptionsAndDefaults) {
    TMP3ConfigForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("MP3 Ausgabe konfigurieren"));
    EXPECT_EQ(form.GroupBox1->title(), QStringLiteral("MP3 Ausgabe"));
    EXPECT_EQ(Entries(form.mp3format),
              QStringList({"48000", "44100", "32000", "24000", "22050", "16000", "11025"}));
    EXPECT_EQ(Entries(form.BitRate), QStringList({"8", "16", "24", "32", "40", "48", "56", "64", "80",
                                                  "96", "112", "128", "144", "160"}));
    QStringList labels;
    for (const QLabel* l : form.findChildren<QLabel*>()) labels << l->text();
    for (const char* t : {"Samplefrequenz:", "Hz", "Bitrate:", "kBit/Sekunde"})
        EXPECT_TRUE(labels.contains(QString::fromUtf8(t))) << t;
    form.SetDefaults();
    EXPECT_EQ(form.mp3format->currentText(), QStringLiteral("44100"));
    EXPECT_EQ(form.BitRate->currentText(), QStringLiteral("128"));
    const Mp3Settings s = form.Settings();
    EXPECT_EQ(s.sampleRate, 44100);
    EXPECT_EQ(s.bitRate, 128);
}

TEST_F(Mp3ConfigForm, SelectionIsTheSettingAndOkCloses) {
    TMP3ConfigForm form;
    form.SetDefaults();
    form.show();
    form.mp3format->setCurrentIndex(6);
    form.BitRate->setCurrentIndex(0);
    EXPECT_EQ(form.Settings().sampleRate, 11025);
    EXPECT_EQ(form.Settings().bitRate, 8);
    form.OKBtn->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(form.mp3format->accessibleName().isEmpty());
}

}  // namespace
}  // namespace sonvira
