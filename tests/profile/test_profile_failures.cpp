#include "ProfileTestSupport.h"
#include "support/TestSupport.h"
#include "talvik/profile/Profile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace talvik::profile;

using namespace talvik::model;

namespace {

using talvik::test::CTempDir;
using talvik::test::expectSameConfig;
using talvik::test::readFile;
using talvik::test::resetState;
using talvik::test::writeFile;

class ProfileFailure : public ::testing::Test {
protected:
    void SetUp() override {
        m_state = resetState(4);
        m_state->keyConfig.PredefinedCombo.append("keep me");
        m_state->keyConfig.LightAreas[7] = {1, 2, 3};
        m_state->keyConfig.HWCode[9][1] = 42;
        m_before = resetState(4);
        m_before->keyConfig = m_state->keyConfig;
    }
    std::string path(const std::string& name) const { return (m_dir.path() / name).string(); }

    // The model is exactly as before, and the statistics were cleared all the same.
    void expectUnchanged() {
        expectSameConfig(m_state->keyConfig, m_before->keyConfig);
        EXPECT_EQ(m_state->pressCount[1], kUnreadPressCount);
        EXPECT_EQ(m_state->leastPressedKey, -1);
    }

    CTempDir m_dir;
    std::unique_ptr<CAppState> m_state, m_before;
};

TEST_F(ProfileFailure, OtherModelsProfile_ChangesNothingAndNamesTheModel) {
    auto model2 = resetState(2);
    ASSERT_TRUE(saveProfile(*model2, path("model2.pro")).ok());
    m_state->pressCount.fill(3);
    SProfileResult result = loadProfile(*m_state, path("model2.pro"));
    EXPECT_EQ(result.status, EProfileStatus::OtherModel);
    EXPECT_EQ(result.message, "Talvik(S)BLe");
    expectUnchanged();
}

TEST_F(ProfileFailure, UnreadableNotXmlOrNotAProfile_ChangeNothing) {
    struct SCase {
        const char* name;
        const char* content; // nullptr: no such file
        EProfileStatus status;
    } cases[] = {
        {"missing.pro", nullptr, EProfileStatus::FileError},
        {"text.pro", "just some text, no markup", EProfileStatus::NotXml},
        {"empty.pro", "", EProfileStatus::NotXml},
        {"other.pro", "<?xml version=\"1.0\"?><config><PredefinedCombo/></config>",
         EProfileStatus::NotProfile},
        {"bare.pro", "<Talvik(RGB)><Unrelated/></Talvik(RGB)>", EProfileStatus::NotProfile},
        {"prefix.pro", "<Talvik(RGB)BLe><CurrentSettings/></Talvik(RGB)BLe>",
         EProfileStatus::OtherModel},
    };
    for (const SCase& c : cases) {
        if (c.content) {
            writeFile(path(c.name), c.content);
        }
        SProfileResult result = loadProfile(*m_state, path(c.name));
        EXPECT_EQ(result.status, c.status) << c.name;
        expectUnchanged();
    }
    SProfileResult missing = loadProfile(*m_state, path("missing.pro"));
    EXPECT_EQ(missing.message, "No such file or directory");
}

TEST_F(ProfileFailure, SaveIntoMissingFolderOrOverAFolder_ReportsFailure) {
    SProfileResult result = saveProfile(*m_state, path("no/such/folder.pro"));
    EXPECT_EQ(result.status, EProfileStatus::FileError);
    EXPECT_FALSE(result.message.empty());

    std::filesystem::create_directory(path("folder.pro"));
    result = saveProfile(*m_state, path("folder.pro"));
    EXPECT_EQ(result.status, EProfileStatus::FileError);
    EXPECT_TRUE(std::filesystem::is_directory(path("folder.pro")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir.path()), {}), 1);
}

TEST_F(ProfileFailure, SaveThatRunsOutOfSpace_KeepsTheOldProfileWhole) {
    ASSERT_TRUE(saveProfile(*m_state, path("good.pro")).ok());
    const std::string good = readFile(path("good.pro"));
    ::chmod(path("good.pro").c_str(), 0640);

    // A file size limit makes the write fail partway, as a full disk would.
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    m_state->keyConfig.LightAreas[1] = {200, 200, 200};
    SProfileResult result = saveProfile(*m_state, path("good.pro"));
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(result.status, EProfileStatus::FileError);
    EXPECT_EQ(result.message, "File too large");
    EXPECT_EQ(readFile(path("good.pro")), good);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir.path()), {}), 1);

    // A save that succeeds replaces the file and keeps its permissions.
    ASSERT_TRUE(saveProfile(*m_state, path("good.pro")).ok());
    EXPECT_NE(readFile(path("good.pro")), good);
    struct stat info {};
    ::stat(path("good.pro").c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

} // namespace
