#include "ui/widgets/TarvelWydKX7PresetMenu.h"
#include "DialogTestSupport.h"
#include "WidgetTestSupport.h"

#include <cstdio>
#include <functional>
#include <utility>

#include <sys/stat.h>

using namespace wydtest;
using ParameterTable::kInputVol;

namespace
{
// Stands in for the popup: records the menu it would show and keeps its answer until the test
// closes it with an item.
struct ScriptedMenu : TarvelWydKX7PresetMenu
{
    ScriptedMenu() : TarvelWydKX7PresetMenu("presetMenu_")
    {
        setDirectoryPath(presetFolder().getFullPathName());
        setFileExtension("*.tz7p");
    }
    juce::String shown;
    std::function<void(int)> answer;
    std::function<void()> whileOpen;
    void showPopup(const juce::PopupMenu& menu, std::function<void(int)> chosen) override
    {
        shown = describeMenu(menu);
        answer = std::move(chosen);
    }
    void open() { mouseDown(mouseEvent(*this, { 1, 1 })); }
    void pick(int item)
    {
        open();
        if (whileOpen)
            whileOpen();
        ASSERT_TRUE(answer) << "no menu opened";
        std::exchange(answer, nullptr)(item);
    }
};

// Each notification with the text shown at that moment.
struct Notifications : juce::Label::Listener
{
    juce::StringArray textsSeen;
    void labelTextChanged(juce::Label* label) override { textsSeen.add(label->getText()); }
};

// The names of the listed files in item order.
juce::StringArray listedNames(const TarvelOptionMenuTree& menu)
{
    juce::StringArray names;
    for (int i = 0; i < menu.getNumOfFiles() - 1; ++i)
        names.add(menu.getFileName(i));
    return names;
}

struct PresetMenuTest : ::testing::Test
{
    void SetUp() override
    {
        clearMusicFolder();
        menu.addListener(&notifications);
    }
    void TearDown() override
    {
        menu.removeListener(&notifications);
        clearMusicFolder();
    }
    // Two preset files, the first selected; its item number.
    int listAndSelectFirst(const char* first, const char* second)
    {
        makeFile(folder.getChildFile(first));
        makeFile(folder.getChildFile(second));
        menu.setSelectedFilePath(first);
        return menu.getSelectedFileIndex();
    }
    ScriptedMenu menu;
    Notifications notifications;
    juce::File folder = presetFolder();
};
} // namespace

TEST_F(PresetMenuTest, SubFolderItemsComeFirstAndPreviousNextWrap)
{
    makeFile(folder.getChildFile("b.tz7p"));
    makeFile(folder.getChildFile("a.tz7p"));
    makeFile(folder.getChildFile("S/c.tz7p"));
    menu.setSelectedFilePath("S/c.tz7p");

    EXPECT_EQ(menu.getSelectedFileIndex(), 1);
    EXPECT_EQ(menu.getNumOfFiles(), 4);
    const auto root = describeMenu(*menu.getRootMenu());
    EXPECT_EQ(root, "[S: 1+c] 2 a 3 b");

    menu.previousResult();
    EXPECT_EQ(menu.getSelectedFileIndex(), 3);
    EXPECT_EQ(menu.getText(), menu.getFileName(2));
    menu.nextResult();
    EXPECT_EQ(menu.getSelectedFileIndex(), 1);
    EXPECT_EQ(menu.getSelectedFilePath(), "S/c.tz7p");
    EXPECT_EQ(menu.getFilePath(0), folder.getFullPathName() + "/S/c.tz7p");
    EXPECT_EQ(menu.getFilePath(3), "");
}

TEST_F(PresetMenuTest, FilesAndFoldersComeInNameOrderIgnoringCase)
{
    const struct
    {
        std::vector<const char*> created, listed; // UTF-8
    } cases[] = {
        { { "b", "A", "c" }, { "A", "b", "c" } },
        { { "Second", "My First" }, { "My First", "Second" } },
        { { "a", "A" }, { "A", "a" } }, // equal but for case: code-point order
        { { "Bass 2", "bass", "Bass-1" }, { "bass", "Bass 2", "Bass-1" } }, // the shown names
        { { "p10", "P2", "p1" }, { "p1", "p10", "P2" } },
        { { "\xc3\x89z", "\xc3\xa9" "a" }, { "\xc3\xa9" "a", "\xc3\x89z" } }, // "Éz", "éa"
        { { "dir/b", "Dir/a", "c" }, { "a", "b", "c" } }, // folders too, before the files
    };
    for (const auto& [created, listed] : cases)
    {
        clearMusicFolder();
        for (auto* name : created)
            makeFile(folder.getChildFile(juce::String::fromUTF8(name) + ".tz7p"));
        menu.setSelectedFilePath("none.tz7p");
        juce::StringArray expected;
        for (auto* name : listed)
            expected.add(juce::String::fromUTF8(name));
        EXPECT_EQ(listedNames(menu).joinIntoString(","), expected.joinIntoString(","));
    }
}

TEST_F(PresetMenuTest, HiddenUpperCaseAndNestedFilesAreNumberedInScanOrder)
{
    for (auto* name : { "x.tz7p", ".hidden.tz7p", "LOUD.TZ7P", "notes.txt", "A/B/deep.tz7p",
                        "A/mid.tz7p", ".secret/s.tz7p", "Empty/readme.txt" })
        makeFile(folder.getChildFile(name));
    menu.setSelectedFilePath("A/mid.tz7p");

    EXPECT_EQ(describeMenu(*menu.getRootMenu()),
              "[.secret: 1 s] [A: [B: 2 deep] 3+mid] [Empty: ] 4 .hidden 5 LOUD 6 x");
    EXPECT_EQ(menu.getNumOfFiles(), 7);
    EXPECT_EQ(menu.getNumMenusFilled(), 5);
    EXPECT_LE(menu.getNumMenusFilled(), menu.getNumMenusAllocated());
    EXPECT_FALSE(menu.isMarkedAsChange());
}

TEST_F(PresetMenuTest, CyclicAndDuplicateLinksListEachFolderOnceAndStayWithinTheMenus)
{
    makeFile(folder.getChildFile("a.tz7p"));
    makeFile(folder.getChildFile("S/c.tz7p"));
    ASSERT_TRUE(folder.createSymbolicLink(folder.getChildFile("S/loop"), true));
    ASSERT_TRUE(folder.getChildFile("S").createSymbolicLink(folder.getChildFile("alsoS"), true));
    ASSERT_EQ(::symlink(".", folder.getChildFile("self").getFullPathName().toRawUTF8()), 0);
    const auto elsewhere = makeFile(folder.getSiblingFile("Elsewhere/e.tz7p")).getParentDirectory();
    ASSERT_TRUE(elsewhere.createSymbolicLink(folder.getChildFile("S/Shared"), true));
    ASSERT_TRUE(elsewhere.createSymbolicLink(folder.getChildFile("Also shared"), true));
    menu.setSelectedFilePath("a.tz7p");

    // Each folder once: where it really is, else at the first link in name order.
    EXPECT_EQ(describeMenu(*menu.getRootMenu()), "[Also shared: 1 e] [S: 2 c] 3+a");
    EXPECT_EQ(menu.getNumMenusFilled(), 3);
    EXPECT_LE(menu.getNumMenusFilled(), menu.getNumMenusAllocated());

    // A folder that appears after the menus were counted finds no menu left.
    makeFile(folder.getChildFile("Late/l.tz7p"));
    bool found = false;
    EXPECT_EQ(menu.createSubMenu(folder.getFullPathName(), false, found), -1);
    EXPECT_EQ(menu.getNumMenusFilled(), 3);
}

TEST_F(PresetMenuTest, OnlyRegularFilesAndLinksToThemAreListed)
{
    makeFile(folder.getChildFile("real.tz7p"));
    const auto linkAt = [&](const char* name, const char* target) {
        return ::symlink(target, folder.getChildFile(name).getFullPathName().toRawUTF8());
    };
    ASSERT_EQ(linkAt("link.tz7p", "real.tz7p"), 0);
    ASSERT_EQ(linkAt("dangling.tz7p", "missing.tz7p"), 0);
    ASSERT_EQ(linkAt("device.tz7p", "/dev/null"), 0);
    ASSERT_EQ(::mkfifo(folder.getChildFile("fifo.tz7p").getFullPathName().toRawUTF8(), 0644), 0);
    ASSERT_TRUE(folder.getChildFile("dir.tz7p").createDirectory());
    // A name that is no UTF-8 cannot be opened again by the path the menu would keep.
    const auto notUtf8 = folder.getFullPathName().toStdString() + "/bad\xff.tz7p";
    ASSERT_EQ(::symlink("real.tz7p", notUtf8.c_str()), 0);

    menu.setSelectedFilePath("link.tz7p");
    EXPECT_EQ(describeMenu(*menu.getRootMenu()), "[dir.tz7p: ] 1+link 2 real");
    menu.setAsRecursive(false);
    menu.setSelectedFilePath("link.tz7p");
    EXPECT_EQ(describeMenu(*menu.getRootMenu()), "1+link 2 real");
}

TEST_F(PresetMenuTest, AThousandNestedFoldersScanOnceEach)
{
    auto level = folder;
    juce::String relative;
    for (int depth = 0; depth < 1000; ++depth)
    {
        level = level.getChildFile("d");
        relative += "d/";
        ASSERT_TRUE(level.createDirectory());
    }
    makeFile(level.getChildFile("deepest.tz7p"));
    makeFile(folder.getChildFile("top.tz7p"));
    menu.setSelectedFilePath(relative + "deepest.tz7p");

    EXPECT_EQ(menu.getSelectedFileIndex(), 1);
    EXPECT_EQ(menu.getText(), "deepest");
    EXPECT_EQ(menu.getNumOfFiles(), 3);
    EXPECT_EQ(menu.getNumMenusFilled(), 1001);
    EXPECT_EQ(menu.getNumMenusAllocated(), 1001);
}

TEST_F(PresetMenuTest, ModifiedMarkRules)
{
    menu.setSelectedFilePath("Init.tz7p"); // no preset folder yet
    EXPECT_EQ(menu.getText(), "Init*");
    EXPECT_TRUE(menu.isMarkedAsChange());
    menu.nextResult();
    menu.previousResult();
    EXPECT_EQ(menu.getSelectedFileIndex(), 0);

    makeFile(folder.getChildFile("a.tz7p"));
    makeFile(folder.getChildFile("b.tz7p"));
    menu.setSelectedFilePath("a.tz7p");
    EXPECT_EQ(menu.getText(), "a");
    menu.setPresetHasChanged();
    menu.setPresetHasChanged();
    EXPECT_EQ(menu.getText(), "a*");
    menu.setSelectedFileIndex(menu.getSelectedFileIndex());
    EXPECT_EQ(menu.getText(), "a");
    EXPECT_FALSE(menu.isMarkedAsChange());

    const int index = menu.getSelectedFileIndex();
    menu.setSelectedFilePath("A.tz7p"); // letter case counts
    EXPECT_EQ(menu.getText(), "A*");
    EXPECT_EQ(menu.getSelectedFileIndex(), index);
    menu.setSelectedFilePath("Sub\\Name.tz7p");
    EXPECT_EQ(menu.getSelectedFilePath(), "Sub/Name.tz7p");
    EXPECT_EQ(menu.getText(), "Name*");
    menu.setMarkedAsChange(false);
    EXPECT_EQ(menu.getText(), "Name*");
}

TEST_F(PresetMenuTest, EveryPopupChoiceNotifiesOnceWhileTheOldNameIsShown)
{
    const int a = listAndSelectFirst("a.tz7p", "b.tz7p");
    const int b = 3 - a;

    menu.pick(b);
    EXPECT_EQ(notifications.textsSeen, juce::StringArray("a"));
    EXPECT_EQ(menu.getText(), "b");
    EXPECT_EQ(menu.getSelectedFilePath(), "b.tz7p");

    menu.pick(b); // the file shown, as it is shown: loaded again all the same
    EXPECT_EQ(notifications.textsSeen, juce::StringArray("a", "b"));

    menu.setPresetHasChanged();
    menu.pick(b);
    EXPECT_EQ(notifications.textsSeen, juce::StringArray("a", "b", "b*"));
    EXPECT_EQ(menu.getText(), "b");
    EXPECT_FALSE(menu.isMarkedAsChange());

    menu.pick(0); // dismissed
    EXPECT_EQ(notifications.textsSeen.size(), 3);
    EXPECT_TRUE(menu.shown.contains(juce::String(b) + "+b")) << menu.shown;

    // A rescan while the menu is open renumbers the items: the pick is the file that was shown.
    menu.whileOpen = [&] {
        makeFile(folder.getChildFile("Sub/c.tz7p"));
        menu.setSelectedFilePath("b.tz7p");
    };
    menu.pick(a);
    EXPECT_EQ(menu.getSelectedFilePath(), "a.tz7p");
    EXPECT_EQ(menu.getText(), "a");
}

TEST_F(PresetMenuTest, PickingTheShownNameAfterSteppingToItsNamesakeLoadsThePickedFile)
{
    const int top = listAndSelectFirst("My First.tz7p", "Sub/My First.tz7p");

    menu.pick(top);
    menu.nextResult(); // two files: the other one
    ASSERT_EQ(menu.getSelectedFilePath(), "Sub/My First.tz7p");
    ASSERT_EQ(menu.getText(), "My First");
    notifications.textsSeen.clear();
    menu.pick(top);
    EXPECT_EQ(notifications.textsSeen, juce::StringArray("My First"));
    EXPECT_EQ(menu.getSelectedFilePath(), "My First.tz7p");
}

TEST_F(PresetMenuTest, AnAnswerArrivingAfterTheSelectorWentDoesNothing)
{
    makeFile(folder.getChildFile("a.tz7p"));
    auto gone = std::make_unique<ScriptedMenu>();
    gone->addListener(&notifications);
    gone->open();
    auto answer = std::exchange(gone->answer, nullptr);
    ASSERT_TRUE(answer);
    gone.reset();
    answer(1);
    EXPECT_TRUE(notifications.textsSeen.isEmpty());
}

TEST_F(PresetMenuTest, WritesReadsAndComparesThroughTheProcessor)
{
    WYD_KX7AudioProcessor processor;
    processor.setParameter(kInputVol, 0.25f);
    ASSERT_TRUE(menu.writePreset(&processor, "Sub/Mine.tz7p"));
    const auto file = folder.getChildFile("Sub/Mine.tz7p");
    EXPECT_TRUE(file.loadFileAsString().startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    EXPECT_EQ(menu.getSelectedFilePath(), "Sub/Mine.tz7p");
    EXPECT_EQ(menu.getText(), "Mine");

    menu.compareAndMarkPreset(&processor);
    EXPECT_FALSE(menu.isMarkedAsChange());
    processor.setParameter(kInputVol, 0.75f);
    menu.compareAndMarkPreset(&processor);
    EXPECT_EQ(menu.getText(), "Mine*");

    EXPECT_EQ(menu.readPreset(&processor, "Sub/Mine.tz7p"), 1);
    EXPECT_FLOAT_EQ(processor.getParameter(kInputVol), 0.25f);
    processor.setParameter(kInputVol, 0.5f);
    EXPECT_EQ(menu.readPreset(&processor, file.getFullPathName()), 1);
    EXPECT_FLOAT_EQ(processor.getParameter(kInputVol), 0.25f);

    ASSERT_TRUE(menu.writePreset(&processor, folder.getFullPathName() + "/Top.tz7p"));
    EXPECT_EQ(menu.getSelectedFilePath(), "Top.tz7p");
    EXPECT_FALSE(menu.writePreset(nullptr, "Other.tz7p"));
    EXPECT_EQ(menu.readPreset(nullptr, "Top.tz7p"), 0);
}

TEST_F(PresetMenuTest, FilesOutsideTheFolderOrNotRegularAreNeitherReadNorWritten)
{
    WYD_KX7AudioProcessor processor;
    ASSERT_TRUE(menu.writePreset(&processor, "Keep.tz7p"));
    const auto sibling = folder.getSiblingFile("WYD-KX7 old");
    makeFile(sibling.getChildFile("x.tz7p"), folder.getChildFile("Keep.tz7p").loadFileAsString());
    ASSERT_EQ(::mkfifo(folder.getChildFile("fifo.tz7p").getFullPathName().toRawUTF8(), 0644), 0);
    makeFile(folder.getChildFile("plain.tz7p"), "not a preset");

    for (const auto& path : { sibling.getChildFile("x.tz7p").getFullPathName(),
                              juce::String("../WYD-KX7 old/x.tz7p"), juce::String("fifo.tz7p"),
                              juce::String("plain.tz7p"), juce::String("missing.tz7p") })
        EXPECT_EQ(menu.readPreset(&processor, path), 0) << path;

    EXPECT_FALSE(menu.writePreset(&processor, sibling.getChildFile("y.tz7p").getFullPathName()));
    EXPECT_FALSE(menu.writePreset(&processor, "../escaped.tz7p"));
    EXPECT_FALSE(sibling.getChildFile("y.tz7p").exists());
    EXPECT_FALSE(folder.getSiblingFile("escaped.tz7p").exists());
    EXPECT_EQ(menu.getSelectedFilePath(), "Keep.tz7p");
}

TEST_F(PresetMenuTest, AFailedWriteReportsFailureAndKeepsOldFileAndSelection)
{
    WYD_KX7AudioProcessor processor;
    ASSERT_TRUE(menu.writePreset(&processor, "Keep.tz7p"));
    ASSERT_TRUE(folder.getChildFile("Folder.tz7p").createDirectory());

    EXPECT_FALSE(menu.writePreset(&processor, "Folder.tz7p")); // a folder where the file goes
    EXPECT_TRUE(folder.getChildFile("Folder.tz7p").isDirectory());
    EXPECT_FALSE(menu.writePreset(&processor, "Keep.tz7p/Under.tz7p")); // below a file
    EXPECT_TRUE(folder.getChildFile("Keep.tz7p").existsAsFile());

    // A name longer than the file system takes.
    const auto newLongName = juce::String::repeatedString("m", 251) + ".tz7p";
    const auto outcome = menu.writePresetFile(&processor, folder.getChildFile(newLongName));
    EXPECT_FALSE(outcome.written);
    EXPECT_EQ(outcome.reason, "File name too long.");
    EXPECT_EQ(folder.findChildFiles(juce::File::findFiles, false, "*").size(), 1); // Keep.tz7p alone

    EXPECT_EQ(menu.getSelectedFilePath(), "Keep.tz7p");
    EXPECT_EQ(menu.getText(), "Keep");
}

// A listed name becomes a preset path in the host's copy of the state: names a preset document
// cannot carry (C0 controls but tab, U+FFFE, surrogates, overlong UTF-8), and folders so named,
// are left out; every other name is listed and opens again by the path kept.
TEST_F(PresetMenuTest, NamesAPresetDocumentCannotCarryAreNotListed)
{
    for (const char* name : { "6 ctl\x01" "char.tz7p", "nc\xef\xbf\xbe.tz7p", "sur\xed\xa0\x80.tz7p",
                              "over\xc1\x81.tz7p", "ctl\x02" "dir/in.tz7p", "tab\tname.tz7p", "del\x7f.tz7p",
                              "c1\xc2\x85.tz7p", "note\xf0\x9f\x8e\xb5.tz7p" })
    {
        const auto path = folder.getFullPathName().toStdString() + "/" + name;
        folder.createDirectory();
        ::mkdir(path.substr(0, path.rfind('/')).c_str(), 0755);
        std::FILE* file = std::fopen(path.c_str(), "w");
        ASSERT_NE(file, nullptr) << name;
        std::fclose(file);
    }
    menu.setSelectedFilePath("tab\tname.tz7p");
    EXPECT_EQ(listedNames(menu).joinIntoString("|"),
              juce::String::fromUTF8("c1\xc2\x85|del\x7f|note\xf0\x9f\x8e\xb5|tab\tname"));
    EXPECT_EQ(menu.getText(), "tab\tname");
    for (int i = 0; i < menu.getNumOfFiles() - 1; ++i)
        EXPECT_TRUE(juce::File(menu.getFilePath(i)).existsAsFile()) << menu.getFilePath(i);
}
