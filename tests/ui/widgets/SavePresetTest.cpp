#include "ui/PresetLocations.h"
#include "ui/widgets/TarvelWydKX7PresetBrowser.h"
#include "ui/widgets/TarvelWydKX7PresetMenu.h"
#include "DialogTestSupport.h"

#include <csignal>

#include <sys/resource.h>

using namespace wydtest;

namespace
{
bool isModal(const juce::Component& c)
{
    return c.isCurrentlyModal(false);
}

bool isEnabledLook(const juce::Component& button)
{
    return button.isEnabled() && button.getAlpha() == 1.0f;
}

// A file-size limit on this process while it lives; writes past it fail instead of ending the
// process.
struct FileSizeLimit
{
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &before);
        previousHandler = ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = before;
        limit.rlim_cur = bytes;
        set = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &before);
        ::signal(SIGXFSZ, previousHandler);
    }
    bool inForce() const { return set; }
    rlimit before = {};
    sighandler_t previousHandler = SIG_DFL;
    bool set = false;
};

struct HostDisplayUpdates : juce::AudioProcessorListener
{
    int count = 0;
    void audioProcessorParameterChanged(juce::AudioProcessor*, int, float) override {}
    void audioProcessorChanged(juce::AudioProcessor*, const ChangeDetails&) override { ++count; }
};

// The save-preset dialog over an on-screen stand-in for the editor, wired as the editor wires it.
struct SavePresetTest : ::testing::Test
{
    void SetUp() override
    {
        clearMusicFolder();
        if (!haveDisplay() || xDisplayWithWindowAtoms() == nullptr)
            return;
        editor = std::make_unique<OnScreenWindow>();
        menu.setDirectoryPath(PresetLocations::presetFolderText());
        menu.setFileExtension("*.tz7p");
        editor->addAndMakeVisible(menu);
        // Built before the preset folder exists, as on a fresh system.
        dialog = std::make_unique<TarvelWydKX7PresetBrowser>(
            "savePresetBrowser_", "Save", juce::File(PresetLocations::presetFolderText()), "*.tz7p", 5, 1, 5, 3, 8,
            &processor, &menu);
        editor->addChildComponent(*dialog);
        dialog->setBounds(0, 0, 800, 450);
        processor.addListener(&updates);
        ASSERT_TRUE(folder.createDirectory());
    }

    void TearDown() override
    {
        processor.removeListener(&updates);
        dialog.reset();
        editor.reset();
        clearMusicFolder();
    }

    void browseTo(const juce::File& where, const juce::String& name)
    {
        dialog->getFileBrowser()->setRoot(where);
        dialog->getFileBrowser()->setFileName(name);
        dialog->timerCallback();
    }

    void clickAndWait(juce::Button& button)
    {
        button.triggerClick();
        runMessageLoopFor(50);
    }

    juce::String& activePresetPath()
    {
        auto& slot = processor.programs[processor.currentProgram];
        return slot.presetPath[slot.activeChannel];
    }

    juce::File folder = presetFolder();
    WYD_KX7AudioProcessor processor;
    HostDisplayUpdates updates;
    TarvelWydKX7PresetMenu menu{ "presetMenu_" };
    std::unique_ptr<OnScreenWindow> editor;
    std::unique_ptr<TarvelWydKX7PresetBrowser> dialog;
};
} // namespace

TEST_F(SavePresetTest, OpensOnThePresetFolderAndEnablesButtonsOnlyInsideIt)
{
    WYD_REQUIRE_DISPLAY();
    EXPECT_NE(dialog->getFileBrowser()->getRoot(), folder);
    dialog->show();
    EXPECT_EQ(dialog->getFileBrowser()->getRoot(), folder);
    EXPECT_TRUE(isModal(*dialog));
    EXPECT_EQ(dialog->getWildcardPattern(), "*.tz7p");
    EXPECT_FALSE(isEnabledLook(*dialog->getOkButton()));
    EXPECT_TRUE(isEnabledLook(*dialog->getNewFolderButton()));

    browseTo(folder, "name");
    EXPECT_TRUE(isEnabledLook(*dialog->getOkButton()));

    const auto sibling = folder.getSiblingFile("WYD-KX7 old");
    ASSERT_TRUE(sibling.createDirectory());
    browseTo(sibling, "name");
    EXPECT_FALSE(isEnabledLook(*dialog->getOkButton()));
    EXPECT_FALSE(isEnabledLook(*dialog->getNewFolderButton()));
    dialog->savePreset();
    EXPECT_FALSE(sibling.getChildFile("name.tz7p").exists());
    EXPECT_TRUE(dialog->isVisible());

    // Every OK asks the host to refresh, also when nothing was saved.
    const int before = updates.count;
    dialog->okButtonClicked();
    EXPECT_EQ(updates.count, before + 1);

    // Shown again while browsing outside: back to the preset folder.
    dialog->hide();
    dialog->show();
    EXPECT_EQ(dialog->getFileBrowser()->getRoot(), folder);
    dialog->hide();
}

TEST_F(SavePresetTest, SavedNamesGetTheExtensionAndBecomeTheCurrentPreset)
{
    WYD_REQUIRE_DISPLAY();
    const std::pair<const char*, const char*> cases[] = {
        { "one", "one.tz7p" }, { "two.tz7p", "two.tz7p" }, { "three.TZ7P", "three.TZ7P.tz7p" }
    };
    for (const auto& [typed, saved] : cases)
    {
        dialog->show();
        browseTo(folder, typed);
        clickAndWait(*dialog->getOkButton());
        EXPECT_TRUE(folder.getChildFile(saved).existsAsFile()) << typed;
        EXPECT_EQ(activePresetPath(), saved);
        EXPECT_EQ(menu.getSelectedFilePath(), saved);
        EXPECT_FALSE(dialog->isVisible());
    }
    EXPECT_EQ(juce::ModalComponentManager::getInstance()->getNumModalComponents(), 0);
}

TEST_F(SavePresetTest, ExistingPresetIsOverwrittenOnlyAfterTheQuestion)
{
    WYD_REQUIRE_DISPLAY();
    const auto old = makeFile(folder.getChildFile("Sub/old.tz7p"), "old");
    dialog->show();
    browseTo(folder.getChildFile("Sub"), "old");
    clickAndWait(*dialog->getOkButton());

    auto& question = dialog->getOverwriteComponent();
    EXPECT_TRUE(question.isVisible());
    EXPECT_TRUE(isModal(question));
    EXPECT_FALSE(isModal(*dialog));
    EXPECT_EQ(question.getTitleText(),
              "Are you sure you want to overwrite this preset?\n\n\"Sub/old.tz7p\"");
    EXPECT_EQ(old.loadFileAsString(), "old");

    question.buttonClicked(&question.getCancelButton());
    EXPECT_TRUE(isModal(*dialog));
    EXPECT_EQ(old.loadFileAsString(), "old");

    clickAndWait(*dialog->getOkButton());
    question.buttonClicked(&question.getOkButton());
    EXPECT_TRUE(old.loadFileAsString().startsWith("<?xml"));
    EXPECT_EQ(activePresetPath(), "Sub/old.tz7p");
    EXPECT_FALSE(question.isVisible());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(juce::ModalComponentManager::getInstance()->getNumModalComponents(), 0);
}

TEST_F(SavePresetTest, AFailedSaveIsReportedAndTheDialogStaysOpen)
{
    WYD_REQUIRE_DISPLAY();
    activePresetPath() = "Before.tz7p";
    ASSERT_TRUE(folder.getChildFile("Taken.tz7p").createDirectory());
    dialog->show();
    browseTo(folder, "Taken");
    dialog->savePreset();

    auto& message = dialog->getFailureAlert();
    EXPECT_TRUE(message.isVisible());
    EXPECT_TRUE(isModal(message));
    EXPECT_EQ(message.getTitleText(), "Couldn't save the preset!\nIs a directory.\n\n\"Taken.tz7p\"");
    EXPECT_EQ(activePresetPath(), "Before.tz7p");
    message.buttonClicked(&message.getOkButton());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(isModal(*dialog));
    dialog->hide();
}

TEST_F(SavePresetTest, ASecondQuickReturnDoesNotReachTheClosedDialog)
{
    WYD_REQUIRE_DISPLAY();
    dialog->show();
    browseTo(folder, "late");
    dialog->getOkButton()->triggerClick(); // Return in the name field
    dialog->getOkButton()->triggerClick(); // and again before the first is handled
    runMessageLoopFor(100);
    EXPECT_TRUE(folder.getChildFile("late.tz7p").existsAsFile());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(dialog->getOverwriteComponent().isVisible());
    EXPECT_EQ(juce::ModalComponentManager::getInstance()->getNumModalComponents(), 0);

    // A click that reaches the closed dialog saves nothing either.
    browseTo(folder, "other");
    clickAndWait(*dialog->getOkButton());
    EXPECT_FALSE(folder.getChildFile("other.tz7p").exists());
}

TEST_F(SavePresetTest, NewFolderPromptCreatesFoldersAndReportsClashes)
{
    WYD_REQUIRE_DISPLAY();
    dialog->show();
    clickAndWait(*dialog->getNewFolderButton());
    auto& prompt = *dialog->getNewFolderComponent();
    ASSERT_TRUE(prompt.isVisible());
    EXPECT_TRUE(isModal(prompt));
    EXPECT_FALSE(isModal(*dialog));
    EXPECT_TRUE(prompt.getTextEditor().hasKeyboardFocus(true));
    EXPECT_FALSE(isEnabledLook(prompt.getOkButton()));

    prompt.getTextEditor().setText("taken");
    prompt.timerCallback();
    EXPECT_TRUE(isEnabledLook(prompt.getOkButton()));
    makeFile(folder.getChildFile("taken"));
    prompt.buttonClicked(&prompt.getOkButton());
    auto& message = prompt.getAlert();
    EXPECT_TRUE(isModal(message));
    EXPECT_FALSE(isModal(prompt));
    EXPECT_EQ(message.getTitleText(), "The folder name already exist! Try different name.");
    message.buttonClicked(&message.getOkButton());
    EXPECT_TRUE(isModal(prompt));
    EXPECT_EQ(prompt.getTextEditor().getText(), "taken");

    prompt.getTextEditor().setText("Fresh");
    prompt.buttonClicked(&prompt.getOkButton());
    EXPECT_TRUE(folder.getChildFile("Fresh").isDirectory());
    EXPECT_FALSE(prompt.isVisible());
    EXPECT_TRUE(isModal(*dialog));
    // The browser lists the new folder once its own thread has rescanned.
    auto* list = [&]() -> juce::DirectoryContentsDisplayComponent* {
        for (auto* child : dialog->getFileBrowser()->getChildren())
            if (auto* display = dynamic_cast<juce::DirectoryContentsDisplayComponent*>(child))
                return display;
        return nullptr;
    }();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(runMessageLoopUntil([&] {
        auto& contents = list->directoryContentsList;
        for (int i = 0; i < contents.getNumFiles(); ++i)
            if (contents.getFile(i) == folder.getChildFile("Fresh"))
                return true;
        return false;
    }));

    // The current folder replaced by a file while the prompt is open: creation fails.
    browseTo(folder.getChildFile("Fresh"), "");
    clickAndWait(*dialog->getNewFolderButton());
    ASSERT_TRUE(folder.getChildFile("Fresh").deleteRecursively());
    makeFile(folder.getChildFile("Fresh"));
    prompt.getTextEditor().setText("inner");
    prompt.buttonClicked(&prompt.getOkButton());
    EXPECT_EQ(message.getTitleText(), "Couldn't create the folder! Try different name.\nNot a directory.");
    message.buttonClicked(&message.getOkButton());
    prompt.buttonClicked(&prompt.getCancelButton());
    EXPECT_TRUE(isModal(*dialog));
    dialog->hide();
}

// A typed folder name is one folder directly inside the folder shown, whatever JUCE's path rules
// would make of it, and it is made as typed: a name with characters a folder name can't hold, or
// one that would be invisible or hidden, is refused with a message saying why.
TEST_F(SavePresetTest, NewFolderNamesStayDirectlyInsideTheFolderShown)
{
    WYD_REQUIRE_DISPLAY();
    const auto sub = folder.getChildFile("Sub");
    ASSERT_TRUE(sub.createDirectory());
    const juce::String empty = "The folder name is empty or only spaces and dots!\nTry different name.";
    const auto cannotHold = [](const char* listed) {
        return juce::String("The folder name can't hold these characters: ") + listed + "\nTry different name.";
    };
    const std::pair<const char*, juce::String> cases[] = { // typed, message (none: created as typed)
        { "~news", {} },  { "~root", {} },    { "~old", {} },        { "C#", {} },          { "me@home", {} },   { "Rock, Pop", {} },
        { "a/b", cannotHold("/") },          { "../up", cannotHold("/") },            { "::**", cannotHold(": *") },
        { "back\\slash", cannotHold("\\") }, { "ctl\x01 \x7f", cannotHold("U+0001") },
        { "..", empty },  { ".", empty },     { "   ", empty },      { " . . ", empty },
    };
    dialog->show();
    browseTo(sub, "");
    auto& prompt = *dialog->getNewFolderComponent();
    for (const auto& [typed, message] : cases)
    {
        SCOPED_TRACE(typed);
        clickAndWait(*dialog->getNewFolderButton());
        prompt.getTextEditor().setText(typed);
        prompt.buttonClicked(&prompt.getOkButton());
        EXPECT_EQ(prompt.getAlert().isVisible(), message.isNotEmpty());
        if (message.isEmpty())
            EXPECT_TRUE(juce::File(sub.getFullPathName() + "/" + typed).isDirectory());
        else
        {
            EXPECT_EQ(prompt.getAlert().getTitleText(), message);
            EXPECT_EQ(prompt.getTextEditor().getText(), typed); // kept, to be corrected
            prompt.getAlert().hide();
            prompt.hide();
        }
    }
    // Nothing was made anywhere else in the preset tree.
    EXPECT_EQ(folder.findChildFiles(juce::File::findFilesAndDirectories, true).size(), 7);
    dialog->hide();
}

// The same rule for preset names typed in the save dialog: nothing is written, a message says why.
TEST_F(SavePresetTest, PresetNamesOfOnlySpacesOrDotsAreRefusedWithAMessage)
{
    WYD_REQUIRE_DISPLAY();
    auto& message = dialog->getFailureAlert();
    for (auto* typed : { "   ", ".tz7p", "   .tz7p", "...", "Sub/  ", "  /name" })
    {
        dialog->show();
        browseTo(folder, typed);
        clickAndWait(*dialog->getOkButton());
        EXPECT_EQ(message.getTitleText(), "The preset name is empty or only spaces and dots!\nTry different name.");
        EXPECT_TRUE(message.isVisible() && dialog->isVisible()) << typed;
        message.hide();
        dialog->hide();
    }
    EXPECT_TRUE(folder.findChildFiles(juce::File::findFilesAndDirectories, true).isEmpty());
}

// A typed name becomes one file: the existence check, the question and the write agree on it,
// and a file whose name really holds a "\" is that file.
TEST_F(SavePresetTest, ABackslashInATypedNameNamesTheFileThatIsAskedAboutAndWritten)
{
    WYD_REQUIRE_DISPLAY();
    const struct
    {
        const char *existing, *typed, *written;
    } cases[] = {
        { "win/name.tz7p", "win\\name", "win/name.tz7p" },
        { "back\\slash.tz7p", "back\\slash", "back\\slash.tz7p" },
        { "other.tz7p", "new\\one", "new/one.tz7p" },
    };
    auto& question = dialog->getOverwriteComponent();
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.typed);
        makeFile(juce::File(folder.getFullPathName() + "/" + c.existing), "old");
        const juce::File written(folder.getFullPathName() + "/" + c.written);
        const bool asks = written.existsAsFile();
        dialog->show();
        browseTo(folder, c.typed);
        clickAndWait(*dialog->getOkButton());
        EXPECT_EQ(question.isVisible(), asks);
        if (asks)
        {
            EXPECT_EQ(question.getTitleText(),
                      juce::String("Are you sure you want to overwrite this preset?\n\n\"") + c.written + "\"");
            EXPECT_EQ(written.loadFileAsString(), "old");
            question.buttonClicked(&question.getOkButton());
        }
        EXPECT_TRUE(written.loadFileAsString().startsWith("<?xml"));
        EXPECT_EQ(activePresetPath(), c.written);
        EXPECT_EQ(menu.getSelectedFilePath(), c.written);
    }
    EXPECT_EQ(folder.findChildFiles(juce::File::findFiles, true, "*.tz7p").size(), 4); // nothing else written
}

TEST_F(SavePresetTest, AFileWhereThePresetFolderShouldBeIsReportedWhenTheDialogOpens)
{
    WYD_REQUIRE_DISPLAY();
    ASSERT_TRUE(folder.deleteRecursively());
    makeFile(folder, "in the way");
    dialog->show();
    auto& message = dialog->getFailureAlert();
    EXPECT_TRUE(dialog->isVisible() && message.isVisible() && isModal(message));
    EXPECT_EQ(message.getTitleText(), "Couldn't create the preset folder!\n\n\"" + folder.getFullPathName() + "\"");
    dialog->hide();
}

// Any name the file system takes saves, every time: the temporary file's name does not grow with
// the preset's. Names of 200 to 255 bytes, some of two-byte characters; the longest saves again
// through the question.
TEST_F(SavePresetTest, NamesOfUpTo255BytesSaveEveryTimeAndSaveAgain)
{
    WYD_REQUIRE_DISPLAY();
    const juce::String twoBytes = juce::String::fromUTF8("\xc3\xa9");
    juce::String longest;
    for (int bytes = 200; bytes <= 255; ++bytes)
    {
        const int wide = (bytes % 3) * 10; // this many two-byte characters
        const auto name = juce::String::repeatedString(twoBytes, wide)
                        + juce::String::repeatedString("n", bytes - 5 - 2 * wide);
        ASSERT_EQ((int) (name + ".tz7p").getNumBytesAsUTF8(), bytes);
        dialog->show();
        browseTo(folder, name);
        dialog->savePreset();
        EXPECT_TRUE(folder.getChildFile(name + ".tz7p").existsAsFile()) << bytes << " bytes";
        EXPECT_FALSE(dialog->getFailureAlert().isVisible()) << dialog->getFailureAlert().getTitleText();
        dialog->getFailureAlert().hide();
        dialog->hide();
        longest = name + ".tz7p";
    }
    processor.setParameter(ParameterTable::kInputVol, 0.125f);
    dialog->show();
    browseTo(folder, longest);
    dialog->savePreset();
    auto& question = dialog->getOverwriteComponent();
    ASSERT_TRUE(question.isVisible());
    question.buttonClicked(&question.getOkButton());
    EXPECT_FALSE(question.getFailureAlert().isVisible());
    EXPECT_TRUE(folder.getChildFile(longest).loadFileAsString().contains("0.12500"));
    EXPECT_EQ(folder.findChildFiles(juce::File::findFiles, false, "*").size(), 56); // no temporary files
}

// A write the file system cuts short (a file-size limit here) changes nothing and says why.
TEST_F(SavePresetTest, AShortWriteKeepsTheOldPresetAndIsReported)
{
    WYD_REQUIRE_DISPLAY();
    const auto old = makeFile(folder.getChildFile("Keep.tz7p"), "old bytes");
    activePresetPath() = "Before.tz7p";
    dialog->show();
    browseTo(folder, "Keep");
    dialog->savePreset();
    auto& question = dialog->getOverwriteComponent();
    ASSERT_TRUE(question.isVisible());
    {
        FileSizeLimit limit(1024);
        ASSERT_TRUE(limit.inForce());
        question.buttonClicked(&question.getOkButton());
    }
    EXPECT_EQ(question.getFailureAlert().getTitleText(), "Couldn't save the preset!\nFile too large.\n\n\"Keep.tz7p\"");
    EXPECT_EQ(old.loadFileAsString(), "old bytes");
    EXPECT_EQ(activePresetPath(), "Before.tz7p");
    EXPECT_EQ(folder.findChildFiles(juce::File::findFiles, false, "*").size(), 1);
    question.getFailureAlert().hide();
    question.hide();
    dialog->hide();
}

// A preset path goes into the host's copy of the state: a typed name, or a folder it lies in,
// holding a character a preset document cannot carry is refused, with the character named.
TEST_F(SavePresetTest, NamesAPresetDocumentCannotCarryAreRefused)
{
    WYD_REQUIRE_DISPLAY();
    const auto odd = juce::File(folder.getFullPathName() + "/odd" + juce::String::charToString(2));
    ASSERT_TRUE(odd.createDirectory());
    const struct
    {
        juce::File where;
        juce::String typed, listed;
    } cases[] = {
        { folder, "6 ctl" + juce::String::charToString(1) + "char", "U+0001" },
        { folder, "x" + juce::String::charToString(0xfffe), "U+FFFE" },
        { odd, "fine", "U+0002" },
    };
    auto& message = dialog->getFailureAlert();
    for (const auto& c : cases)
    {
        dialog->show();
        browseTo(c.where, c.typed);
        dialog->savePreset();
        EXPECT_EQ(message.getTitleText(),
                  "The preset name can't hold these characters: " + c.listed + "\nTry different name.");
        EXPECT_TRUE(message.isVisible() && dialog->isVisible());
        message.hide();
        dialog->hide();
    }
    EXPECT_EQ(folder.findChildFiles(juce::File::findFiles, true, "*").size(), 0);
    EXPECT_EQ(activePresetPath(), "Init.tz7p");
}
