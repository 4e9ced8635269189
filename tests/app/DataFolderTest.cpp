#include "CommandLineRequest.h"
#include "DataFolder.h"
#include "SettingsFile.h"

#include "DbfFixture.h"
#include "TempDir.h"
#include "UnprivilegedUser.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace sonvira {
namespace {

namespace fs = std::filesystem;

TEST(DataFolder, TheUsersFolderFollowsXdgDataHomeOrHome) {
    struct Case {
        const char* xdg;
        std::string home;
        std::string expected;
    };
    const Case cases[] = {
        {"/data/anna", "/home/anna", "/data/anna/sonvira/"},
        {"/data/anna/", "/home/anna", "/data/anna/sonvira/"},
        {nullptr, "/home/anna", "/home/anna/.local/share/sonvira/"},
        {"", "/home/anna/", "/home/anna/.local/share/sonvira/"},
        {"relative/data", "/home/anna", "/home/anna/.local/share/sonvira/"},  // to be ignored
        {nullptr, "", ""},
        {nullptr, "relative", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UserDataFolder(c.xdg, c.home), c.expected) << (c.xdg ? c.xdg : "(unset)") << " " << c.home;
}

// A program folder laid out as a build folder, a portable copy or an installation.
struct Layout {
    test::TempDir dir;
    std::string program = dir.file("usr/bin") + "/";
    std::string shipped = dir.file("usr/share/sonvira") + "/translate.dbf";
    std::string user = dir.file("home/.local/share/sonvira") + "/";
    Layout(bool tableBeside, bool tableInstalled) {
        fs::create_directories(program);
        fs::create_directories(fs::path(shipped).parent_path());
        test::DbfLayout table;
        table.fields = test::LanguageFields();
        table.records = {{"Datei", "File", "Fichier"}};
        if (tableBeside) test::WriteBytes(program + "translate.dbf", test::BuildDbf(table));
        if (tableInstalled) test::WriteBytes(shipped, test::BuildDbf(table));
    }
};

TEST(DataFolder, KeptBesideTheProgramUnlessInstalledOrWriteProtected) {
    struct Case {
        const char* what;
        bool tableBeside, tableInstalled, writable;
        bool perUser;
    };
    const Case cases[] = {
        {"build folder", true, false, true, false},
        {"portable copy without a table", false, false, true, false},
        {"portable copy on a read-only medium", true, false, false, true},
        {"installed, run by a user", false, true, false, true},
        {"installed, run by root", false, true, true, true},
        {"a table beside an installed one", true, true, true, false},
    };
    for (const Case& c : cases) {
        Layout layout(c.tableBeside, c.tableInstalled);
        const DataPlaces places = ChooseDataPlaces(layout.program, c.writable, "../share/sonvira/", layout.user);
        EXPECT_EQ(places.perUser, c.perUser) << c.what;
        EXPECT_EQ(places.folder, c.perUser ? layout.user : layout.program) << c.what;
        const std::string shipped = c.tableBeside ? layout.program + "translate.dbf" : c.tableInstalled ? layout.shipped : "";
        EXPECT_EQ(places.shippedTable, shipped) << c.what;
    }
    Layout installed(false, true);
    EXPECT_FALSE(ChooseDataPlaces(installed.program, false, "../share/sonvira/", "").perUser)
        << "without a home folder the program folder stays the place";
}

TEST(DataFolder, TheFirstStartMakesTheUsersFolderWithTheShippedTable) {
    Layout layout(false, true);
    const DataPlaces places = ChooseDataPlaces(layout.program, false, "../share/sonvira/", layout.user);
    std::string problem;
    ASSERT_TRUE(PrepareDataFolder(places, problem)) << problem;
    EXPECT_EQ(test::ReadBytes(layout.user + "translate.dbf"), test::ReadBytes(layout.shipped));
    ASSERT_TRUE(PrepareDataFolder(places, problem)) << "a second start finds it made";
}

// File permissions bind only an ordinary user: the program folder and the data folder as
// one meets them.
TEST(DataFolder, AnOrdinaryUserMeetsProtectedFoldersAsSuch) {
    Layout layout(true, false);
    ASSERT_EQ(::chmod(layout.dir.path().c_str(), 0755), 0);
    for (const char* folder : {"usr", "usr/bin", "usr/share", "usr/share/sonvira"})
        ASSERT_EQ(::chmod(layout.dir.file(folder).c_str(), 0755), 0);
    const std::string own = layout.dir.file("own") + "/", lockedHome = layout.dir.file("locked") + "/";
    fs::create_directories(own);
    fs::create_directories(lockedHome);
    ASSERT_EQ(::chown(own.c_str(), test::kUnprivilegedUser, test::kUnprivilegedGroup), 0);

    const std::string report = test::RunAsUnprivilegedUser([&] {
        std::string r;
        r += FolderWritable(layout.program) ? "program writable, " : "program protected, ";
        r += FolderWritable(own) ? "own writable, " : "own protected, ";
        const DataPlaces places = ChooseDataPlaces(layout.program, FolderWritable(layout.program),
                                                   "../share/sonvira/", UserDataFolder(nullptr, own));
        std::string problem;
        r += PrepareDataFolder(places, problem) ? "made, " : "not made, ";
        r += fs::exists(places.folder + "translate.dbf") ? "seeded, " : "not seeded, ";
        const DataPlaces lockedOut = ChooseDataPlaces(layout.program, false, "../share/sonvira/",
                                                      UserDataFolder(nullptr, lockedHome));
        r += PrepareDataFolder(lockedOut, problem) ? "made" : "not made";
        return r;
    });
    EXPECT_EQ(report, "program protected, own writable, made, seeded, not made");
    EXPECT_TRUE(fs::exists(own + ".local/share/sonvira/translate.dbf"));
    EXPECT_TRUE(fs::is_empty(lockedHome));
}

// The data folder lists the user's files (settings.conf): made for the user alone, with its
// missing parents; a folder the user already has keeps the mode they gave it.
TEST(DataFolder, IsMadeForTheUserAloneAndSettingsStayPrivate) {
    test::TempDir dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    const std::string home = dir.file("home") + "/", kept = dir.file("kept") + "/";
    for (const auto& folder : {home, kept + "sonvira/"}) fs::create_directories(folder);
    ASSERT_EQ(::chmod((kept + "sonvira").c_str(), 0750), 0);
    for (const auto& folder : {home, kept, kept + "sonvira/"})
        ASSERT_EQ(::chown(folder.c_str(), test::kUnprivilegedUser, test::kUnprivilegedGroup), 0);
    const auto modeOf = [](const std::string& path) {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 ? std::to_string(st.st_mode & 0777) : std::string("missing");
    };
    const std::string report = test::RunAsUnprivilegedUser([&] {
        ::umask(022);
        std::string problem, r;
        for (const std::string& folder : {UserDataFolder(nullptr, home), UserDataFolder(kept.c_str(), "/nowhere")}) {
            const DataPlaces places{folder, "", true};
            if (!PrepareDataFolder(places, problem)) return "not made: " + problem;
            SettingsFile settings(folder + "settings.conf");
            settings.Set("recent.1", "/home/anna/take.wav");
            if (!settings.Save()) return std::string("not saved");
        }
        // A settings file an older version left readable to all becomes private at a save.
        ::chmod((home + ".local/share/sonvira/settings.conf").c_str(), 0644);
        SettingsFile again(home + ".local/share/sonvira/settings.conf");
        again.Load();
        again.Set("recent.2", "/home/anna/other.wav");
        if (!again.Save()) return std::string("not saved again");
        for (const std::string& path : {home + ".local", home + ".local/share", home + ".local/share/sonvira",
                                        home + ".local/share/sonvira/settings.conf", kept + "sonvira",
                                        kept + "sonvira/settings.conf"})
            r += modeOf(path) + " ";
        return r;
    });
    // Octal 700 700 700 600 750 600, printed in decimal.
    EXPECT_EQ(report, "448 448 448 384 488 384 ");
}

TEST(CommandLine, HelpAndVersionAreAnsweredOtherwiseTheProgramRuns) {
    using R = CommandLineRequest;
    const std::pair<std::vector<std::string>, R> cases[] = {
        {{"sonvira"}, R::Run},
        {{"sonvira", "take.wav"}, R::Run},
        {{"sonvira", "--help"}, R::Help},
        {{"sonvira", "-h"}, R::Help},
        {{"sonvira", "--version"}, R::Version},
        {{"sonvira", "take.wav", "--version"}, R::Version},
        {{"sonvira", "--version", "--help"}, R::Help},
        {{"sonvira", "--", "--help"}, R::Run},  // a file named so
        {{"sonvira", "--helpme"}, R::Run},
    };
    for (const auto& [arguments, request] : cases)
        EXPECT_EQ(ReadCommandLineRequest(arguments), request) << arguments.back();
    EXPECT_EQ(VersionText(), "Sonvira " SONVIRA_VERSION "\n");
    EXPECT_NE(UsageText().find("--version"), std::string::npos);
}

TEST(CommandLine, TheFileIsTheFirstArgumentOrTheOneAfterADoubleDash) {
    const std::pair<std::vector<std::string>, std::optional<std::size_t>> cases[] = {
        {{"sonvira"}, std::nullopt},
        {{"sonvira", "take.wav"}, 1},
        {{"sonvira", "--", "-x.wav"}, 2},
        {{"sonvira", "--", "--"}, 2},
        {{"sonvira", "--"}, std::nullopt},
        {{"sonvira", "take.wav", "--", "other.wav"}, 1},
    };
    for (const auto& [arguments, file] : cases) EXPECT_EQ(FileArgument(arguments), file) << arguments.back();
}

}  // namespace
}  // namespace sonvira
