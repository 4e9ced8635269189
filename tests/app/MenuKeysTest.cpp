// The menus' access keys and the "Tastenkürzel" page, in every shipped language.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QShortcut>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <set>

#include "ControlByName.h"
#include "ProgramKeys.h"
#include "TFloatSpinEdit.h"
#include "TKeysForm.h"
#include "TMainForm.h"
#include "TempDir.h"

namespace sonvira {
namespace {

struct ShippedLanguage : ::testing::TestWithParam<int> {
    test::TempDir dir;
    std::unique_ptr<TMainForm> form;

    void SetUp() override {
        std::filesystem::copy_file(SONVIRA_SHIPPED_TABLE, dir.file("translate.dbf"));
        test::WriteBytes(dir.file("options.dat"), {static_cast<uint8_t>(GetParam()), 0, 0, 0});
        form = std::make_unique<TMainForm>(QString::fromStdString(dir.path().string()));
        form->SetCommandLine({});
        form->FormShow();
    }
};

// Every caption of a group has a key, and no two share one.
void ExpectOwnKeys(const QList<QAction*>& group, const QString& where) {
    std::set<QChar> keys;
    for (const QAction* action : group) {
        if (action->isSeparator()) continue;
        const QString text = action->text();
        const qsizetype mark = text.indexOf(QRegularExpression(QStringLiteral("&[^&]")));
        ASSERT_GE(mark, 0) << where.toStdString() << ": no access key in \"" << text.toStdString() << "\"";
        EXPECT_TRUE(keys.insert(text[mark + 1].toLower()).second)
            << where.toStdString() << ": \"" << text.toStdString() << "\" shares its key";
    }
}

TEST_P(ShippedLanguage, EveryMenuAndItemHasAnAccessKeyOfItsOwn) {
    ExpectOwnKeys(form->menuBar()->actions(), "menu bar");
    for (QAction* title : form->menuBar()->actions()) ExpectOwnKeys(title->menu()->actions(), title->text());
}

// With a factor field focused, Alt and a menu's letter opens the menu and types nothing.
TEST_P(ShippedLanguage, AltWithAMenusLetterOpensItEvenFromAFactorField) {
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    QAction* file = form->menuBar()->actions().first();
    const QString text = file->text();
    const QChar letter = text[text.indexOf('&') + 1].toLower();
    auto* speed = test::Control<TFloatSpinEdit>(*form, "SpeedEd");
    speed->setFocus();
    bool opened = false;
    QTimer::singleShot(300, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            opened = menu == file->menu();
            menu->close();
        }
    });
    QTest::keyClick(speed, static_cast<Qt::Key>(Qt::Key_A + (letter.unicode() - 'a')), Qt::AltModifier);
    QTest::qWait(400);
    EXPECT_TRUE(opened) << text.toStdString();
    EXPECT_DOUBLE_EQ(speed->value(), 1.0);
    form->hide();
}

// Keys of the dialogs' own (a file dialog's Del) are not the window's.
bool OfTheWindowItself(const QObject* object) {
    for (const QObject* o = object->parent(); o; o = o->parent())
        if (qobject_cast<const QDialog*>(o)) return false;
    return true;
}

// The page lists every key the window answers to, in the language shown.
TEST_P(ShippedLanguage, KeysPageListsEveryKeyOfTheWindow) {
    std::set<QString> listed;
    for (const ProgramKey& key : ProgramKeys())
        for (const QString& one : QString::fromLatin1(key.keys).split(QStringLiteral(", "))) listed.insert(one);
    std::vector<QKeySequence> used;
    for (const QShortcut* shortcut : form->findChildren<QShortcut*>())
        if (OfTheWindowItself(shortcut)) used.push_back(shortcut->key());
    for (const QAction* action : form->findChildren<QAction*>())
        if (OfTheWindowItself(action) && !action->shortcut().isEmpty()) used.push_back(action->shortcut());
    ASSERT_FALSE(used.empty());
    for (const QKeySequence& key : used)
        EXPECT_TRUE(listed.count(key.toString(QKeySequence::PortableText))) << key.toString().toStdString();

    auto* page = test::Control<TKeysForm>(*form, "KeysForm");
    QStringList quitRow;
    QTimer::singleShot(0, page, [&] {
        if (page->List->topLevelItemCount() == int(ProgramKeys().size()))
            quitRow << page->List->topLevelItem(7)->text(0) << page->List->topLevelItem(7)->text(1);
        page->accept();
    });
    form->MenuItem("Tastenkrzel1")->trigger();
    const char* quit[] = {"Beenden", "Exit", "Quitter"};
    ASSERT_EQ(quitRow.size(), 2);
    EXPECT_EQ(quitRow[1].toStdString(), quit[GetParam()]);
    EXPECT_TRUE(quitRow[0].endsWith(QStringLiteral("+Q"))) << quitRow[0].toStdString();
}

INSTANTIATE_TEST_SUITE_P(Languages, ShippedLanguage, ::testing::Values(0, 1, 2));

}  // namespace
}  // namespace sonvira
