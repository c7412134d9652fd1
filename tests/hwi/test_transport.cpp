// The report transport on real file descriptors: a SOCK_SEQPACKET pair keeps
// report boundaries like hidraw, with the test playing the keyboard.

#include "Frames.h"
#include "KeyboardUtil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sys/socket.h>
#include <vector>

using namespace talvik::hwi;

namespace {

class TransportTest : public ::testing::Test {
protected:
    void SetUp() override {
        int fds[2];
        ASSERT_EQ(::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds), 0);
        m_keyboard.reset(fds[1]);
        m_util =
            std::make_unique<COrsaUtil>(std::make_unique<CHidrawChannel>(CFileDescriptor(fds[0])));
    }

    // What the keyboard side receives next: one whole report.
    std::vector<std::uint8_t> received() {
        std::vector<std::uint8_t> buffer(128);
        ssize_t n = ::recv(m_keyboard.get(), buffer.data(), buffer.size(), MSG_DONTWAIT);
        buffer.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
        return buffer;
    }

    void reply(std::vector<std::uint8_t> bytes) {
        ASSERT_EQ(::send(m_keyboard.get(), bytes.data(), bytes.size(), 0),
                  static_cast<ssize_t>(bytes.size()));
    }

    CFileDescriptor m_keyboard;
    std::unique_ptr<COrsaUtil> m_util;
};

Payload payloadOf(std::initializer_list<std::uint8_t> head) {
    Payload payload{};
    std::copy(head.begin(), head.end(), payload.begin());
    return payload;
}

} // namespace

TEST(FrameLayout, CommandEndOfKeysAndEndOfLight) {
    Report begin = commandFrame(cmd::kBeginKeys);
    EXPECT_EQ(begin[0], 0x00);
    EXPECT_EQ(begin[1], 0x00);
    EXPECT_EQ(begin[2], 0xF1);
    EXPECT_TRUE(std::all_of(begin.begin() + 3, begin.end(), [](auto b) { return b == 0; }));

    Report endKeys = endOfKeysFrame();
    EXPECT_EQ(endKeys[0], 0x00);
    EXPECT_EQ(endKeys[1], 0x00); // payload[0]
    EXPECT_TRUE(std::all_of(endKeys.begin() + 2, endKeys.end(), [](auto b) { return b == 0xF6; }));

    Report endLight = endOfLightFrame();
    EXPECT_EQ(endLight[0], 0x00);
    EXPECT_TRUE(
        std::all_of(endLight.begin() + 1, endLight.end(), [](auto b) { return b == 0xE6; }));
}

TEST_F(TransportTest, WriteSendsOneWholeReportWithItsIdFirst) {
    ASSERT_TRUE(sendFrame(*m_util, commandFrame(cmd::kRequestVersion)));
    auto report = received();
    ASSERT_EQ(report.size(), 65u);
    EXPECT_EQ(report[0], 0x00);
    EXPECT_EQ(report[2], 0xF9);
}

TEST_F(TransportTest, ReadHandsBackThePayloadOfNumberedAndUnnumberedReports) {
    // hidraw strips the ID of unnumbered reports: 64 bytes arrive.
    std::vector<std::uint8_t> unnumbered(64, 0x11);
    unnumbered[0] = 0xAA;
    reply(unnumbered);
    // A whole frame with its ID byte is taken as it is.
    std::vector<std::uint8_t> numbered(65, 0x22);
    numbered[0] = 0x00;
    numbered[1] = 0xBB;
    reply(numbered);

    Payload payload{};
    ASSERT_TRUE(receivePayload(*m_util, payload));
    EXPECT_EQ(payload[0], 0xAA);
    EXPECT_EQ(payload[63], 0x11);
    ASSERT_TRUE(receivePayload(*m_util, payload));
    EXPECT_EQ(payload[0], 0xBB);
    EXPECT_EQ(payload[63], 0x22);

    unsigned length = 64;
    reply(unnumbered);
    unsigned char raw[64];
    ASSERT_TRUE(m_util->readReport(raw, &length, kReportTimeout));
    EXPECT_EQ(length, 64u);
}

TEST_F(TransportTest, SilentKeyboardFailsTheReadWithinTheBound) {
    unsigned char payload[64];
    std::fill(std::begin(payload), std::end(payload), 0x5A);
    unsigned length = 64;
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(m_util->readReport(payload, &length, kReportTimeout));
    auto waited = std::chrono::steady_clock::now() - start;
    // One second by the chosen unit; the margin is for a loaded machine.
    EXPECT_GE(waited, std::chrono::milliseconds(900));
    EXPECT_LT(waited, std::chrono::seconds(5));
    EXPECT_EQ(payload[0], 0x5A) << "a failed read leaves the buffer untouched";
    EXPECT_FALSE(m_util->lost()) << "a keyboard that is slow to answer has not gone";
    EXPECT_TRUE(m_util->isOpen());
}

TEST_F(TransportTest, UnpluggedKeyboardFailsReadsAndWritesAtOnce) {
    m_keyboard.reset();
    unsigned char payload[64];
    unsigned length = 64;
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(m_util->readReport(payload, &length, kReportTimeout));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_TRUE(m_util->lost());
    EXPECT_FALSE(m_util->isOpen());
    EXPECT_FALSE(sendFrame(*m_util, commandFrame(cmd::kRequestKeys)));
}

TEST_F(TransportTest, AWriteThatFindsTheKeyboardGoneMarksTheConnectionLost) {
    m_keyboard.reset();
    EXPECT_FALSE(m_util->lost()) << "nothing has found out yet";
    EXPECT_FALSE(sendFrame(*m_util, commandFrame(cmd::kRequestVersion)));
    EXPECT_TRUE(m_util->lost());
}

TEST(FailedOpen, EveryReadAndWriteFailsAtOnce) {
    COrsaUtil util(std::make_unique<CHidrawChannel>(CFileDescriptor()));
    EXPECT_FALSE(util.isOpen());
    auto start = std::chrono::steady_clock::now();
    unsigned char payload[64];
    unsigned length = 64;
    EXPECT_FALSE(util.readReport(payload, &length, kReportTimeout));
    EXPECT_FALSE(sendFrame(util, commandFrame(cmd::kBeginKeys)));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
}

TEST_F(TransportTest, ReadingLoopSkipsUntilTheHandlerFinishes) {
    reply(std::vector<std::uint8_t>(64, 0x00));
    auto data = payloadOf({0x00, 0xE0, 2, 7, 8});
    reply({data.begin(), data.end()});
    reply(std::vector<std::uint8_t>(64, 0xE6));
    int consumed = 0;
    bool ok = requestAndRead(*m_util, cmd::kRequestLight, [&](const Payload& p) {
        if (p[1] == cmd::kEndLight) {
            return ReplyAction::Finish;
        }
        if (p[1] == cmd::kLightChunk) {
            ++consumed;
        }
        return ReplyAction::Continue;
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(consumed, 1);
    auto request = received();
    ASSERT_EQ(request.size(), 65u);
    EXPECT_EQ(request[2], cmd::kRequestLight);
}

TEST_F(TransportTest, ReadingLoopFailsWhenTheRepliesStopOrTheHandlerFails) {
    auto data = payloadOf({0x00, 0xF0});
    reply({data.begin(), data.end()});
    EXPECT_FALSE(requestAndRead(*m_util, cmd::kRequestKeys,
                                [](const Payload&) { return ReplyAction::Fail; }));
    m_keyboard.reset();
    EXPECT_FALSE(requestAndRead(*m_util, cmd::kRequestKeys,
                                [](const Payload&) { return ReplyAction::Continue; }));
}

namespace {

// A keyboard that answers every read at once with the same report and never
// sends an end marker.
class CBabblingKeyboard : public COrsaUtil {
public:
    CBabblingKeyboard() : COrsaUtil(std::make_unique<CHidrawChannel>(CFileDescriptor())) {}
    bool writeReport(const unsigned char*, unsigned) override { return true; }
    bool readReport(unsigned char* payload, unsigned* length, int) override {
        std::fill_n(payload, kPayloadSize, 0x5A);
        *length = kPayloadSize;
        ++reads;
        return true;
    }
    int reads = 0;
};

} // namespace

TEST(ReadingLoop, KeyboardThatNeverEndsItsAnswerFailsTheTransfer) {
    CBabblingKeyboard keyboard;
    EXPECT_FALSE(requestAndRead(keyboard, cmd::kRequestLight,
                                [](const Payload&) { return ReplyAction::Continue; }));
    EXPECT_EQ(keyboard.reads, kMaxRepliesPerRequest);
}
