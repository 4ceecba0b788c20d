#include "workout/library.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"
#include "workout/activities.h"

namespace kestrun {
namespace {

namespace fs = std::filesystem;

class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        LibraryPaths paths;
        paths.data_path = dir_.path();
        paths.user_name = "user";
        library_state().set_paths(paths);
        fs::create_directories(user());
        fs::create_directories(user() + "/PathLib");
        fs::create_directories(user() + "/ActivityLib");
        scan_library();
    }
    void TearDown() override { library_state().set_paths(LibraryPaths{}); }

    std::string user() const { return dir_.path() + "/user"; }
    void touch(const std::string& relative) {
        fs::create_directories(fs::path(user() + "/" + relative).parent_path());
        kestrun::testing::write_bytes(user() + "/" + relative, {1, 2, 3});
    }
    static std::vector<std::string> names(const std::vector<LibraryNode>& nodes) {
        std::vector<std::string> out;
        for (const LibraryNode& n : nodes)
            out.push_back(n.name);
        return out;
    }

    kestrun::testing::TempDir dir_;
};

TEST_F(LibraryTest, ScanSortsDescendingAndSkipsWhatIsNotAWorkout) {
    touch("2010/12/20101231080000.tkl");
    touch("2011/02/20110207082550.tkl");
    touch("2011/02/20110209070000.SS");
    touch("2011/02/notes.txt");
    touch("2011/02/deeper/20110210000000.tkl");  // below a month: not listed
    touch("2011/20110301000000.lbk");            // a file directly in a year
    touch("Notes/readme.chr");
    touch("20110101000000.tkl");  // directly in the user folder: not listed
    touch("Running.act/2012/01/20120101000000.tkl");
    fs::create_directories(user() + "/Cycling.act");
    fs::create_directories(user() + "/pathlib");  // skipped in any case

    scan_library();
    const LibraryIndex& index = library_index();
    EXPECT_EQ(index.activity_names, (std::vector<std::string>{"Cycling", "Running"}));
    // Letters sort after digits, so in descending order Notes comes first.
    ASSERT_EQ(names(index.years), (std::vector<std::string>{"Notes", "2011", "2010"}));
    const LibraryNode& y2011 = index.years[1];
    EXPECT_EQ(names(y2011.children), (std::vector<std::string>{"20110301000000.lbk", "02"}));
    EXPECT_EQ(y2011.children[0].file_type, kFileTypeLbk);
    const LibraryNode& feb = y2011.children[1];
    EXPECT_TRUE(feb.is_folder);
    EXPECT_EQ(names(feb.children),
              (std::vector<std::string>{"20110209070000.SS", "20110207082550.tkl"}));
    EXPECT_EQ(feb.children[0].file_type, kFileTypeSs);
    EXPECT_EQ(feb.children[1].file_type, kFileTypeTkl);
    EXPECT_EQ(node_path(index, feb.children[1], user()), user() + "/2011/02/20110207082550.tkl");
}

TEST_F(LibraryTest, ActivityScanAndAMissingCurrentActivity) {
    touch("Running.act/2012/01/20120101000000.tkl");
    library_state().set_current_activity("Running");
    scan_library();
    ASSERT_EQ(names(library_index().years), (std::vector<std::string>{"2012"}));

    library_state().set_current_activity("Gone");
    scan_library();
    EXPECT_EQ(library_state().paths().current_activity, "");
}

TEST_F(LibraryTest, ActivityNamesAreChecked) {
    for (const char* bad : {"Run/Walk", "a\\b", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b"}) {
        EXPECT_FALSE(is_valid_activity_name(bad)) << bad;
    }
    EXPECT_TRUE(is_valid_activity_name("Run & Walk 5.5k"));

    scan_library();
    EXPECT_EQ(add_activity("").outcome, LibraryOutcome::kNothing);
    LibraryResult dflt = add_activity("default");
    EXPECT_EQ(dflt.outcome, LibraryOutcome::kRefused);
    EXPECT_EQ(dflt.message.text, "Activity exist !");
    LibraryResult slash = add_activity("Run/Walk");
    EXPECT_EQ(
        slash.message.text,
        "Please do not enter the following characters\r\n\\ , / , : , * , ? , < , > , | , \"");

    EXPECT_EQ(add_activity("Running").outcome, LibraryOutcome::kDone);
    EXPECT_TRUE(fs::is_directory(user() + "/Running.act"));
    EXPECT_EQ(library_index().activity_names, (std::vector<std::string>{"Running"}));
    EXPECT_EQ(add_activity("Running").message.text, "Activity exist !");
    kestrun::testing::write_bytes(user() + "/File.act", {0});  // a file of that name counts too
    EXPECT_EQ(add_activity("File").outcome, LibraryOutcome::kRefused);
}

TEST_F(LibraryTest, RenameAndDeleteActivities) {
    ASSERT_EQ(add_activity("Running").outcome, LibraryOutcome::kDone);
    ASSERT_EQ(add_activity("Cycling").outcome, LibraryOutcome::kDone);

    EXPECT_EQ(rename_activity("Running", "Cycling").message.text, "Activity exist !");
    EXPECT_EQ(
        rename_activity("Running", "Run|Walk").message.text,
        "Please do not enter the following characters\r\n\r\n\\ , / , : , * , ? , < , > , | , \"");
    EXPECT_EQ(rename_activity("Running", "").outcome, LibraryOutcome::kNothing);

    EXPECT_EQ(rename_activity("Running", "Jogging").outcome, LibraryOutcome::kDone);
    EXPECT_TRUE(fs::is_directory(user() + "/Jogging.act"));
    EXPECT_FALSE(fs::exists(user() + "/Running.act"));
    EXPECT_EQ(library_state().paths().current_activity, "Jogging");
    EXPECT_EQ(library_index().activity_names, (std::vector<std::string>{"Jogging", "Cycling"}));
    EXPECT_EQ(current_activity_entry(), 1u);

    EXPECT_EQ(delete_activity_question("Jogging"),
              "\"Jogging\" activity\r\nAre you sure you want to delete ALL DATA ?");
    FakeTrash trash;
    delete_activity("Jogging", trash);
    EXPECT_EQ(trash.trashed, (std::vector<std::string>{user() + "/Jogging.act"}));
    EXPECT_EQ(library_state().paths().current_activity, "");  // back to "Default"
    EXPECT_EQ(activity_box_entries(), (std::vector<std::string>{"Default", "Cycling"}));
}

TEST_F(LibraryTest, MoveWorkoutBetweenActivities) {
    touch("2011/02/20110207082550.tkl");
    ASSERT_EQ(add_activity("Running").outcome, LibraryOutcome::kDone);
    scan_library();
    EXPECT_EQ(move_destinations(), (std::vector<std::string>{"Running"}));

    LibraryResult moved = move_workout(user() + "/2011/02/20110207082550.tkl", "Running");
    EXPECT_EQ(moved.outcome, LibraryOutcome::kDone);
    EXPECT_EQ(moved.message.text, "The process is completed !");
    EXPECT_FALSE(moved.message.exclamation_icon);
    EXPECT_TRUE(fs::exists(user() + "/Running.act/2011/02/20110207082550.tkl"));
    EXPECT_FALSE(fs::exists(user() + "/2011/02/20110207082550.tkl"));

    // A file of that name already there: both files stay.
    touch("2011/02/20110207082550.tkl");
    LibraryResult clash = move_workout(user() + "/2011/02/20110207082550.tkl", "Running");
    EXPECT_EQ(clash.outcome, LibraryOutcome::kFailed);
    EXPECT_EQ(clash.message.text, "Error in moving file !");
    EXPECT_TRUE(fs::exists(user() + "/2011/02/20110207082550.tkl"));
    EXPECT_EQ(kestrun::testing::read_bytes(user() + "/Running.act/2011/02/20110207082550.tkl"),
              (std::vector<uint8_t>{1, 2, 3}));

    // Back to the default activity, from the activity's view.
    library_state().set_current_activity("Running");
    scan_library();
    EXPECT_EQ(move_destinations(), (std::vector<std::string>{"Default"}));
    fs::remove(user() + "/2011/02/20110207082550.tkl");
    EXPECT_EQ(move_workout(user() + "/Running.act/2011/02/20110207082550.tkl", "Default").outcome,
              LibraryOutcome::kDone);
    EXPECT_TRUE(fs::exists(user() + "/2011/02/20110207082550.tkl"));

    // Only names made of a 14-character start time are moved.
    touch("2011/02/run.tkl");
    EXPECT_EQ(move_workout(user() + "/2011/02/run.tkl", "Running").outcome,
              LibraryOutcome::kNothing);
    EXPECT_TRUE(fs::exists(user() + "/2011/02/run.tkl"));
}

TEST_F(LibraryTest, DeleteWorkoutEntries) {
    touch("2011/02/20110207082550.tkl");
    touch("2011/03/20110301000000.tkl");
    touch("2010/12/20101231080000.tkl");
    scan_library();
    FakeTrash trash;

    delete_workout_entry(user() + "/2011/02/20110207082550.tkl", false, trash);
    EXPECT_TRUE(library_index().years[0].children[1].children.empty());  // 2011/02 is empty now
    EXPECT_FALSE(fs::exists(user() + "/2011/02/20110207082550.tkl"));

    delete_workout_entry(user() + "/2011", true, trash);
    EXPECT_EQ(names(library_index().years), (std::vector<std::string>{"2010"}));

    EXPECT_FALSE(delete_to_recycle_bin("/ab", trash));  // too short to be a library path
    EXPECT_EQ(trash.trashed.size(), 2u);
}

}  // namespace
}  // namespace kestrun
