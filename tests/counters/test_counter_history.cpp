// The kept counter reads: their file form, the folder that keeps the newest,
// the series a reset breaks, the earlier read a "since" names, and the export.

#include "support/TestSupport.h"

#include "talvik/backup/StampedFiles.h"
#include "talvik/counters/CounterExport.h"
#include "talvik/counters/CounterHistory.h"
#include "talvik/text/NumberedKeys.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <sstream>

using namespace talvik::counters;
using talvik::test::CTempDir;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

int keyNamed(std::string_view name) {
    for (int key = 1; key <= 87; ++key) {
        if (talvik::text::numberedKeyName(key) == name) {
            return key;
        }
    }
    return -1;
}

CountTable table(std::initializer_list<std::pair<std::string_view, int>> counts) {
    CountTable t{};
    for (const auto& [name, count] : counts) {
        t[static_cast<std::size_t>(keyNamed(name))] = count;
    }
    return t;
}

std::chrono::system_clock::time_point at(std::time_t seconds) {
    return std::chrono::system_clock::from_time_t(seconds);
}

constexpr std::time_t kDay = 86400;
constexpr std::time_t kStart = 1765000000; // December 2025

class CounterFolder : public ::testing::Test {
protected:
    CTempDir dir;
    std::string folder = (dir.path() / "counters").string();

    std::string keep(int model, const CountTable& counts, std::time_t when,
                     std::string_view version = "V1.0") {
        const SReadSave saved = saveRead(folder, model, version, counts, at(when));
        EXPECT_TRUE(saved.ok) << saved.message;
        return saved.path;
    }
};

} // namespace

TEST(CounterReadFile, RoundTripsAndRefusesAnythingElse) {
    SCounterRead read;
    read.time = at(kStart);
    read.modelNumber = 3;
    read.version = "Talvik V2.1\nsecond line";
    read.counts = table({{"A", 5000}, {"Q", 500}});
    read.counts[87] = -7; // a counter beyond 2^31 - 1, as the state keeps it
    const std::string text = formatRead(read);
    const std::optional<SCounterRead> back = parseRead(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->time, read.time);
    EXPECT_EQ(back->modelNumber, 3);
    EXPECT_EQ(back->version, "Talvik V2.1 second line") << "the version stays on its line";
    EXPECT_EQ(back->counts, read.counts);

    std::string crlf;
    for (char c : text) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    EXPECT_TRUE(parseRead(crlf));

    const auto broken = [&](const std::string& from, const std::string& to) {
        std::string damaged = text;
        damaged.replace(damaged.find(from), from.size(), to);
        return damaged;
    };
    EXPECT_FALSE(parseRead(""));
    EXPECT_FALSE(parseRead(text.substr(0, text.size() / 2)));
    EXPECT_FALSE(parseRead(text + "more\n"));
    EXPECT_FALSE(parseRead(broken("press counters 1", "press counters 2")));
    EXPECT_FALSE(parseRead(broken("model 3", "model 5")));
    EXPECT_FALSE(parseRead(broken("T", "X")));
    EXPECT_FALSE(parseRead(broken("2025-12", "4050-12")))
        << "beyond the clock: refused, not overflowed";
    EXPECT_FALSE(parseRead(broken(" 5000", " 99999999999")));
    EXPECT_FALSE(parseRead(broken(" 5000", " 5000x")));
    EXPECT_FALSE(parseRead(broken(" 5000 ", " 5000  ")));
    EXPECT_FALSE(parseRead(broken(" 5000", ""))) << "86 counts";
}

TEST_F(CounterFolder, KeepsReadsUnderStampedNamesAndPrunesOnlyItsOwn) {
    const std::string first = keep(1, table({{"A", 1}}), kStart);
    const std::string second = keep(1, table({{"A", 2}}), kStart); // the same second
    EXPECT_EQ(fs::path(first).filename(), "20251206T054640Z-00-model1-counters.txt");
    EXPECT_EQ(fs::path(second).filename(), "20251206T054640Z-01-model1-counters.txt");
    keep(2, table({{"A", 3}}), kStart + 10);
    talvik::test::writeFile(fs::path(folder) / "notes.txt", "mine");
    talvik::test::writeFile(fs::path(folder) / "20251206T054640Z-00-model1-keys.pro", "x");

    EXPECT_EQ(listReads(folder, 1).size(), 2u);
    EXPECT_EQ(listReads(folder, 1).front().path, second) << "newest first";
    EXPECT_EQ(pruneReads(folder, 1), 2u);
    ASSERT_EQ(listReads(folder, 2).size(), 1u) << "the newest, of whichever model";
    EXPECT_TRUE(listReads(folder, 1).empty());
    EXPECT_TRUE(fs::exists(fs::path(folder) / "notes.txt"));
    EXPECT_TRUE(fs::exists(fs::path(folder) / "20251206T054640Z-00-model1-keys.pro"));
}

TEST_F(CounterFolder, OversizedOrDamagedFilesAreNotReadAndDoNotStopTheSeries) {
    const std::string older = keep(1, table({{"A", 10}}), kStart);
    const std::string damaged = keep(1, table({{"A", 20}}), kStart + kDay);
    talvik::test::writeFile(damaged, "Talvik press counters 1\ntime garbage\n");
    const std::string huge = keep(1, table({{"A", 30}}), kStart + 2 * kDay);
    talvik::test::writeFile(huge, std::string(kMaxReadFileBytes + 1, '7'));

    std::string error;
    EXPECT_FALSE(loadRead(huge, error));
    EXPECT_NE(error.find("larger than"), std::string::npos) << error;
    EXPECT_FALSE(loadRead(damaged, error));
    const std::vector<SCounterRead> series = loadSeries(folder, 1, table({{"A", 40}}));
    ASSERT_EQ(series.size(), 1u);
    EXPECT_EQ(series[0].path, older);
}

TEST_F(CounterFolder, ASeriesEndsWhereACounterWentDown) {
    keep(1, table({{"A", 100}, {"Q", 10}}), kStart);                  // before the reset
    const std::string r1 = keep(1, table({{"A", 5}}), kStart + kDay); // after it
    const std::string r2 = keep(1, table({{"A", 8}, {"Q", 1}}), kStart + 2 * kDay);
    keep(2, table({{"A", 999}}), kStart + 3 * kDay); // another model: not in the way

    // A is past its old 100 by now, but the read in between tells of the reset.
    const CountTable now = table({{"A", 120}, {"Q", 20}});
    const std::vector<SCounterRead> series = loadSeries(folder, 1, now);
    ASSERT_EQ(series.size(), 2u);
    EXPECT_EQ(series[0].path, r2);
    EXPECT_EQ(series[1].path, r1);
    EXPECT_EQ(loadSeries(folder, 1, now, 1).size(), 1u);
    EXPECT_TRUE(loadSeries(folder, 1, table({{"A", 7}})).empty()) << "reset again since r2";

    const CountTable since = countsSince(now, series[0].counts);
    EXPECT_EQ(since[static_cast<std::size_t>(keyNamed("A"))], 112);
    EXPECT_EQ(since[static_cast<std::size_t>(keyNamed("Q"))], 19);
    CountTable unknown = now;
    unknown[1] = -3;
    EXPECT_EQ(countsSince(unknown, series[0].counts)[1], 0);
    EXPECT_TRUE(continues(unknown, series[0].counts)) << "an unknown count breaks nothing";
}

TEST_F(CounterFolder, SinceNamesAFileOrTheNewestReadAtOrBeforeADate) {
    const std::string old = keep(1, table({{"A", 100}}), kStart);
    const std::string early = keep(1, table({{"A", 5}}), kStart + 10 * kDay);
    const std::string late = keep(1, table({{"A", 9}}), kStart + 20 * kDay);
    const std::string other = keep(2, table({{"A", 1}}), kStart + 20 * kDay);
    const CountTable now = table({{"A", 12}});

    const auto day = [](std::time_t when) {
        const std::time_t next = when + kDay; // its midnight is after `when`
        std::tm local{};
        localtime_r(&next, &local);
        char text[16];
        std::strftime(text, sizeof text, "%Y-%m-%d", &local);
        return std::string(text);
    };
    SSinceChoice choice = chooseSince(day(kStart + 10 * kDay), folder, 1, now);
    ASSERT_EQ(choice.status, ESince::Found);
    EXPECT_EQ(choice.read->path, early);
    choice = chooseSince(day(kStart + 25 * kDay) + " 08:30", folder, 1, now);
    ASSERT_EQ(choice.status, ESince::Found);
    EXPECT_EQ(choice.read->path, late);
    choice = chooseSince(late, folder, 1, now);
    ASSERT_EQ(choice.status, ESince::Found);
    EXPECT_EQ(choice.read->counts, table({{"A", 9}}));

    EXPECT_EQ(chooseSince(day(kStart), folder, 1, now).status, ESince::Reset);
    EXPECT_EQ(chooseSince(old, folder, 1, table({{"A", 50}})).status, ESince::Reset);
    EXPECT_EQ(chooseSince("2001-01-01", folder, 1, now).status, ESince::NotFound);
    EXPECT_EQ(chooseSince(other, folder, 1, now).status, ESince::BadFile);
    EXPECT_EQ(chooseSince("yesterday", folder, 1, now).status, ESince::NotADate);
    EXPECT_EQ(chooseSince("2025-13-01", folder, 1, now).status, ESince::NotADate);
    EXPECT_EQ(chooseSince("2025-12-01 25:00", folder, 1, now).status, ESince::NotADate);
    EXPECT_FALSE(looksLikeSince("2025-12-1"));
    EXPECT_FALSE(looksLikeSince("9999-12-31"));
    EXPECT_TRUE(looksLikeSince("2025-12-01T10:00:00"));
}

TEST(CounterExport, CsvAndJsonCarryEveryKeyWithItsShare) {
    SCounterView view;
    view.modelNumber = 1;
    view.counts = table({{"A", 300}, {"Q", 100}});
    view.counts[static_cast<std::size_t>(keyNamed("\\"))] = 600;

    const std::string csv = countersCsv(view);
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "key,name,count,share");
    int rows = 0;
    while (std::getline(lines, line)) {
        ++rows;
    }
    EXPECT_EQ(rows, 87);
    EXPECT_NE(csv.find(std::to_string(keyNamed("\\")) + ",\\,600,0.600000\n"), std::string::npos);
    EXPECT_NE(csv.find(std::to_string(keyNamed("A")) + ",A,300,0.300000\n"), std::string::npos);

    view.since = SCounterRead{};
    view.since->time = at(kStart);
    view.since->path = "/data/x-counters.txt";
    const nlohmann::json doc = nlohmann::json::parse(countersJson(view));
    EXPECT_EQ(doc.at("total"), 1000);
    EXPECT_EQ(doc.at("since").at("time"), "2025-12-06T05:46:40Z");
    EXPECT_EQ(doc.at("since").at("file"), "/data/x-counters.txt");
    ASSERT_EQ(doc.at("counters").size(), 87u);
    double shares = 0;
    for (const auto& key : doc.at("counters")) {
        shares += key.at("share").get<double>();
    }
    EXPECT_NEAR(shares, 1.0, 1e-5);
    EXPECT_EQ(doc.at("mostPressed").at("key"), keyNamed("\\"));
    EXPECT_EQ(doc.at("mostPressed").at("name"), "\\");
    EXPECT_EQ(doc.at("leastPressed").at("key"), keyNamed("Q"));

    EXPECT_EQ(totalPresses(CountTable{}), 0);
    EXPECT_EQ(shareOf(CountTable{}, 1), 0.0);
}
