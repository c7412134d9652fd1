// The skinned scroll bar: geometry, hit-testing, the scroll-information
// requests, the repeat timing on a clock the test advances, thumb drags,
// double clicks, pointer-over looks and drawing from the generated picture.
// With TALVIK_SCREENSHOT_DIR set it saves the bar in its three looks.

#include "QtTestApp.h"

#include "talvik/skin/ScrollBarPicture.h"
#include "talvik/shell/CSkinScrollBar.h"

#include <QDir>
#include <QMouseEvent>
#include <QPainter>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

using namespace talvik::shell;
namespace layout = talvik::layout;

namespace {

// Timers that run only when the test moves the clock on.
class CManualTimers : public IScrollTimers {
public:
    void start(int id, int ms, Expired expired) override {
        m_timers[id] = {ms, m_now + ms, std::move(expired)};
    }
    void stop(int id) override { m_timers.erase(id); }
    bool running(int id) const { return m_timers.count(id) != 0; }

    void advance(int ms) {
        const long end = m_now + ms;
        for (;;) {
            auto next = m_timers.end();
            for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
                if (it->second.due <= end &&
                    (next == m_timers.end() || it->second.due < next->second.due)) {
                    next = it;
                }
            }
            if (next == m_timers.end()) {
                break;
            }
            m_now = next->second.due;
            next->second.due += next->second.interval;
            const Expired expired = next->second.expired; // it may stop or restart itself
            expired(next->first);
        }
        m_now = end;
    }

private:
    struct Timer {
        int interval;
        long due;
        Expired expired;
    };
    std::map<int, Timer> m_timers;
    long m_now = 0;
};

// An owner that records what it is told and, like the key settings dialog,
// moves the position as a standard owner does.
class COwner : public IScrollBarOwner {
public:
    void onScroll(CSkinScrollBar& bar, int command, int trackPosition) override {
        commands.push_back(command);
        tracks.push_back(trackPosition);
        if (follow && command != scroll::ThumbTrack) {
            ScrollInfo info;
            info.position = bar.positionAfter(command, trackPosition);
            bar.setScrollInfo(info, ScrollPosition);
        }
    }
    std::vector<int> commands;
    std::vector<int> tracks;
    bool follow = true;
};

QImage skin(int resolution = 1) {
    return talvik::skin::drawScrollBarPicture(resolution);
}

struct CBar {
    explicit CBar(int length, Qt::Orientation orientation = Qt::Vertical, float scale = 1.0f,
                  int resolution = 1)
        : bar(orientation, nullptr, &owner) {
        bar.setTimers(&timers);
        bar.resize(orientation == Qt::Vertical ? QSize(50, length) : QSize(length, 50));
        bar.attachSkin(skin(resolution), scale);
    }
    void info(int minimum, int maximum, int page, int position) {
        bar.setScrollInfo({minimum, maximum, page, position, -1},
                          ScrollRange | ScrollPage | ScrollPosition);
    }
    void send(QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease      ? Qt::NoButton
                                      : type == QEvent::MouseMove && !pressed ? Qt::NoButton
                                                                              : Qt::LeftButton;
        QMouseEvent event(type, QPointF(at), bar.mapToGlobal(QPointF(at)), button, held,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(&bar, &event);
    }
    void press(QPoint at) {
        pressed = true;
        send(QEvent::MouseButtonPress, at);
    }
    void move(QPoint at) { send(QEvent::MouseMove, at, Qt::NoButton); }
    void release(QPoint at) {
        pressed = false;
        send(QEvent::MouseButtonRelease, at);
    }

    bool withApp = (talvik::test::qtApp(), true); // before any widget
    COwner owner;
    CManualTimers timers;
    CSkinScrollBar bar;
    bool pressed = false;
};

} // namespace

TEST(ScrollBarGeometry, AttachSkinMakesTheBarOneCellThickKeepingPlaceAndLength) {
    talvik::test::qtApp();
    CSkinScrollBar vertical(Qt::Vertical);
    vertical.setGeometry(358, 137, 50, 96);
    vertical.attachSkin(skin());
    EXPECT_EQ(vertical.cell(), 15);
    EXPECT_EQ(vertical.geometry(), QRect(358, 137, 15, 96));
    CSkinScrollBar horizontal(Qt::Horizontal);
    horizontal.setGeometry(10, 20, 120, 40);
    horizontal.attachSkin(skin(2), 2.0f);
    EXPECT_EQ(horizontal.cell(), 30) << "a 2x picture at scale 2: twice the cell on screen";
    EXPECT_EQ(horizontal.geometry(), QRect(10, 20, 120, 30));
}

TEST(ScrollBarGeometry, NoThumbWhenTheTrackIsShorterThanSix) {
    CBar bar(2 * 15 + 5);
    bar.info(0, 24, 5, 0);
    EXPECT_EQ(bar.bar.parts().thumbLength, 0);
    bar.bar.resize(15, 2 * 15 + 6);
    EXPECT_EQ(bar.bar.parts().thumbLength, 6) << "5 x 6 / 25 is below the minimum";
}

TEST(ScrollBarGeometry, WithoutTrackTwoArrowsShareTheLength) {
    CBar bar(20);
    bar.info(0, 24, 5, 0);
    const auto parts = bar.bar.parts();
    EXPECT_EQ(parts.track, 0);
    EXPECT_EQ(parts.arrow, 10);
    EXPECT_EQ(bar.bar.partAt({5, 9}), scroll::LineUp);
    EXPECT_EQ(bar.bar.partAt({5, 10}), scroll::LineDown);
    EXPECT_EQ(bar.bar.partAt({5, -1}), scroll::NoPart);
}

// Page 5 of 25 items on a 100-pixel track: a thumb of 20 that travels the
// other 80 pixels over positions 0 to 20.
TEST(ScrollBarGeometry, ThumbIsPageSizedAndTravelsTheTrack) {
    CBar bar(130);
    bar.info(0, 24, 5, 0);
    EXPECT_EQ(bar.bar.parts().thumbLength, 20);
    EXPECT_EQ(bar.bar.parts().thumbStart, 15);
    bar.info(0, 24, 5, 10);
    EXPECT_EQ(bar.bar.parts().thumbStart, 55);
    bar.info(0, 24, 5, 20);
    EXPECT_EQ(bar.bar.parts().thumbStart, 95);
    EXPECT_EQ(bar.bar.partAt({3, 14}), scroll::LineUp);
    EXPECT_EQ(bar.bar.partAt({3, 94}), scroll::PageUp);
    EXPECT_EQ(bar.bar.partAt({3, 95}), scroll::Thumb);
    EXPECT_EQ(bar.bar.partAt({3, 114}), scroll::Thumb);
    EXPECT_EQ(bar.bar.partAt({3, 115}), scroll::LineDown);
    EXPECT_EQ(bar.bar.partAt({3, 500}), scroll::LineDown);
}

TEST(ScrollBarGeometry, NothingToScrollDrawsNoThumbButHitTestsOne) {
    CBar bar(130);
    bar.info(0, 4, 5, 0); // five items, a page of five
    EXPECT_EQ(bar.bar.parts().thumbLength, 0);
    // A page of all the items: the thumb clicked on fills the track.
    EXPECT_EQ(bar.bar.partAt({3, 15}), scroll::Thumb);
    EXPECT_EQ(bar.bar.partAt({3, 114}), scroll::Thumb);
    EXPECT_EQ(bar.bar.partAt({3, 115}), scroll::LineDown);
}

// Information the bar does not clamp must still give a thumb on the track.
TEST(ScrollBarGeometry, OddInformationKeepsTheThumbOnTheTrack) {
    CBar bar(130);
    bar.info(0, 2, 6, 0); // a page larger than the list
    EXPECT_EQ(bar.bar.parts().thumbLength, 0);
    bar.info(0, 24, 5, 400); // a position far past the end
    EXPECT_EQ(bar.bar.parts().thumbStart + bar.bar.parts().thumbLength, 115);
    bar.info(0, 24, 5, -7);
    EXPECT_EQ(bar.bar.parts().thumbStart, 15);
    bar.info(0, -1, 0, 0); // no items at all
    EXPECT_GE(bar.bar.parts().thumbStart, 15);
    bar.info(0, 2000000000, 2000000000, 5); // no overflow in the arithmetic
    EXPECT_LE(bar.bar.parts().thumbLength, bar.bar.parts().track);
}

TEST(ScrollBarInformation, RequestsReadAndWriteOnlyTheNamedMembers) {
    CBar bar(130);
    bar.info(0, 24, 5, 3);
    ScrollInfo got{-9, -9, -9, -9, -9};
    EXPECT_TRUE(bar.bar.getScrollInfo(got, ScrollPage | ScrollTrackPosition));
    EXPECT_EQ(got, (ScrollInfo{-9, -9, 5, -9, -1}));
    EXPECT_TRUE(bar.bar.setScrollInfo({7, 8, 9, 10, 11}, ScrollPosition, false));
    EXPECT_EQ(bar.bar.scrollInfo(), (ScrollInfo{0, 24, 5, 10, -1}));
    bar.bar.setScrollInfo({2, 30, 0, 0, 0}, ScrollRange);
    EXPECT_EQ(bar.bar.scrollInfo(), (ScrollInfo{2, 30, 5, 10, -1}));
}

TEST(ScrollBarInformation, AdjustRangeMovesTheMaximumAndKeepsThePositionInside) {
    CBar bar(130);
    bar.info(0, 1, 6, 0);
    bar.bar.adjustRange(-3);
    EXPECT_EQ(bar.bar.scrollInfo().maximum, 5) << "below 0: page - 1";
    EXPECT_EQ(bar.bar.scrollInfo().position, 0);
    bar.info(0, 14, 6, 9); // nine items, at the end
    bar.bar.adjustRange(-4);
    EXPECT_EQ(bar.bar.scrollInfo().maximum, 10);
    EXPECT_EQ(bar.bar.scrollInfo().position, 5);
    bar.bar.adjustRange(+1);
    EXPECT_EQ(bar.bar.scrollInfo().maximum, 11);
    EXPECT_EQ(bar.bar.scrollInfo().position, 5);
}

TEST(ScrollBarInformation, StandardOwnerMovesByLineAndPageWithinTheRange) {
    CBar bar(130);
    bar.info(0, 24, 5, 10);
    EXPECT_EQ(bar.bar.positionAfter(scroll::LineUp, 0), 9);
    EXPECT_EQ(bar.bar.positionAfter(scroll::PageDown, 0), 15);
    EXPECT_EQ(bar.bar.positionAfter(scroll::ThumbTrack, 99), 20);
    bar.info(0, 24, 5, 18);
    EXPECT_EQ(bar.bar.positionAfter(scroll::PageDown, 0), 20);
    bar.info(0, 24, 5, 2);
    EXPECT_EQ(bar.bar.positionAfter(scroll::PageUp, 0), 0);
}

// One step at once, the next after 500 ms, then one every 100 ms.
TEST(ScrollBarRepeat, HeldArrowRepeatsAfterHalfASecondThenTenTimesASecond) {
    CBar bar(130);
    bar.info(0, 100, 1, 0);
    bar.owner.follow = false;
    bar.press({5, 120});
    EXPECT_EQ(bar.owner.commands, std::vector<int>({scroll::LineDown}));
    bar.timers.advance(499);
    EXPECT_EQ(bar.owner.commands.size(), 1u);
    bar.timers.advance(1);
    EXPECT_EQ(bar.owner.commands.size(), 2u);
    bar.timers.advance(99);
    EXPECT_EQ(bar.owner.commands.size(), 2u);
    bar.timers.advance(1);
    EXPECT_EQ(bar.owner.commands.size(), 3u);
    bar.timers.advance(300);
    EXPECT_EQ(bar.owner.commands.size(), 6u);
    bar.release({5, 120});
    bar.timers.advance(1000);
    EXPECT_EQ(bar.owner.commands.size(), 6u);
    EXPECT_FALSE(bar.timers.running(CSkinScrollBar::kRepeatTimer));
}

TEST(ScrollBarRepeat, ArrowStopsAtTheEndOfTheRange) {
    CBar bar(130);
    bar.info(0, 10, 1, 7);
    bar.press({5, 3});
    bar.timers.advance(5000);
    EXPECT_EQ(bar.bar.scrollInfo().position, 0);
    EXPECT_EQ(bar.owner.commands.size(), 7u) << "one at once and one per step down to 0";
    EXPECT_FALSE(bar.timers.running(CSkinScrollBar::kRepeatTimer));
    bar.release({5, 3});
}

TEST(ScrollBarRepeat, ReleaseBeforeTheFirstRepeatStopsTheDelay) {
    CBar bar(130);
    bar.info(0, 100, 1, 50);
    bar.press({5, 3});
    bar.release({5, 3});
    EXPECT_FALSE(bar.timers.running(CSkinScrollBar::kDelayTimer));
    bar.timers.advance(2000);
    EXPECT_EQ(bar.owner.commands.size(), 1u);
}

TEST(ScrollBarRepeat, HeldTrackPagesUntilTheThumbReachesThePointer) {
    CBar bar(130);
    bar.info(0, 24, 5, 0); // thumb at 15..35
    bar.press({5, 100});
    bar.timers.advance(3000);
    // Pages of 5 move the thumb 20 pixels: from 15 to 75 the thumb covers 100.
    EXPECT_EQ(bar.owner.commands, std::vector<int>(4, scroll::PageDown));
    EXPECT_EQ(bar.bar.scrollInfo().position, 20);
    EXPECT_EQ(bar.bar.partAt({5, 100}), scroll::Thumb);
    bar.release({5, 100});
}

TEST(ScrollBarRepeat, RepeatPausesWhileThePointerIsOffTheHeldArrow) {
    CBar bar(130);
    bar.info(0, 100, 1, 0);
    bar.press({5, 120});
    bar.timers.advance(600);
    EXPECT_EQ(bar.owner.commands.size(), 3u);
    bar.move({5, 60});
    EXPECT_EQ(bar.bar.partLook(scroll::LineDown), 0);
    bar.timers.advance(1000);
    EXPECT_EQ(bar.owner.commands.size(), 3u);
    bar.move({5, 125});
    EXPECT_EQ(bar.bar.partLook(scroll::LineDown), 2);
    bar.timers.advance(100);
    EXPECT_EQ(bar.owner.commands.size(), 4u);
    bar.release({5, 125});
}

TEST(ScrollBarRepeat, HidingAHeldBarEndsThePress) {
    CBar bar(130);
    bar.info(0, 100, 1, 0);
    bar.bar.show();
    bar.press({5, 120});
    bar.bar.hide();
    bar.timers.advance(2000);
    EXPECT_EQ(bar.owner.commands.size(), 1u);
    EXPECT_EQ(bar.bar.partLook(scroll::LineDown), 0);
}

TEST(ScrollBarInput, DraggingTheThumbTracksAndSetsThePositionOnRelease) {
    CBar bar(130);
    bar.info(0, 24, 5, 0); // thumb 15..35 on 80 pixels of travel for 20 positions
    bar.press({5, 20});
    EXPECT_EQ(bar.bar.scrollInfo().trackPosition, 0);
    EXPECT_EQ(bar.bar.partLook(scroll::Thumb), 2);
    bar.move({5, 23}); // 3 pixels: still position 0
    EXPECT_TRUE(bar.owner.commands.empty());
    bar.move({5, 60}); // 40 pixels: position 10
    EXPECT_EQ(bar.owner.commands, std::vector<int>({scroll::ThumbTrack}));
    EXPECT_EQ(bar.owner.tracks.back(), 10);
    EXPECT_EQ(bar.bar.parts().thumbStart, 55) << "the thumb follows the track position";
    EXPECT_EQ(bar.bar.scrollInfo().position, 0) << "only the owner moves the position";
    bar.move({5, 400});
    EXPECT_EQ(bar.owner.tracks.back(), 20) << "limited to the last position";
    bar.move({5, -300});
    EXPECT_EQ(bar.owner.tracks.back(), 0);
    bar.move({5, 40});
    bar.release({5, 40});
    EXPECT_EQ(bar.owner.commands.back(), scroll::ThumbPosition);
    EXPECT_EQ(bar.owner.tracks.back(), 5);
    EXPECT_EQ(bar.bar.scrollInfo().position, 5);
    EXPECT_EQ(bar.bar.scrollInfo().trackPosition, -1);
    EXPECT_EQ(bar.bar.partLook(scroll::Thumb), 1) << "released under the pointer";
}

TEST(ScrollBarInput, DoubleClickActsAsOneClick) {
    CBar bar(130);
    bar.info(0, 100, 1, 50);
    bar.press({5, 120});
    bar.release({5, 120});
    bar.send(QEvent::MouseButtonDblClick, {5, 120});
    bar.release({5, 120});
    EXPECT_EQ(bar.owner.commands.size(), 1u);
    EXPECT_EQ(bar.bar.scrollInfo().position, 51);
}

TEST(ScrollBarInput, PointerOverLightsArrowsAndThumbOnlyAndLeavingClearsIt) {
    CBar bar(130);
    bar.info(0, 24, 5, 0);
    bar.move({5, 5});
    EXPECT_EQ(bar.bar.partLook(scroll::LineUp), 1);
    bar.move({5, 20});
    EXPECT_EQ(bar.bar.partLook(scroll::LineUp), 0);
    EXPECT_EQ(bar.bar.partLook(scroll::Thumb), 1);
    bar.move({5, 80});
    EXPECT_EQ(bar.bar.partLook(scroll::Thumb), 0);
    EXPECT_EQ(bar.bar.partLook(scroll::PageDown), 0);
    bar.move({5, 125});
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&bar.bar, &leave);
    EXPECT_EQ(bar.bar.partLook(scroll::LineDown), 0);
}

TEST(ScrollBarInput, WithoutSkinTheBarIgnoresClicks) {
    talvik::test::qtApp();
    COwner owner;
    CSkinScrollBar bar(Qt::Vertical, nullptr, &owner);
    bar.resize(15, 100);
    EXPECT_EQ(bar.partAt({5, 5}), scroll::NoPart);
    EXPECT_TRUE(bar.grab().size().isValid());
    EXPECT_TRUE(owner.commands.empty());
}

namespace {

QImage rendered(CSkinScrollBar& bar, qreal ratio = 1.0) {
    QImage image((QSizeF(bar.size()) * ratio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    bar.render(&image);
    image.setDevicePixelRatio(1.0);
    return image;
}

// The cell of the picture at its own pixels.
QImage cellOf(const QImage& picture, int column, int row) {
    const int c = picture.width() / layout::kScrollBarColumns;
    return picture.copy(column * c, row * c, c, c).convertToFormat(QImage::Format_RGB32);
}

} // namespace

TEST(ScrollBarPicture, NineColumnsOfThreeLooksWithTileableThumbAndTrack) {
    talvik::test::qtApp();
    for (const int resolution : {1, 2}) {
        const QImage picture = skin(resolution);
        const int c = layout::kScrollBarCell * resolution;
        ASSERT_EQ(picture.size(), QSize(9 * c, 3 * c));
        const int end = layout::kScrollThumbEnd * resolution;
        for (int row = 0; row < 3; ++row) {
            const QImage thumb = cellOf(picture, 2, row);
            const QImage track = cellOf(picture, 3, row);
            for (int y = end; y < c - end; ++y) {
                ASSERT_EQ(thumb.copy(0, y, c, 1), thumb.copy(0, end, c, 1)) << "row " << y;
            }
            for (int y = 1; y < c; ++y) {
                ASSERT_EQ(track.copy(0, y, c, 1), track.copy(0, 0, c, 1));
            }
            // The horizontal cells are the vertical ones turned over.
            for (int column = 0; column < 4; ++column) {
                const QImage turned = cellOf(picture, column, row)
                                          .transformed(QTransform(0, 1, 1, 0, 0, 0))
                                          .convertToFormat(QImage::Format_RGB32);
                EXPECT_EQ(turned, cellOf(picture, column + 4, row)) << column;
            }
        }
        EXPECT_NE(cellOf(picture, 0, 0), cellOf(picture, 0, 1));
        EXPECT_NE(cellOf(picture, 0, 1), cellOf(picture, 0, 2));
        EXPECT_NE(cellOf(picture, 2, 0), cellOf(picture, 2, 2));
    }
}

// At 1x and at 2x the bar shows the picture's own pixels: arrows whole,
// the thumb's ends whole and its middle repeated.
TEST(ScrollBarPicture, BarIsDrawnFromThePicturesPixelsAtBothResolutions) {
    for (const int resolution : {1, 2}) {
        CBar bar(130, Qt::Vertical, 1.0f, resolution);
        bar.info(0, 24, 5, 10); // thumb at 55..75
        const QImage shown = rendered(bar.bar, resolution);
        const QImage picture = skin(resolution);
        const int c = layout::kScrollBarCell * resolution;
        EXPECT_EQ(shown.copy(0, 0, c, c), cellOf(picture, 0, 0));
        EXPECT_EQ(shown.copy(0, 115 * resolution, c, c), cellOf(picture, 1, 0));
        const int end = layout::kScrollThumbEnd * resolution;
        const QImage thumb = cellOf(picture, 2, 0);
        EXPECT_EQ(shown.copy(0, 55 * resolution, c, end), thumb.copy(0, 0, c, end));
        EXPECT_EQ(shown.copy(0, 75 * resolution - end, c, end), thumb.copy(0, c - end, c, end));
        EXPECT_EQ(shown.copy(0, 65 * resolution, c, 1), thumb.copy(0, end, c, 1));
        EXPECT_EQ(shown.copy(0, 40 * resolution, c, 1), cellOf(picture, 3, 0).copy(0, 0, c, 1));
    }
}

// Not a check: the bar in its three looks for people to look at.
TEST(ScrollBarPicture, SavesScreenshotsWhenAsked) {
    const QString dir = qEnvironmentVariable("TALVIK_SCREENSHOT_DIR");
    if (dir.isEmpty()) {
        GTEST_SKIP() << "TALVIK_SCREENSHOT_DIR not set";
    }
    talvik::test::qtApp();
    QImage sheet(2 * 330, 2 * 210, QImage::Format_RGB32);
    sheet.fill(QColor(30, 31, 34));
    QPainter p(&sheet);
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(17);
    p.setFont(font);
    p.setPen(QColor(200, 200, 200));
    const auto place = [&p](CBar& bar, QPoint at, const QString& caption) {
        p.drawText(QRect(at.x() * 2 - 60, at.y() * 2 - 30, 150, 26), Qt::AlignCenter, caption);
        p.drawImage(at * 2, rendered(bar.bar, 2));
    };
    const auto vertical = [] {
        auto bar = std::make_unique<CBar>(126, Qt::Vertical, 1.0f, 2);
        bar->info(0, 24, 9, 4);
        return bar;
    };
    auto normal = vertical();
    place(*normal, {30, 30}, QStringLiteral("normal"));
    auto arrow = vertical();
    arrow->move({5, 5});
    place(*arrow, {90, 30}, QStringLiteral("arrow over"));
    auto thumb = vertical();
    thumb->move({5, 50});
    place(*thumb, {150, 30}, QStringLiteral("thumb over"));
    auto pressed = vertical();
    pressed->press({5, 120});
    place(*pressed, {210, 30}, QStringLiteral("arrow held"));
    pressed->release({5, 120});
    auto dragged = vertical();
    dragged->press({5, 50});
    dragged->move({5, 80});
    place(*dragged, {270, 30}, QStringLiteral("thumb dragged"));
    CBar horizontal(270, Qt::Horizontal, 1.0f, 2);
    horizontal.info(0, 40, 10, 12);
    horizontal.move({265, 5});
    place(horizontal, {30, 185}, QStringLiteral(""));
    p.end();
    QDir().mkpath(dir);
    ASSERT_TRUE(sheet.save(dir + QStringLiteral("/scroll-bar-looks.png")));
}
