// Every German text the program shows has an English and a French row in the shipped
// translations. The texts are computed from the program itself: the window walk of a
// start in English with every window made (the recorder and the CD import too), the
// message catalogue, the texts the code translates at run time, and the edit messages.
// A new control or message without a translation fails here.
#include <gtest/gtest.h>

#include <QApplication>

#include <filesystem>
#include <fstream>
#include <map>
#include <cctype>
#include <set>
#include <sstream>

#include "CdAccess.h"
#include "ControlByName.h"
#include "EditResult.h"
#include "FakeCaptureDevice.h"
#include "ShippedTranslations.h"
#include "SimulatedCdDrive.h"
#include "TMainForm.h"
#include "TPaintBox.h"
#include "TempDir.h"
#include "TranslationContext.h"
#include "Win1252.h"

namespace sonvira {
namespace {

class NoDevices final : public CdSystemCalls {
public:
    std::vector<std::string> ListDirectory(const std::string&) override { return {}; }
    int Open(const std::string&, int) override { return -1; }
    int Close(int) override { return 0; }
    int Ioctl(int, unsigned long, void*) override { return -1; }
};

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') + 1 - first);
}

// What one start in English passes through the table: the walk and the catalogue.
std::set<std::string> TextsOfAStart() {
    test::TempDir dir;
    test::WriteBytes(dir.file("options.dat"), {1, 0, 0, 0});
    FakeCaptureDevice input;
    PlatformParts parts;
    parts.openCapture = [&input] { return input.Share(); };
    parts.openCd = [] {
        CdAccess access;
        access.Calls = std::make_unique<NoDevices>();
        access.Transport = std::make_unique<SimulatedCdTransport>();
        return access;
    };
    std::set<std::string> texts;
    {
        TMainForm form(QString::fromStdString(dir.path().string()), std::move(parts));
        form.SetCommandLine({});
        form.ShowMessage = [](QMessageBox::Icon, const QString&) {};
        test::Control<TPaintBox>(form, "PaintBox1")->resize(100, 100);
        form.FormShow();
    }
    TranslationContext table;
    table.OpenTranslationTable(dir.file("translate.dbf"));
    for (uint32_t r = 1; r <= table.Table().RecordCount(); ++r) texts.insert(Win1252ToUtf8(table.Table().Value(r, 0)));
    return texts;
}

// The string literals at `at` (adjacent ones joined as the compiler joins them) when the
// call's argument is nothing else; false otherwise.
bool LiteralArgument(const std::string& source, std::size_t at, std::string& text) {
    const auto skipBlanks = [&] {
        while (at < source.size() && std::isspace(static_cast<unsigned char>(source[at]))) ++at;
    };
    text.clear();
    bool any = false;
    for (skipBlanks(); at < source.size() && source[at] == '"'; skipBlanks()) {
        for (++at; at < source.size() && source[at] != '"'; ++at) {
            if (source[at] == '\\') text += source[at++];
            text += source[at];
        }
        ++at;
        any = true;
    }
    return any && at < source.size() && source[at] == ')';
}

// The literal texts handed to Tr(...) or Translate(...) in the program's sources.
std::set<std::string> TextsTranslatedInTheCode() {
    std::set<std::string> texts;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(SONVIRA_SOURCE_DIR "/src")) {
        const auto ext = entry.path().extension();
        if (ext != ".cpp" && ext != ".h") continue;
        std::ifstream in(entry.path());
        std::stringstream buffer;
        buffer << in.rdbuf();
        const std::string source = buffer.str();
        for (const std::string call : {"Tr(", "Translate("}) {
            for (auto at = source.find(call); at != std::string::npos; at = source.find(call, at + 1)) {
                if (at > 0 && (std::isalnum(static_cast<unsigned char>(source[at - 1])) || source[at - 1] == '_'))
                    continue;
                std::string text;
                if (LiteralArgument(source, at + call.size(), text)) texts.insert(text);
            }
        }
    }
    return texts;
}

std::map<std::string, ShippedTranslation> Shipped() {
    std::ifstream source(SONVIRA_SOURCE_DIR "/src/i18n/shipped/translations.tsv");
    std::map<std::string, ShippedTranslation> rows;
    for (auto& row : ReadShippedTranslations(source)) rows[row.German] = row;
    return rows;
}

// The parts of a file-type filter after each '|' are patterns: the same in every language.
std::vector<std::string> FilterPatterns(const std::string& text) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    std::string part;
    for (int i = 0; std::getline(in, part, '|'); ++i)
        if (i % 2 == 1) parts.push_back(part);
    return parts;
}

long Count(const std::string& text, const std::string& what) {
    long n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
    return n;
}

TEST(ShippedTranslations, EveryTextTheProgramShowsHasEnglishAndFrench) {
    std::set<std::string> texts = TextsOfAStart();
    ASSERT_GT(texts.size(), 100u);
    for (const std::string& text : TextsTranslatedInTheCode()) texts.insert(text);
    for (auto result : {EditResult::InvalidFloatingPoint, EditResult::SoundTooShort, EditResult::SizeTooLarge,
                        EditResult::RateOutOfRange, EditResult::OutOfMemory})
        texts.insert(EditResultMessage(result));

    const auto shipped = Shipped();
    std::string missing;
    for (const std::string& raw : texts) {
        const std::string text = Trimmed(raw);
        if (text.empty()) continue;
        const auto row = shipped.find(text);
        if (row == shipped.end()) {
            missing += "\n  " + text;
            continue;
        }
        for (const std::string* translated : {&row->second.English, &row->second.French}) {
            EXPECT_FALSE(translated->empty()) << text;
            EXPECT_EQ(FilterPatterns(*translated), FilterPatterns(text)) << text << " -> " << *translated;
            EXPECT_EQ(Count(*translated, "&"), Count(text, "&")) << text << " -> " << *translated;
            EXPECT_EQ(Count(*translated, "%1"), Count(text, "%1")) << text << " -> " << *translated;
        }
    }
    EXPECT_TRUE(missing.empty()) << "German texts without a row in src/i18n/shipped/translations.tsv:" << missing;
}

}  // namespace
}  // namespace sonvira
