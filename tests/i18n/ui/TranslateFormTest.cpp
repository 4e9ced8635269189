#include "TDBGrid.h"
#include "TDBNavigator.h"
#include "TTranslateForm.h"
#include "TranslateWindows.h"
#include "TranslationContext.h"
#include "TranslationRecordSet.h"
#include "Win1252.h"

#include "ControlByName.h"
#include "TempDir.h"
#include "TestApplication.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

namespace sonvira {
namespace {

using test::Control;
using test::ReadBytes;
using test::TempDir;

using test::App;

// The editor on a real translate.dbf with four records.
struct EditorFixture : ::testing::Test {
    TempDir dir;
    TranslationContext translation;
    std::unique_ptr<TTranslateForm> form;

    void SetUp() override {
        App();
        translation.OpenTranslationTable(dir.file("translate.dbf"));
        for (const char* german : {"Datei", "Öffnen...", "DATEIEN", "Über das Programm..."}) {
            const std::string row[] = {Utf8ToWin1252(german)};
            translation.Table().AppendRecord(row);
        }
        translation.BuildTranslationIndex();
        Show();
    }
    void Show() {
        form = std::make_unique<TTranslateForm>(translation, nullptr);
        form->Prepare();
        form->show();
    }
    TDBGrid* Grid() { return Control<TDBGrid>(*form, "DBGrid1"); }
    QLineEdit* GermanEdit() { return Control<QLineEdit>(*form, "DBEdit1"); }
    QToolButton* Nav(const char* name) { return Control<QToolButton>(*form, name); }
    QString StatusText() { return Control<QStatusBar>(*form, "StatusBar1")->currentMessage(); }
    std::vector<std::string> GridGerman() {
        std::vector<std::string> out;
        for (int r = 0; r < Grid()->model()->rowCount(); ++r)
            out.push_back(Grid()->model()->index(r, 0).data().toString().toStdString());
        return out;
    }
    void Search(const char* text) {
        Control<QLineEdit>(*form, "FilterEdit")->setText(QString::fromUtf8(text));
        QTest::mouseClick(Control<QPushButton>(*form, "FilterBtn"), Qt::LeftButton);
    }
    // Types into the grid's in-place editor of a cell, as a user does, without leaving it.
    void TypeIntoCell(int row, int column, const QString& text) {
        const QModelIndex cell = Grid()->model()->index(row, column);
        Grid()->setCurrentIndex(cell);
        Grid()->edit(cell);
        auto* editor = Grid()->viewport()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, text);
    }
};

TEST_F(EditorFixture, SearchShowsMatchingRecordsAndClosingSwitchesItOff) {
    EXPECT_EQ(Grid()->model()->columnCount(), 19);
    EXPECT_EQ(Grid()->model()->headerData(0, Qt::Horizontal).toString(), "LANGUAGE1");
    Search("datei");
    EXPECT_EQ(GridGerman(), (std::vector<std::string>{"Datei", "DATEIEN"}));
    EXPECT_EQ(GermanEdit()->text(), "Datei") << "the filtered records from the first one";
    Search("über");
    EXPECT_TRUE(GridGerman().empty()) << "umlauts are compared as they are";
    Search("");
    EXPECT_EQ(GridGerman().size(), 4u);

    Search("programm");
    ASSERT_EQ(GridGerman().size(), 1u);
    form->close();  // the close box
    EXPECT_FALSE(form->Records().Filtered());
    EXPECT_EQ(GridGerman().size(), 4u);
}

// A translation typed into the grid is written when the row is left, and Translate uses it
// at once; the German text typed into the edit box is written by "Zurück...".
TEST_F(EditorFixture, EditsReachTheFileAndTheNextLookup) {
    translation.SetLanguageIndex(1);
    TypeIntoCell(1, 1, "Open...");
    EXPECT_EQ(translation.Table().Value(2, 1), "") << "not yet posted";
    Grid()->setFocus();  // the editor commits when it loses the focus
    Grid()->setCurrentIndex(Grid()->model()->index(2, 1));
    EXPECT_EQ(translation.Table().Value(2, 1), "Open...");
    EXPECT_EQ(translation.Translate("Öffnen..."), "Open...");

    EXPECT_EQ(GermanEdit()->text(), "DATEIEN");
    GermanEdit()->setFocus();
    GermanEdit()->selectAll();
    QTest::keyClicks(GermanEdit(), "Dateien");
    EXPECT_EQ(Grid()->model()->index(2, 0).data().toString(), "Dateien");
    EXPECT_EQ(translation.Table().Value(3, 0), "DATEIEN");
    QTest::mouseClick(Control<QPushButton>(*form, "BackBtn"), Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(translation.Table().Value(3, 0), "Dateien");
}

// A cell still being edited when the window is closed is not lost.
TEST_F(EditorFixture, CloseBoxPostsTheCellBeingEdited) {
    Search("programm");
    TypeIntoCell(0, 2, "À propos...");
    form->close();
    EXPECT_EQ(Win1252ToUtf8(translation.Table().Value(4, 2)), "À propos...");
    EXPECT_FALSE(form->Records().Filtered());
}

TEST_F(EditorFixture, NavigatorInsertsPostsCancelsAndDeletesAfterAsking) {
    EXPECT_FALSE(Nav("nbFirst")->isEnabled());
    EXPECT_FALSE(Nav("nbPost")->isEnabled());
    Nav("nbLast")->click();
    EXPECT_EQ(GermanEdit()->text(), "Über das Programm...");
    EXPECT_FALSE(Nav("nbNext")->isEnabled());

    Nav("nbInsert")->click();
    EXPECT_EQ(Grid()->model()->rowCount(), 5);
    EXPECT_EQ(GermanEdit()->text(), "");
    EXPECT_TRUE(Nav("nbPost")->isEnabled());
    QTest::keyClicks(GermanEdit(), "Neu");
    Nav("nbPost")->click();
    EXPECT_EQ(translation.Table().RecordCount(), 5u);
    EXPECT_EQ(translation.Table().Value(5, 0), "Neu");

    Nav("nbEdit")->click();
    QTest::keyClicks(GermanEdit(), "er Text");
    Nav("nbCancel")->click();
    EXPECT_EQ(GermanEdit()->text(), "Neu");
    EXPECT_EQ(translation.Table().Value(5, 0), "Neu");

    QStringList asked;
    bool answer = false;
    form->ConfirmDelete = [&](const QString& text) {
        asked << text;
        return answer;
    };
    Nav("nbDelete")->click();
    EXPECT_EQ(asked, QStringList("Datensatz löschen?"));
    EXPECT_FALSE(translation.Table().IsDeleted(5));
    answer = true;
    Nav("nbDelete")->click();
    EXPECT_TRUE(translation.Table().IsDeleted(5));
    EXPECT_EQ(Grid()->model()->rowCount(), 4);
    EXPECT_EQ(GermanEdit()->text(), "Über das Programm...");

    Nav("nbFirst")->click();
    EXPECT_EQ(GermanEdit()->text(), "Datei");
    Nav("nbNext")->click();
    EXPECT_EQ(GermanEdit()->text(), "Öffnen...");
}

// A write-protected or damaged table is shown, every change refused, the reason in the
// status bar, and the file never written.
TEST_F(EditorFixture, ReadOnlyTableIsShownButNotChanged) {
    const auto bytes = ReadBytes(dir.file("translate.dbf"));
    const struct {
        const char* name;
        std::vector<uint8_t> file;
        const char* status;
    } cases[] = {
        {"write-protected", bytes, "Die Übersetzungstabelle ist schreibgeschützt. Änderungen sind nicht möglich."},
        {"damaged", std::vector<uint8_t>(bytes.begin(), bytes.end() - 10),
         "Die Übersetzungstabelle ist beschädigt und wird nur angezeigt, damit nichts verloren geht. "
         "Änderungen sind nicht möglich."},
    };
    for (const auto& c : cases) {
        test::WriteBytes(dir.file("translate.dbf"), c.file);
        translation.Table().Close();
        translation.Table().SetReadOnly(true);
        translation.Table().Open(dir.file("translate.dbf"));
        form->Prepare();
        EXPECT_EQ(StatusText(), QString::fromUtf8(c.status)) << c.name;
        EXPECT_GT(Grid()->model()->rowCount(), 2) << c.name;
        for (const char* name : {"nbInsert", "nbDelete", "nbEdit", "nbPost", "nbCancel"})
            EXPECT_FALSE(Nav(name)->isEnabled()) << c.name << " " << name;
        EXPECT_TRUE(Nav("nbNext")->isEnabled()) << c.name;
        EXPECT_TRUE(GermanEdit()->isReadOnly()) << c.name;
        const QModelIndex cell = Grid()->model()->index(0, 1);
        EXPECT_FALSE(Grid()->model()->flags(cell) & Qt::ItemIsEditable) << c.name;
        EXPECT_FALSE(Grid()->model()->setData(cell, "File")) << c.name;
        Nav("nbInsert")->click();
        QTest::mouseClick(Control<QPushButton>(*form, "BackBtn"), Qt::LeftButton);
        EXPECT_EQ(ReadBytes(dir.file("translate.dbf")), c.file) << c.name;
        form->show();
    }
}

// The walk translates the editor's caption and buttons but nothing bound to the table:
// not the German text in the edit box, not the grid, not the navigator's glyphs. The
// navigator buttons' names for screen readers are the program's own words and do go
// through the table.
TEST_F(EditorFixture, WindowWalkLeavesTheTableBoundControlsAlone) {
    const std::string back[] = {Utf8ToWin1252("Zurück..."), "Back..."};
    translation.Table().AppendRecord(back);
    TranslationContext fresh;
    fresh.OpenTranslationTable(dir.file("translate.dbf"));
    fresh.BuildTranslationIndex();
    fresh.SetLanguageIndex(1);
    TTranslateForm walked(fresh, nullptr);
    walked.Prepare();
    const uint32_t before = fresh.Table().RecordCount();
    TranslateWindows(&walked, fresh);
    EXPECT_EQ(Control<QPushButton>(walked, "BackBtn")->text(), "Back...");
    EXPECT_EQ(Control<QLineEdit>(walked, "DBEdit1")->text(), "Datei");
    std::vector<std::string> added;
    for (uint32_t r = before + 1; r <= fresh.Table().RecordCount(); ++r)
        added.push_back(Win1252ToUtf8(fresh.Table().Value(r, 0)));
    EXPECT_EQ(added, (std::vector<std::string>{"Übersetzen", "Suchen", "Erster Datensatz", "Vorheriger Datensatz",
                                               "Nächster Datensatz", "Letzter Datensatz", "Datensatz einfügen",
                                               "Datensatz löschen", "Datensatz bearbeiten", "Datensatz speichern",
                                               "Bearbeitung abbrechen", "Daten aktualisieren"}));
}

}  // namespace
}  // namespace sonvira
